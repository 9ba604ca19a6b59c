#include "platform/png.h"

#include <png.h>

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

}  // namespace

bool WritePng(const std::string& path, const std::uint8_t* image) {
    if (!ImageHeaderValid(image)) return false;
    int width = ImageWidth(image), height = ImageHeight(image);
    int bpp = ImageBytesPerPixel(image);

    File file{std::fopen(path.c_str(), "wb")};
    if (!file.f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png))) ok = false;
    if (ok) {
        png_init_io(png, file.f);
        png_set_IHDR(png, info, width, height, 8,
                     bpp == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                Colour c = ImageColourAt(image, x, y);
                if (bpp == 1) {
                    row[x] = static_cast<png_byte>(c);
                } else {
                    row[3 * x] = static_cast<png_byte>(c >> 16);
                    row[3 * x + 1] = static_cast<png_byte>(c >> 8);
                    row[3 * x + 2] = static_cast<png_byte>(c);
                }
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (std::fclose(file.f) != 0) ok = false;
    file.f = nullptr;
    if (!ok) std::remove(path.c_str());
    return ok;
}

Image ReadPng(const std::string& path) {
    png_image pi{};
    pi.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&pi, path.c_str())) return nullptr;
    pi.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words
    Image image{ImageCreateWithDepth(static_cast<int>(pi.width), static_cast<int>(pi.height), 4)};
    if (!image) {
        png_image_free(&pi);
        return nullptr;
    }
    if (!png_image_finish_read(&pi, nullptr, ImagePixels(image.get()), 0, nullptr)) {
        return nullptr;
    }
    auto* p = reinterpret_cast<std::uint32_t*>(ImagePixels(image.get()));
    for (std::size_t i = 0, n = std::size_t{pi.width} * pi.height; i < n; ++i) p[i] &= 0xFFFFFF;
    return image;
}

}  // namespace zir
