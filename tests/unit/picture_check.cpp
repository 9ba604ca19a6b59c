#include "picture_check.h"

#include <png.h>

#include <cstdlib>
#include <filesystem>

#include "platform/image.h"
#include "platform/png.h"

namespace zir::test {

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

std::string OutputPath(const std::string& fileName) {
    std::filesystem::create_directories(ZIR_TEST_OUTPUT_DIR);
    return std::string(ZIR_TEST_OUTPUT_DIR) + "/" + fileName;
}

::testing::AssertionResult MatchesApproved(const std::string& name, const std::uint8_t* image) {
    const std::string approvedPath = std::string(ZIR_APPROVED_DIR) + "/" + name + ".png";
    const char* approve = std::getenv("ZIR_APPROVE");
    if (approve && *approve == '1') {
        if (!WritePng(approvedPath, image)) {
            return ::testing::AssertionFailure() << "cannot write " << approvedPath;
        }
        return ::testing::AssertionSuccess();
    }
    Image approved = ReadPng(approvedPath);
    if (!approved) {
        return ::testing::AssertionFailure()
               << "no approved picture " << approvedPath << " (run with ZIR_APPROVE=1)";
    }
    const int w = ImageWidth(image), h = ImageHeight(image);
    if (ImageWidth(approved.get()) != w || ImageHeight(approved.get()) != h) {
        WritePng(OutputPath(name + ".actual.png"), image);
        return ::testing::AssertionFailure() << name << ": size differs from the approved picture";
    }
    Image diff{ImageCreateWithDepth(w, h, 4)};
    int differing = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Colour want = ImageColourAt(approved.get(), x, y);
            bool same = ImageColourAt(image, x, y) == want;
            differing += same ? 0 : 1;
            const std::uint32_t faded = 0xC0C0C0 | ((want.Value() >> 2) & 0x3F3F3F);
            reinterpret_cast<std::uint32_t*>(ImagePixels(diff.get()))[y * w + x] =
                same ? faded : 0xFF0000;
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    WritePng(OutputPath(name + ".actual.png"), image);
    WritePng(OutputPath(name + ".diff.png"), diff.get());
    return ::testing::AssertionFailure()
           << name << ": " << differing << " pixels differ; see " << OutputPath(name + ".diff.png");
}

}  // namespace zir::test
