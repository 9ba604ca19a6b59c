#include "platform/png.h"

#include <png.h>

#include <array>
#include <cstdio>
#include <cstring>
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
bool WritePixels(std::FILE* file, const std::uint8_t* image, std::string_view script) {
    const int width = ImageWidth(image), height = ImageHeight(image);
    const T* pixels = reinterpret_cast<const T*>(ImagePixels(image));
    Palette<T> palette;
    const bool paletted =
        palette.Collect(pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const int depth = paletted ? BitDepthFor(palette.colours.size()) : 8;
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    // libpng takes a text up to its first zero byte.
    std::string text(script), format = std::to_string(PictureScriptFormat);

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
            // Before the image data, where a reader that stops at the pixels still finds it.
            if (!script.empty()) {
                std::array<png_text, 2> texts{};
                texts[0].compression = PNG_TEXT_COMPRESSION_NONE;
                texts[0].key = const_cast<char*>(PngFormatKeyword);
                texts[0].text = format.data();
                texts[0].text_length = format.size();
                texts[1].compression = PNG_ITXT_COMPRESSION_zTXt;
                texts[1].key = const_cast<char*>(PngScriptKeyword);
                texts[1].text = text.data();
                texts[1].itxt_length = text.size();
                texts[1].lang = const_cast<char*>("");
                texts[1].lang_key = const_cast<char*>("");
                png_set_text(png, info, texts.data(), static_cast<int>(texts.size()));
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

// The bytes libpng reads from, and whether it complained on the way (a chunk it dropped).
struct PngSource {
    std::string_view bytes;
    std::size_t offset = 0;
    bool warned = false;
};

void ReadFromSource(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->bytes.size() - source->offset) png_error(png, "truncated");
    std::memcpy(out, source->bytes.data() + source->offset, count);
    source->offset += count;
}

// A damaged file is the caller's to report, in its own words: libpng prints nothing.
[[noreturn]] void QuietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void NoteWarning(png_structp png, png_const_charp) {
    static_cast<PngSource*>(png_get_error_ptr(png))->warned = true;
}

// Whether every chunk up to the image data lies within the bytes: libpng would take a length
// that does not at its word and ask for as much memory before it finds the end.
bool ChunksFit(std::string_view bytes) {
    for (std::size_t at = 8; at + 8 <= bytes.size();) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        const std::size_t length = std::size_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3];
        if (length > bytes.size() - at - 8) return false;
        if (bytes.substr(at + 4, 4) == "IDAT") return true;
        at += 12 + length;
    }
    return false;
}

}  // namespace

PictureScript ReadPngScript(std::string_view bytes) {
    if (!ChunksFit(bytes)) return {PictureScriptStatus::Damaged, {}, 0};
    PngSource source{bytes};
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, QuietError, NoteWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::string_view format;
    std::string script;
    bool found = false;
    const bool ok = png && info && Guarded(png, [&] {
                        png_set_read_fn(png, &source, ReadFromSource);
                        png_set_chunk_malloc_max(png, MostPictureScriptBytes);
                        png_read_info(png, info);
                        png_textp texts = nullptr;
                        const int count = png_get_text(png, info, &texts, nullptr);
                        for (int i = 0; i < count; ++i) {
                            const std::string_view key = texts[i].key;
                            const std::size_t length = texts[i].compression > 0
                                                           ? texts[i].itxt_length
                                                           : texts[i].text_length;
                            const std::string_view text(texts[i].text, length);
                            if (key == PngFormatKeyword) format = text;
                            if (key == PngScriptKeyword) script.assign(text), found = true;
                        }
                    });
    // The format's text lies in libpng's memory, which is freed last.
    PictureScript result;
    if (!ok) {
        result.status = PictureScriptStatus::Damaged;
    } else if (found) {
        result = ScriptOfFormat(format, std::move(script));
    } else {
        result.status = source.warned ? PictureScriptStatus::Damaged : PictureScriptStatus::Missing;
    }
    png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
    return result;
}

bool WritePng(const std::string& path, const std::uint8_t* image, std::string_view script) {
    if (!ImageHeaderValid(image)) return false;
    File file{std::fopen(path.c_str(), "wb")};
    if (!file.f) return false;
    bool ok = false;
    switch (ImageBytesPerPixel(image)) {
        case 1:
            ok = WritePixels<std::uint8_t>(file.f, image, script);
            break;
        case 2:
            ok = WritePixels<std::uint16_t>(file.f, image, script);
            break;
        default:
            ok = WritePixels<std::uint32_t>(file.f, image, script);
            break;
    }
    if (std::fclose(file.f) != 0) ok = false;
    file.f = nullptr;
    if (!ok) std::remove(path.c_str());
    return ok;
}

}  // namespace zir
