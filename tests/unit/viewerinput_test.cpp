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

std::string ErrorOf(std::string_view text) {
    std::vector<ViewerEvent> events;
    std::string error;
    EXPECT_FALSE(ParseViewerInput(text, "in.txt", events, error));
    return error;
}

TEST(ViewerInput, ReadsEveryKindOfEventWithCommentsAndBlankLines) {
    std::vector<ViewerEvent> events = Parse(
        "# a demonstration\n"
        "\n"
        "100 key r\n"
        "  200 KEY Enter   # next step\r\n"
        "300 press 10 -20\n"
        "300 move 11 12\n"
        "400 release 13 14\n"
        "500 close\n");
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].timeMs, 100);
    EXPECT_EQ(events[0].key, "r");
    EXPECT_EQ(events[1].key, "\r");
    EXPECT_EQ(events[2].action, ViewerAction::Press);
    EXPECT_EQ(events[2].x, 10);
    EXPECT_EQ(events[2].y, -20);
    EXPECT_EQ(events[3].action, ViewerAction::Move);
    EXPECT_EQ(events[4].action, ViewerAction::Release);
    EXPECT_EQ(events[5].action, ViewerAction::Close);
    EXPECT_EQ(events[5].timeMs, 500);
}

TEST(ViewerInput, AClickReleases30MillisecondsLaterAmongTheOtherEvents) {
    std::vector<ViewerEvent> events = Parse(
        "100 click 5 6\n"
        "110 key a\n"
        "130 key b\n"
        "140 key c\n");
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].action, ViewerAction::Press);
    EXPECT_EQ(events[1].key, "a");
    EXPECT_EQ(events[2].action, ViewerAction::Release);
    EXPECT_EQ(events[2].timeMs, 130);
    EXPECT_EQ(events[2].x, 5);
    EXPECT_EQ(events[3].key, "b");  // the file's event at the same time comes after
    EXPECT_EQ(events[4].key, "c");
}

TEST(ViewerInput, KeyNamesGiveTheProgramsKeyTexts) {
    EXPECT_EQ(KeyTextFromName("Esc"), "\x1b");
    EXPECT_EQ(KeyTextFromName("pageup"), "\xFFI");
    EXPECT_EQ(KeyTextFromName("PageDown"), "\xFFQ");
    EXPECT_EQ(KeyTextFromName("Up"), "\xFFH");
    EXPECT_EQ(KeyTextFromName("Down"), "\xFFP");
    EXPECT_EQ(KeyTextFromName("Left"), "\xFFK");
    EXPECT_EQ(KeyTextFromName("Right"), "\xFFM");
    EXPECT_EQ(KeyTextFromName("Home"), "\xFFG");
    EXPECT_EQ(KeyTextFromName("End"), "\xFFO");
    EXPECT_EQ(KeyTextFromName("Space"), " ");
    EXPECT_EQ(KeyTextFromName("Backspace"), "\b");
    EXPECT_EQ(KeyTextFromName("Tab"), "\t");
    EXPECT_EQ(KeyTextFromName("R"), "R");
    EXPECT_EQ(KeyTextFromName("7"), "7");
    EXPECT_EQ(KeyTextFromName("?"), "?");
    EXPECT_EQ(KeyTextFromName("\u00E4"), "\xE4");  // written in UTF-8
    EXPECT_EQ(KeyTextFromName("\u20AC"), "\x80");
    EXPECT_EQ(KeyTextFromName("\u03B1"), "");  // no place in Windows-1252
    EXPECT_EQ(KeyTextFromName("ab"), "");
    EXPECT_EQ(KeyTextFromName("F1"), "");
    // '#' is a key name right after "key", a comment anywhere else.
    std::vector<ViewerEvent> events = Parse("1 key #\n2 key x # the x\n");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].key, "#");
}

TEST(ViewerInput, AMalformedLineIsNamedWithFileAndLine) {
    EXPECT_EQ(ErrorOf("100 key r\n\nsoon key r\n"),
              "in.txt:3: 'soon' is not a time in milliseconds (0 or more)");
    EXPECT_EQ(ErrorOf("-5 key r\n"), "in.txt:1: '-5' is not a time in milliseconds (0 or more)");
    EXPECT_EQ(ErrorOf("200 key a\n100 key b\n"),
              "in.txt:2: time 100 is earlier than the line before (200)");
    EXPECT_EQ(ErrorOf("1 klick 3 4\n"),
              "in.txt:1: unknown event 'klick' (expected key, press, move, release, click or "
              "close)");
    EXPECT_EQ(ErrorOf("1 press 3\n"), "in.txt:1: press needs x and y");
    EXPECT_EQ(ErrorOf("1 key\n"), "in.txt:1: key needs a key name");
    EXPECT_EQ(ErrorOf("1\n"), "in.txt:1: an event is missing after the time");
    EXPECT_EQ(ErrorOf("1 close now\n"), "in.txt:1: unexpected 'now' after close");
    EXPECT_EQ(ErrorOf("1 move 3.5 4\n"),
              "in.txt:1: x and y must be whole numbers from -65535 to 65535");
    EXPECT_EQ(ErrorOf("1 move 3 99999\n"),
              "in.txt:1: x and y must be whole numbers from -65535 to 65535");
    EXPECT_NE(ErrorOf("1 key F1\n").find("in.txt:1: unknown key 'F1'"), std::string::npos);
    EXPECT_NE(ErrorOf("99999999999999999999 key r\n").find("in.txt:1:"), std::string::npos);
}

TEST(ViewerInput, AMissingFileIsAnError) {
    std::vector<ViewerEvent> events;
    std::string error;
    EXPECT_FALSE(ReadViewerInput("/nonexistent/input.txt", events, error));
    EXPECT_EQ(error, "/nonexistent/input.txt: cannot read the input file");
    EXPECT_FALSE(ReadViewerInput("/", events, error));
    EXPECT_EQ(error, "/: cannot read the input file");
}

}  // namespace
}  // namespace zir
