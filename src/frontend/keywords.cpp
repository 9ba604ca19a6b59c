#include "frontend/keywords.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zir {

namespace {

struct KeywordEntry {
    std::string_view word;
    int code = 0;
};

constexpr int I = InvisibleKeyword;

constexpr KeywordEntry Entries[] = {
    {"POINT", 1},
    {"IPOINT", I + 1},
    {"LINE", 2},
    {"ILINE", I + 2},
    {"LINEPOLAR", 3},
    {"ILINEPOLAR", I + 3},
    {"CIRCLE", 4},
    {"ICIRCLE", I + 4},
    {"COPY", 5},
    {"CROSS", 8},
    {"ICROSS", I + 8},
    {"MIDDLE", 9},
    {"IMIDDLE", I + 9},
    {"MOVECIRCLE", 10},
    {"IMOVECIRCLE", I + 10},
    {"REVERT", 11},
    {"MIDLINE", 13},
    {"BISECTOR", 13},
    {"IMIDLINE", I + 13},
    {"IBISECTOR", I + 13},
    {"TANGENT", 16},
    {"ITANGENT", I + 16},
    {"ADVANCETO", 17},
    {"IADVANCETO", I + 17},
    {"ADVANCEON", 18},
    {"IADVANCEON", I + 18},
    {"CIRCLEND", 22},
    {"CIRCLEEND", 22},
    {"ENDCIRCLE", 22},
    {"ICIRCLEND", I + 22},
    {"ICIRCLEEND", I + 22},
    {"IENDCIRCLE", I + 22},
    {"ARC", 26},
    {"IARC", I + 26},
    {"STARTLINE", 27},
    {"ISTARTLINE", I + 27},
    {"FILLTRIANGLE", 28},
    {"FILLCIRCLE", 29},
    {"FILL", 30},
    {"ORDERLINES", 32},
    {"MARKPOINT", 33},
    {"MARKLINE", 34},
    {"MARKANGLE", 35},
    {"MARKNUMBERLINE", 38},
    {"MARKNLINE", 38},
    {"MARKNUMBERANGLE", 39},
    {"MARKNANGLE", 39},
    {"CALL", 48},
    {"CONSTRUCT", 48},
    {"INTERACT", 48},
    {"ANIMATE", 48},
    {"FAST", 45},
    {"PACE", 46},
    {"SLOW", 47},
    {"TOOL", 47},
    {"TOOLS", 47},
    {"REPEAT", 49},
    {"CONSTRUCTION", 57},
    {"INTERACTION", 58},
    {"ANIMATION", 59},
    {"CLICKABLE", 52},
    {"TRACE", 55},
    {"CLS", 65},
    {"SCREEN", 66},
    {"WINDOW", 67},
    {"TWINDOW", 68},
    {"TEXTWINDOW", 68},
    {"TEXT", 72},
    {"TITLE", 73},
    {"SPEED", 76},
    {"FRAME", 77},
    {"FRAMESPEED", 77},
    {"MENU", 88},
    {"MENUITEM", 89},
    {"EXITMENU", 90},
    {"ENDMENU", 91},
    {"REPEATMENU", 92},
    {"STEP", 97},
    {"ALONG", 102},
    {"DEFAULT", 100},
    {"DEFAULTS", 80},
    {"TOOLDEFAULTS", 81},
    {"WAIT", 128},
    {"WAITALWAYS", 129},
    {"END", 255},
};

constexpr std::size_t MaxKeywordLength = 15;
// The shortest keyword: most names are shorter, and are known to be none by their length.
constexpr std::size_t MinKeywordLength = [] {
    std::size_t shortest = MaxKeywordLength;
    for (const KeywordEntry& e : Entries) shortest = std::min(shortest, e.word.size());
    return shortest;
}();
static_assert(MinKeywordLength == 3);

// A word of at most 15 letters packed into two 64-bit halves, one byte per letter and zeros
// after the last, so that two words compare in two steps.
struct PackedWord {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
};

constexpr std::size_t TableSize = 512;  // a power of two, under a fifth full

constexpr std::size_t Bucket(PackedWord w) {
    std::uint64_t h = (w.low * 0x9E3779B97F4A7C15ull) ^ (w.high * 0xC2B2AE3D27D4EB4Full);
    return static_cast<std::size_t>(h >> 40) & (TableSize - 1);
}

struct KeywordSlot {
    PackedWord word;
    int code = 0;  // 0: a free slot
};

// Every keyword by its packed spelling, in an open-addressing table built at compile time.
constexpr std::array<KeywordSlot, TableSize> Table = [] {
    std::array<KeywordSlot, TableSize> table{};
    for (const KeywordEntry& e : Entries) {
        PackedWord w;
        for (std::size_t i = 0; i < e.word.size(); ++i) {
            (i < 8 ? w.low : w.high) |= static_cast<std::uint64_t>(e.word[i]) << (8 * (i % 8));
        }
        std::size_t b = Bucket(w);
        while (table[b].code != 0) b = (b + 1) & (TableSize - 1);
        table[b] = KeywordSlot{w, e.code};
    }
    return table;
}();

}  // namespace

std::vector<std::string_view> KeywordSpellings() {
    std::vector<std::string_view> words;
    for (const KeywordEntry& entry : Entries) words.push_back(entry.word);
    return words;
}

int KeywordLookup(std::string_view token) {
    if (token.empty() || static_cast<unsigned char>(token[0]) < 'A') return -1;
    if (token.size() > MaxKeywordLength || token.size() < MinKeywordLength) return 0;
    // Keywords are letters only, so a name with any other character (a digit, say) is
    // known to be none as soon as that character is met.
    PackedWord w;
    for (std::size_t i = 0; i < token.size(); ++i) {
        char c = token[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') return 0;
        (i < 8 ? w.low : w.high) |= static_cast<std::uint64_t>(c) << (8 * (i % 8));
    }
    for (std::size_t b = Bucket(w);; b = (b + 1) & (TableSize - 1)) {
        const KeywordSlot& slot = Table[b];
        if (slot.code == 0) return 0;
        if (slot.word.low == w.low && slot.word.high == w.high) return slot.code;
    }
}

}  // namespace zir
