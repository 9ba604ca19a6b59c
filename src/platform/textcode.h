// Text encodings. Inside the program text is 8-bit Windows-1252 (of which the program's own
// Latin-1 messages are a part); terminals, window titles and JSON want UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zir {

// Each byte becomes its UTF-8 character; the five bytes Windows-1252 leaves unassigned
// become the Latin-1 control characters of the same number.
std::string Utf8FromWindows1252(std::string_view text);

// True when the text is well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
bool IsValidUtf8(std::string_view text);

// The Windows-1252 byte of one character, or '?' where that code page has none.
char Windows1252FromCodePoint(char32_t c);

// Appends the character's UTF-8 bytes.
void AppendUtf8(std::string& out, char32_t c);

// The character a byte shows in the built-in fonts: Windows-1252 in the sans family, the
// Symbol font's layout in the Greek one; 0 where the font has none (and shows a box).
char32_t FontCodePoint(std::uint8_t code, bool greek);

// Each character of valid UTF-8 text becomes its Windows-1252 byte, or '?' where that code
// page has none. Malformed bytes are taken as they stand.
std::string Windows1252FromUtf8(std::string_view text);

}  // namespace zir
