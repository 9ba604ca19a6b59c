// Pictures that carry their script: written by the PNG and SVG writers, read back by
// ReadScript as the script file would be; damaged pictures say so.
#include "platform/picturescript.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>

#include "draw/svg.h"
#include "picture_check.h"
#include "platform/files.h"
#include "platform/png.h"
#include "session/runcycle.h"

namespace zir {
namespace {

using Status = PictureScriptStatus;

std::string Read(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

std::string PngWith(std::string_view script) {
    const Image image{ImageCreate(20, 10, Colour{0xFFFFFF})};
    const std::string path = test::OutputPath("picturescript.png");
    EXPECT_TRUE(WritePng(path, image.get(), script));
    return Read(path);
}

std::string SvgWith(std::string_view script) {
    std::string out;
    WriteSvg(
        {}, {0, 0, 20, 10}, false, [&out](std::string_view p) { return out += p, true; }, script);
    return out;
}

// What ReadScript makes of the bytes as a file: whether it reads, and the script as the
// pictures carry it.
std::pair<bool, std::string> Reread(const std::string& bytes, Status& status) {
    const std::string path = test::OutputPath("picturescript.file");
    std::ofstream(path, std::ios::binary) << bytes;
    ScriptText script;
    const bool read = ReadScript(path, script);
    status = script.picture.status;
    return {read, ScriptUtf8(script)};
}

TEST(PictureScript, PngAndSvgCarryTheScriptExactly) {
    const std::string scripts[] = {
        "POINT A 1 2\nEND\n", "TITLE \"Größe € ]]> <b> & &amp;\"\r\nTEXT \"a < b\"\r\n\tEND\r\n",
        "TEXT \"\x01\x7F\xEF\xBF\xBF\"\nEND",  // XML cannot hold these: base64
        "\xEF\xBB\xBFTEXT \"\u03B1\"\n",       // the mark is dropped, α kept though 1252 has none
    };
    for (const std::string& script : scripts) {
        const std::string bom = "\xEF\xBB\xBF";
        const std::string want = script.starts_with(bom) ? script.substr(3) : script;
        for (const std::string& picture : {PngWith(script), SvgWith(script)}) {
            Status status{};
            EXPECT_EQ(Reread(picture, status), std::make_pair(true, want)) << picture.substr(0, 4);
            EXPECT_EQ(status, Status::Found);
        }
    }
}

// The CRC of a PNG chunk of this type and data, as the four bytes that end it.
std::string Crc(std::string_view typeAndData) {
    const auto c = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(typeAndData.data()), typeAndData.size()));
    return {static_cast<char>(c >> 24), static_cast<char>(c >> 16), static_cast<char>(c >> 8),
            static_cast<char>(c)};
}

TEST(PictureScript, PicturesWithoutAReadableScriptSayWhy) {
    const std::string png = PngWith("POINT A 1 2\nEND\n");
    const std::size_t itxt = png.find("iTXt") - 4;
    const std::size_t length = static_cast<std::uint8_t>(png[itxt + 3]);
    std::string badDeflate = png, hugeChunk = png;
    badDeflate[itxt + 8 + length - 3] ^= 0x55;  // in the compressed text; the CRC made good
    badDeflate.replace(itxt + 8 + length, 4, Crc(badDeflate.substr(itxt + 4, 4 + length)));
    hugeChunk.replace(itxt, 4, "\x7F\xFF\xFF\xF0");
    std::string svg = SvgWith("END\n");
    const struct {
        std::string bytes;
        bool read;
        Status status;
    } rows[] = {
        {PngWith(""), false, Status::Missing},
        {png.substr(0, 40), false, Status::Damaged},
        {png.substr(0, itxt + 20), false, Status::Damaged},
        {badDeflate, false, Status::Damaged},
        {hugeChunk, false, Status::Damaged},
        {SvgWith(""), false, Status::Missing},
        {std::string(svg).replace(svg.find("version=\"1\""), 11, "version=\"2\""), false,
         Status::NewerFormat},
        {std::string(svg).replace(svg.find("END"), 3, "&bogus;"), false, Status::Damaged},
        {std::string(svg).replace(svg.find("</zirkula:skript>"), 17, ""), false, Status::Damaged},
        {"\x89PNG", true, Status::NotPicture},  // too short to be one: a script
        {"<b>END\n", true, Status::NotPicture},
    };
    for (const auto& r : rows) {
        Status status{};
        EXPECT_EQ(Reread(r.bytes, status).first, r.read) << r.bytes.substr(0, 60);
        EXPECT_EQ(status, r.status) << r.bytes.substr(0, 60);
    }
    EXPECT_EQ(ScriptOfFormat("12", "").version, 12);
    EXPECT_EQ(ScriptOfFormat("999999", "").status, Status::NewerFormat);
    EXPECT_EQ(ScriptOfFormat("1000000", "").status, Status::Damaged);  // no overflow
    EXPECT_EQ(ScriptOfFormat("1x", "").status, Status::Damaged);
}

}  // namespace
}  // namespace zir
