#include "frontend/keywords.h"

#include <array>
#include <cstring>
#include <vector>

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

// Keywords bucketed by length and first letter, so that a lookup compares a token with a
// handful of candidates at most.
struct KeywordIndex {
    std::array<std::array<std::vector<KeywordEntry>, 26>, MaxKeywordLength + 1> buckets;

    KeywordIndex() {
        for (const KeywordEntry& e : Entries) buckets[e.word.size()][e.word[0] - 'A'].push_back(e);
    }
};

const KeywordIndex& Index() {
    static const KeywordIndex index;
    return index;
}

}  // namespace

int KeywordLookup(std::string_view token) {
    if (token.empty() || static_cast<unsigned char>(token[0]) < 'A') return -1;
    if (token.size() > MaxKeywordLength) return 0;
    char upper[MaxKeywordLength];
    for (std::size_t i = 0; i < token.size(); ++i) {
        char c = token[i];
        upper[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (upper[0] < 'A' || upper[0] > 'Z') return 0;
    for (const KeywordEntry& e : Index().buckets[token.size()][upper[0] - 'A']) {
        if (std::memcmp(e.word.data(), upper, token.size()) == 0) return e.code;
    }
    return 0;
}

}  // namespace zir
