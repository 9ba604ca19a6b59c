// Names, types and the name table: every point, line, circle, subroutine and text of a
// script is known by its position in the row of its type.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zir {

// Types: row numbers of the name table, kinds of symbols and detail fields of messages.
inline constexpr int TypeNone = 0;  // a name not yet declared
inline constexpr int TypePoint = 1;
inline constexpr int TypeLine = 2;
inline constexpr int TypeCircle = 3;
inline constexpr int TypeNumber = 4;        // number variable; no statement declares one
inline constexpr int TypeDirectNumber = 5;  // a number written in the script
inline constexpr int TypeLabel = 6;         // no statement declares one
inline constexpr int TypeSubroutine = 7;
inline constexpr int TypeText = 8;
inline constexpr int TypeKeyword = 9;
inline constexpr int TypeComment = -1;  // a comment marker: the statement ends before it

inline constexpr int NameRowCount = 9;  // rows 0 to 8; keywords have no row

// The index that marks a text not yet in the table.
inline constexpr int NoIndex = 0xFFFF;
// Indexes stand in 16-bit targets read as signed values, so a row holds at most this many.
inline constexpr int MaxNamesPerRow = 32768;

// The type name printed in messages ("Punkt", "Gerade", ...; Latin-1), or empty for a
// number that is no type.
std::string_view TypeName(int type);

// What one token stands for. For a keyword, index is the keyword code; for a direct number
// it is 0; for a text not yet declared it is NoIndex; an undeclared name is type 0, index 0.
struct Symbol {
    int type = TypeNone;
    int index = 0;
};

// One entry of a name index: a name's hash, its first eight bytes and its length, and the
// row entry that holds its text. A name of up to eight bytes is compared in the entry
// itself; a longer one with its row entry.
struct NameIndexEntry {
    std::uint64_t head = 0;
    std::uint32_t hash = 0;
    std::uint32_t length = 0;
    int type = TypeComment;  // TypeComment marks a free entry
    int index = 0;
};

// An open-addressing hash index over the entries of the name table (capacity a power of
// two, at most half full).
struct NameIndex {
    std::vector<NameIndexEntry> entries;
    std::size_t used = 0;
};

// The names of a script, one row per type in the order of declaration. A name is kept
// exactly as written; a text without its quotes. Change it only through Declare, which
// keeps the indexes in step with the rows.
struct NameTable {
    std::array<std::vector<std::string>, NameRowCount> rows;
    // For each name, the entry that lookup finds: the lowest row holding it, and in that
    // row its first entry.
    NameIndex names;
    // For each text, its first entry in row 8.
    NameIndex texts;
};

inline int NameCount(const NameTable& names, int type) {
    return static_cast<int>(names.rows[type].size());
}

// The token's symbol: keyword, declared name, undeclared name, direct number, text, or
// TypeComment.
Symbol SymbolLookup(std::string_view token, const NameTable& names);

// Appends the token (for row 8 its text without quotes) to row type and returns its index,
// or -1 when the row is full.
int Declare(NameTable& names, int type, std::string_view token);

// Checks that the token with symbol sym may stand where a name of type expected is wanted:
// an undeclared name is declared with that type. Returns 0 or an error code word (message
// 10 with the found and the expected type; a text counts as found type "Text"; message 24
// when the row is full). The name's index is stored in *index when given.
std::int32_t CheckArgument(std::string_view token, Symbol sym, int expected, NameTable& names,
                           int* index = nullptr);

// Checks that the token is a text, declaring it if it is new. Returns 0 or message 10 with
// "Text" as the first and the found type as the second detail field.
std::int32_t CheckText(std::string_view token, Symbol sym, NameTable& names);

}  // namespace zir
