// The script a PNG or SVG picture carries, so that a picture on a worksheet opens again as the
// script that made it.
//
// Format 1. PNG: before the image data, a tEXt chunk "Zirkula-Format" with the text "1" and a
// compressed iTXt chunk "Zirkula-Skript" (no language) whose text is the script in UTF-8.
// SVG: in <metadata>, an element skript in the namespace urn:zirkula:skript with the
// attribute version="1", whose content is the script, XML-escaped; a script with characters
// XML cannot hold (control characters other than tab and line breaks) is written in base64
// with the attribute encoding="base64". A picture without the version counts as format 1.
#pragma once

#include <string>
#include <string_view>

namespace zir {

inline constexpr int PictureScriptFormat = 1;
inline constexpr const char* PngScriptKeyword = "Zirkula-Skript";
inline constexpr const char* PngFormatKeyword = "Zirkula-Format";
inline constexpr const char* SvgScriptNamespace = "urn:zirkula:skript";
// A picture's script is read up to this size, so that a few bytes of compressed zeros cannot
// ask for gigabytes.
inline constexpr std::size_t MostPictureScriptBytes = std::size_t{64} << 20;

enum class PictureScriptStatus {
    NotPicture,   // neither a PNG nor an SVG: a script file
    Found,        // text is the script
    Missing,      // a picture without our script
    NewerFormat,  // version is the format it is written in
    Damaged,      // a picture or a script that cannot be read whole
};

struct PictureScript {
    PictureScriptStatus status = PictureScriptStatus::NotPicture;
    std::string text;  // the script, as UTF-8
    int version = 0;   // the format it was written in
};

// Whether the bytes begin as a PNG file does.
bool IsPng(std::string_view bytes);
// Whether the bytes are an SVG document: markup first, and an svg element.
bool IsSvg(std::string_view bytes);

// The script the picture carries; NotPicture for bytes that are neither PNG nor SVG.
PictureScript ReadPictureScript(std::string_view bytes);
// The script of an SVG document.
PictureScript SvgScript(std::string_view document);
// The status for a script found in a picture written in the given format ("" when the picture
// does not say), the script moved in when the format is one this program reads.
PictureScript ScriptOfFormat(std::string_view format, std::string text);

// The <metadata> element that carries the script in an SVG document, with its line break.
std::string SvgScriptMetadata(std::string_view utf8);

}  // namespace zir
