#include "frontend/warnings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zir {
namespace {

using Expected = std::vector<std::pair<int, std::string>>;

// The warnings of the lines, as line and text, where each expected text is the start of
// the warning's text.
::testing::AssertionResult Warns(const std::vector<std::string_view>& lines,
                                 const Expected& expected) {
    const std::vector<Warning> found = FindWarnings(lines);
    bool same = found.size() == expected.size();
    for (std::size_t i = 0; same && i < found.size(); ++i) {
        same = found[i].line == expected[i].first && found[i].text.starts_with(expected[i].second);
    }
    if (same) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    for (const Warning& w : found) failure << "\n  " << w.line << ": " << w.text;
    return failure;
}

// Each statement form gives its results a value and reads its values where the compiler
// does: none of the first script's statements is a trap. The second has the forms whose
// values and results are read by rules of their own, which the script cases leave out.
TEST(Warnings, EveryFormGivesItsResultsAndReadsItsValues) {
    // clang-format off
    EXPECT_TRUE(Warns({"POINT M, 300, 200", "CIRCLE k, 300, 200, 50, 0FF0000H, DEFAULT, 0, 90",
                       "g, P = STARTLINE M, 30, 100", "t1, t2 = TANGENT P, k", "E1, E2 = CIRCLEND k",
                       "S1, S2 = CROSS k, g", "h = COPY g", "REVERT h", "X = CROSS t1, t2",
                       "b = ARC g, h, 40, &H0000C0, 2", "MARKLINE g, 16, 1", "MARKNUMBERLINE g, 40, 12",
                       "MENU &HFFFFFF, &H008000", "MENUITEM \"a\"", "ENDMENU", "INTERACT Z", "END",
                       "INTERACTION Z", "CLICKABLE E1 ALONG k", "MARKPOINT E2", "MARKPOINT X",
                       "MARKPOINT S2", "REPEAT"},
                      {}));
    EXPECT_TRUE(Warns({"LINE g, 0, 0, 10, 10", "CIRCLE k, 1, 2, 3", "MARKLINE g, 16, 1, eins, zwei",
                       "ANIMATE Z FAST 3", "ANIMATE Z", "DEFAULTS 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11",
                       "END", "ANIMATION Z", "STEP k ALONG g, 4, 1", "REPEAT 2"},
                      {{3, "\x84" "eins\x93 steht, wo MARKLINE eine Zahl"},
                       {3, "\x84zwei\x93 steht nach den Angaben, die MARKLINE"},
                       {4, "\x84" "3\x93 steht nach den Angaben, die ANIMATE"},
                       {6, "\x84" "11\x93 steht nach den Angaben, die DEFAULTS"}}));
    // clang-format on
}

// A statement that failed leaves unknown what it would have given, so names are judged
// only after a whole compile; the comment that a number begins is still named.
TEST(Warnings, AFailedCompileNamesOnlyWhatIsCertain) {
    EXPECT_TRUE(Warns({"c = LINE A, b", "POINT A, +.5", "END"},
                      {{2, "\x84+.5\x93 beginnt einen Kommentar"}}));
    // clang-format off
    EXPECT_TRUE(Warns({"c = LINE A, b", "POINT A, 1, 2", "END"},
                      {{1, "\x84" "b\x93 bekommt nirgends einen Wert"}}));
    // clang-format on
}

}  // namespace
}  // namespace zir
