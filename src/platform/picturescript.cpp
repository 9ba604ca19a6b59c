#include "platform/picturescript.h"

#include <array>
#include <cstdint>

#include "platform/png.h"
#include "platform/textcode.h"

namespace zir {
namespace {

constexpr std::string_view Base64Digits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<std::uint8_t>(bytes[i + 2]);
        for (std::size_t k = 0; k < 4; ++k) {
            out += k <= bytes.size() - i ? Base64Digits[group >> (18 - 6 * k) & 63] : '=';
        }
    }
    return out;
}

// False for a character that is not base64, blanks and padding aside.
bool FromBase64(std::string_view text, std::string& out) {
    std::uint32_t group = 0;
    int bits = 0;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '=') continue;
        const std::size_t digit = Base64Digits.find(c);
        if (digit == std::string_view::npos) return false;
        group = group << 6 | static_cast<std::uint32_t>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(group >> bits & 0xFF);
        }
    }
    return true;
}

// Whether every character may stand in XML 1.0 text: not the C0 controls but tab and line
// breaks, not U+FFFE and U+FFFF.
bool XmlCanHold(std::string_view utf8) {
    if (!IsValidUtf8(utf8)) return false;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
        if (c == 0xEF && utf8.substr(i + 1, 1) == "\xBF" && i + 2 < utf8.size() &&
            (utf8[i + 2] == '\xBE' || utf8[i + 2] == '\xBF')) {
            return false;
        }
    }
    return true;
}

// Text content as an XML parser gives it: entities and character references replaced, line
// ends made "\n". False for markup inside or a reference that is not one.
bool XmlText(std::string_view text, std::string& out) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<') return false;
        if (c == '\r') {
            out += '\n';
            if (text.substr(i + 1, 1) == "\n") ++i;
            continue;
        }
        if (c != '&') {
            out += c;
            continue;
        }
        const std::size_t end = text.find(';', i);
        if (end == std::string_view::npos || end - i > 12) return false;
        const std::string_view name = text.substr(i + 1, end - i - 1);
        i = end;
        static constexpr std::array<std::pair<std::string_view, char>, 5> Named = {
            {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}}};
        bool named = false;
        for (const auto& [entity, ch] : Named) {
            if (name == entity) out += ch, named = true;
        }
        if (named) continue;
        if (name.size() < 2 || name[0] != '#') return false;
        const bool hex = name[1] == 'x';
        std::uint32_t code = 0;
        for (char d : name.substr(hex ? 2 : 1)) {
            const std::string_view digits = hex ? "0123456789abcdef" : "0123456789";
            const std::size_t v = digits.find(static_cast<char>(d | (hex ? 0x20 : 0)));
            if (v == std::string_view::npos || code > 0x10FFFF) return false;
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
        }
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return false;
        AppendUtf8(out, code);
    }
    return true;
}

// The value of an attribute of a start tag, quoted either way; empty when it has none.
std::string_view AttributeOf(std::string_view tag, std::string_view name) {
    for (std::size_t at = tag.find(name); at != std::string_view::npos;
         at = tag.find(name, at + 1)) {
        const bool whole = at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\n' ||
                                      tag[at - 1] == '\t' || tag[at - 1] == '\r');
        std::size_t i = at + name.size();
        while (i < tag.size() && tag[i] == ' ') ++i;
        if (!whole || i + 1 >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && tag[i] == ' ') ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) continue;
        const std::size_t end = tag.find(tag[i], i + 1);
        if (end != std::string_view::npos) return tag.substr(i + 1, end - i - 1);
    }
    return {};
}

}  // namespace

bool IsPng(std::string_view bytes) {
    return bytes.starts_with("\x89PNG\r\n\x1A\n");
}

bool IsSvg(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes[first] == '<' &&
           bytes.find("<svg") != std::string_view::npos;
}

PictureScript ReadPictureScript(std::string_view bytes) {
    if (IsPng(bytes)) return ReadPngScript(bytes);
    if (IsSvg(bytes)) return SvgScript(bytes);
    return {};
}

PictureScript ScriptOfFormat(std::string_view format, std::string text) {
    if (format.empty()) format = "1";
    int version = 0;
    for (char d : format) {
        if (d < '0' || d > '9' || version > 99999) return {PictureScriptStatus::Damaged, {}, 0};
        version = version * 10 + (d - '0');
    }
    if (version > PictureScriptFormat) return {PictureScriptStatus::NewerFormat, {}, version};
    if (version < 1) return {PictureScriptStatus::Damaged, {}, version};
    return {PictureScriptStatus::Found, std::move(text), version};
}

PictureScript SvgScript(std::string_view document) {
    const PictureScript damaged{PictureScriptStatus::Damaged, {}, 0};
    // The element is found by its namespace, whatever prefix a program that rewrote the
    // document gave it.
    const std::string uri = SvgScriptNamespace;
    std::size_t at = document.find("=\"" + uri + '"');
    if (at == std::string_view::npos) at = document.find("='" + uri + '\'');
    if (at == std::string_view::npos) return {PictureScriptStatus::Missing, {}, 0};
    const std::size_t name = document.find_last_of(" \t\r\n", at) + 1;
    const std::string_view declaration = document.substr(name, at - name);
    std::string element;
    if (declaration.starts_with("xmlns:")) {
        element = std::string(declaration.substr(6)) + ":skript";
    } else if (declaration == "xmlns") {
        element = "skript";
    } else {
        return damaged;
    }
    std::size_t start = document.find('<' + element);
    while (start != std::string_view::npos) {
        const std::size_t after = start + 1 + element.size();
        if (after < document.size() &&
            std::string_view(" \t\r\n/>").find(document[after]) != std::string_view::npos) {
            break;
        }
        start = document.find('<' + element, after);
    }
    if (start == std::string_view::npos) return damaged;
    const std::size_t tagEnd = document.find('>', start);
    if (tagEnd == std::string_view::npos) return damaged;
    const std::string_view tag = document.substr(start, tagEnd - start);
    std::string_view content;
    if (!tag.ends_with('/')) {
        const std::size_t close = document.find("</" + element, tagEnd);
        if (close == std::string_view::npos) return damaged;
        content = document.substr(tagEnd + 1, close - tagEnd - 1);
    }
    std::string text;
    if (!XmlText(content, text)) return damaged;
    const std::string_view encoding = AttributeOf(tag, "encoding");
    if (encoding == "base64") {
        std::string decoded;
        if (!FromBase64(text, decoded)) return damaged;
        text = std::move(decoded);
    } else if (!encoding.empty()) {
        return damaged;
    }
    return ScriptOfFormat(AttributeOf(tag, "version"), std::move(text));
}

std::string SvgScriptMetadata(std::string_view utf8) {
    std::string out = "<metadata><zirkula:skript xmlns:zirkula=\"" +
                      std::string(SvgScriptNamespace) + "\" version=\"" +
                      std::to_string(PictureScriptFormat) + '"';
    if (!XmlCanHold(utf8)) {
        out += " encoding=\"base64\">" + Base64(utf8);
    } else {
        out += '>';
        out.reserve(out.size() + utf8.size() + 64);
        for (char c : utf8) {
            switch (c) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '\r':  // a parser would make a line end of it alone "\n"
                    out += "&#13;";
                    break;
                default:
                    out += c;
            }
        }
    }
    out += "</zirkula:skript></metadata>\n";
    return out;
}

}  // namespace zir
