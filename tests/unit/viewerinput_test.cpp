#include "platform/viewerinput.h"

#include <gtest/gtest.h>

namespace zir {
namespace {

std::vector<ViewerEvent> Parse(std::string_view text) {
    std::vector<ViewerEvent> events;
    std::string error;
    EXPECT_TRUE(ParseViewerInput(text, "in.txt", events, error)) << error;
    return events;
}

// The events as "time key text" or "time action x y", one a line.
std::string Shown(std::string_view text) {
    const char* actions[] = {"key", "press", "move", "release", "close"};
    std::string shown;
    for (const ViewerEvent& e : Parse(text)) {
        shown += std::to_string(e.timeMs) + " " + actions[static_cast<int>(e.action)] + " ";
        shown += e.key.empty() ? std::to_string(e.x) + " " + std::to_string(e.y) : e.key;
        shown += "\n";
    }
    return shown;
}

std::string ErrorOf(std::string_view text) {
    std::vector<ViewerEvent> events;
    std::string error;
    EXPECT_FALSE(ParseViewerInput(text, "in.txt", events, error));
    return error;
}

// A click releases 30 ms after its press, after the file's events of that time; "#" is a key
// name right after "key" and a comment anywhere else. Numbers may carry a sign and zeros.
TEST(ViewerInput, ReadsEveryKindOfEventWithCommentsAndBlankLines) {
    EXPECT_EQ(Shown("# a demonstration\n\n100 key r\n  200 KEY Enter   # next step\r\n"
                    "300 press 10 -20\n300 move 11 12\n400 release 13 14\n500 close\n"
                    "600 move +00000000000007 -00000000000008\n"),
              "100 key r\n200 key \r\n300 press 10 -20\n300 move 11 12\n400 release 13 14\n"
              "500 close 0 0\n600 move 7 -8\n");
    EXPECT_EQ(Shown("100 click 5 6\n110 key #\n130 key b # the b\n140 key c\n"),
              "100 press 5 6\n110 key #\n130 release 5 6\n130 key b\n140 key c\n");
}

// Named keys in any case, and one printable character written in UTF-8 or as a byte; a
// character that is not printable or has no place in Windows-1252, or more than one, is none.
TEST(ViewerInput, KeyNamesGiveTheProgramsKeyTexts) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"Esc", "\x1b"}, {"pageup", "\xFFI"}, {"Right", "\xFFM"}, {"End", "\xFFO"},
        {"Space", " "}, {"Backspace", "\b"}, {"R", "R"}, {"\u00E4", "\xE4"}, {"\xE4", "\xE4"},
        {"\u20AC", "\x80"}, {"\u00A0", "\xA0"}, {"\u00FF", "\xFF"}, {"\x7F", ""}, {"\x01", ""},
        {"\x81", ""}, {"\u008D", ""}, {"\u03B1", ""}, {"ab", ""}, {"F1", ""}};
    // clang-format on
    for (auto [name, text] : cases) EXPECT_EQ(KeyTextFromName(name), text) << name;
}

TEST(ViewerInput, AMalformedLineIsNamedWithFileAndLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"100 key r\n\nsoon key r\n", "in.txt:3: 'soon' is not a time in milliseconds (0 or more)"},
        {"200 key a\n100 key b\n", "in.txt:2: time 100 is earlier than the line before (200)"},
        {"1 press 3\n", "in.txt:1: press needs x and y"},
        {"1 move 3 99999\n", "in.txt:1: x and y must be whole numbers from -65535 to 65535"},
        {"1 key F1\n", "in.txt:1: unknown key 'F1'"},
        {"99999999999999999999 key r\n", "in.txt:1:"}};
    for (auto [text, error] : cases) EXPECT_TRUE(ErrorOf(text).starts_with(error)) << ErrorOf(text);
}

}  // namespace
}  // namespace zir
