#include "platform/png.h"

#include <png.h>

#include <array>
#include <cstdio>
#include <vector>

namespace zir {
namespace {

struct File {
    std::FILE* f = nullptr;
    ~File() {
        if (f) std::fclose(f);
    }
};

// Pictures are line drawings on flat backgrounds with a handful of colours: as palette
// indexes packed 1, 2 or 4 to a byte they give deflate a fraction of the bytes, in long runs
// that need no filter, and a fast level finds those runs as well as a slow one.
constexpr int CompressionLevel = 3;
// A picture of many colours (blended images) keeps three bytes a pixel; unfiltered rows at a
// middle level stay within a quarter of the size adaptive filtering gives, at half its time.
constexpr int RgbCompressionLevel = 4;

png_color PaletteEntry(Colour c) {
    return {c.Red(), c.Green(), c.Blue()};
}

// The palette of an image whose pixels are of type T, and the index of each pixel value in it.
template <class T>
class PaletteMap;

template <>
class PaletteMap<std::uint8_t> {
  public:
    std::uint16_t& Slot(std::uint8_t p) { return slots_[p]; }
    static Colour ColourOf(std::uint8_t p) { return {p, p, p}; }  // a grey level

  private:
    std::array<std::uint16_t, 256> slots_{};
};

template <>
class PaletteMap<std::uint16_t> {
  public:
    std::uint16_t& Slot(std::uint16_t p) { return slots_[p]; }
    static Colour ColourOf(std::uint16_t p) { return ColourFrom565(p); }

  private:
    std::vector<std::uint16_t> slots_ = std::vector<std::uint16_t>(65536, 0);
};

template <>
class PaletteMap<std::uint32_t> {
  public:
    // Open addressing over the colour bits: at most 257 of the 1024 slots are ever taken.
    std::uint16_t& Slot(std::uint32_t p) {
        const std::uint32_t c = p & 0xFFFFFF;
        std::uint32_t h = (c * 2654435761u) >> 22;
        while (keys_[h] != Empty && keys_[h] != c) h = (h + 1) & 1023;
        keys_[h] = c;
        return slots_[h];
    }
    static Colour ColourOf(std::uint32_t p) { return Colour{p & 0xFFFFFF}; }

  private:
    static constexpr std::uint32_t Empty = 0xFFFFFFFF;
    std::vector<std::uint32_t> keys_ = std::vector<std::uint32_t>(1024, Empty);
    std::vector<std::uint16_t> slots_ = std::vector<std::uint16_t>(1024, 0);
};

// Palette entries and indexes of one format's pixels. A slot holds its value's index + 1, 0
// for a value not seen yet.
template <class T>
struct Palette {
    PaletteMap<T> map;
    std::vector<png_color> colours;

    // Adds every colour of the pixels; false once there are more than 256.
    bool Collect(const T* pixels, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            // Runs of one colour are the rule: only a change of colour needs the map.
            if (i > 0 && pixels[i] == pixels[i - 1]) continue;
            std::uint16_t& slot = map.Slot(pixels[i]);
            if (slot != 0) continue;
            if (colours.size() == 256) return false;
            colours.push_back(PaletteEntry(PaletteMap<T>::ColourOf(pixels[i])));
            slot = static_cast<std::uint16_t>(colours.size());
        }
        return true;
    }

    // One row as indexes packed at the bit depth, the leftmost pixel in the high bits.
    void PackRow(const T* pixels, int width, int depth, png_byte* row) {
        const int perByte = 8 / depth;
        unsigned byte = 0, index = 0;
        int filled = 0;
        for (int x = 0; x < width; ++x) {
            if (x == 0 || pixels[x] != pixels[x - 1]) index = map.Slot(pixels[x]) - 1u;
            byte = byte << depth | index;
            if (++filled == perByte) {
                *row++ = static_cast<png_byte>(byte);
                byte = 0, filled = 0;
            }
        }
        if (filled > 0) *row = static_cast<png_byte>(byte << depth * (perByte - filled));
    }
};

int BitDepthFor(std::size_t colours) {
    return colours <= 2 ? 1 : colours <= 4 ? 2 : colours <= 16 ? 4 : 8;
}

void PutRgb(png_byte* row, int x, Colour c) {
    row[3 * x] = c.Red();
    row[3 * x + 1] = c.Green();
    row[3 * x + 2] = c.Blue();
}

// Runs the libpng calls of body; false when libpng reports an error, which jumps back here
// past body's frame, so body keeps nothing there that needs destroying.
template <class Body>
bool Guarded(png_structp png, Body&& body) {
    if (setjmp(png_jmpbuf(png))) return false;
    body();
    return true;
}

// Writes an image whose pixels are of type T to the open file; false when libpng fails.
template <class T>
bool WritePixels(std::FILE* file, const std::uint8_t* image) {
    const int width = ImageWidth(image), height = ImageHeight(image);
    const T* pixels = reinterpret_cast<const T*>(ImagePixels(image));
    Palette<T> palette;
    const bool paletted =
        palette.Collect(pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const int depth = paletted ? BitDepthFor(palette.colours.size()) : 8;
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool ok =
        png && info && Guarded(png, [&] {
            png_init_io(png, file);
            png_set_IHDR(png, info, width, height, depth,
                         paletted ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                         PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
            png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
            png_set_compression_level(png, paletted ? CompressionLevel : RgbCompressionLevel);
            if (paletted) {
                png_set_PLTE(png, info, palette.colours.data(),
                             static_cast<int>(palette.colours.size()));
            }
            png_write_info(png, info);
            for (int y = 0; y < height; ++y) {
                const T* p = pixels + static_cast<std::size_t>(y) * width;
                if (paletted) {
                    palette.PackRow(p, width, depth, row.data());
                } else {
                    for (int x = 0; x < width; ++x) {
                        PutRgb(row.data(), x, PaletteMap<T>::ColourOf(p[x]));
                    }
                }
                png_write_row(png, row.data());
            }
            png_write_end(png, nullptr);
        });
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return ok;
}

}  // namespace

bool WritePng(const std::string& path, const std::uint8_t* image) {
    if (!ImageHeaderValid(image)) return false;
    File file{std::fopen(path.c_str(), "wb")};
    if (!file.f) return false;
    bool ok = false;
    switch (ImageBytesPerPixel(image)) {
        case 1:
            ok = WritePixels<std::uint8_t>(file.f, image);
            break;
        case 2:
            ok = WritePixels<std::uint16_t>(file.f, image);
            break;
        default:
            ok = WritePixels<std::uint32_t>(file.f, image);
            break;
    }
    if (std::fclose(file.f) != 0) ok = false;
    file.f = nullptr;
    if (!ok) std::remove(path.c_str());
    return ok;
}

}  // namespace zir
