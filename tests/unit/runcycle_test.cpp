// The run cycle: paths, reading scripts, the closing logo, and the prompt and the printed
// lines in the window (the report itself is checked from outside, by cli_test.py).
#include "session/runcycle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "draw/fonts.h"
#include "headless_restart.h"
#include "platform/platform.h"
#include "runtime/runstate.h"
#include "session/windowconsole.h"
#include "zirkula.h"

namespace zir {
namespace {

namespace fs = std::filesystem;

fs::path TestDir() {
    fs::path dir = fs::path(ZIR_TEST_OUTPUT_DIR) / "runcycle" /
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(SplitPath, TheDirectoryEndsAtTheLastSlashOrBackslash) {
    const std::string_view rows[][3] = {
        {"dreieck.zir", "", "dreieck.zir"},
        {"\\dreieck.zir", "", "\\dreieck.zir"},
        {"C:\\Kurs\\dreieck.zir", "C:\\Kurs\\", "dreieck.zir"},
        {"/home/a\\b/c.zir", "/home/a\\b/", "c.zir"},
        {"kurs/", "kurs/", ""},
        {"", "", ""},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(SplitPath(r[0]).directory, r[1]) << r[0];
        EXPECT_EQ(SplitPath(r[0]).fileName, r[2]) << r[0];
    }
}

// The lines of a script file as the program reads them.
std::vector<std::string> ReadScriptLines(const std::string& path) {
    ScriptText script;
    ReadScript(path, script);
    std::vector<std::string> lines;
    ScriptLine line;
    for (ScriptLines::Cursor cursor(ScriptLines::OfText(script.text)); cursor.Next(line);) {
        lines.emplace_back(line.text);
    }
    return lines;
}

TEST(ReadScript, LineEndsMarksAndEncodings) {
    using Lines = std::vector<std::string>;
    const struct {
        std::string bytes;
        Lines lines;
    } rows[] = {
        {"", {}},
        {"\n", {""}},
        {"POINT A 1 2\r\n\r\nEND", {"POINT A 1 2", "", "END"}},
        {"END\r", {"END"}},
        {"A\r\r\nB\rC\n", {"A\r", "B\rC"}},
        {"\xEF\xBB\xBF", {}},
        {"\xEF\xBB\xBFPOINT A 1 2\r\nEND\r\n", {"POINT A 1 2", "END"}},
        // UTF-8 becomes Windows-1252 (one high byte past a run of eight ASCII ones is enough
        // to tell); Latin-1, which is no UTF-8, is taken byte for byte.
        {"\xEF\xBB\xBFTEXT \"Gr\u00FC\u00DF \u20AC \u03B1\"\n", {"TEXT \"Gr\xFC\xDF \x80 ?\""}},
        {"TEXT \"Gr\xFC\xDF\"\nEND\n", {"TEXT \"Gr\xFC\xDF\"", "END"}},
        {"\xEF\xBB\xBFTEXT \"\xFC\"\nEND", {"TEXT \"\xFC\"", "END"}},
        {"TEXT \"abcdefgh\u00FC\"", {"TEXT \"abcdefgh\xFC\""}},
    };
    const fs::path dir = TestDir();
    for (const auto& r : rows) {
        std::ofstream(dir / "s.zir", std::ios::binary) << r.bytes;
        EXPECT_EQ(ReadScriptLines((dir / "s.zir").string()), r.lines) << r.bytes;
    }
    EXPECT_TRUE(ReadScriptLines((dir / "missing.zir").string()).empty());
}

class RunCycle : public ::testing::Test {
  protected:
    void TearDown() override { test::RestoreHeadless(); }
};

TEST_F(RunCycle, TheClosingLogoWaitsTwoSecondsOrUntilAKeyWhichIsThenDiscarded) {
    ErrorList errors;
    ASSERT_TRUE(test::RestartHeadless("", "runcycle-input.txt"));
    EXPECT_EQ(RunScript({"END"}, errors), 255);
    EXPECT_EQ(ClockSeconds(), 2.0);
    ASSERT_TRUE(test::RestartHeadless("300 key x\n300 key y\n", "runcycle-input.txt"));
    RunScript({"END"}, errors);
    EXPECT_NEAR(ClockSeconds(), 0.3, 0.01);
    EXPECT_EQ(PollKey(), "");
}

TEST_F(RunCycle, AWordWiderThanTheWindowIsCutWhereItStillFits) {
    const std::string word = "Subroutinen-Aufrufe";
    const int width =
        StringWidth(word.substr(0, word.size() - 1), BuiltinFont(FontFamily::Sans, 16));
    auto shown = [&](const std::vector<std::string>& lines) {
        EXPECT_TRUE(test::RestartHeadless("", "runcycle-input.txt"));
        ClearWindowConsole();
        EXPECT_TRUE(ScreenOpen(width + 8, 200, 16));
        for (const std::string& line : lines) PrintLine(line);
        std::vector<Colour> pixels;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < width + 8; ++x)
                pixels.push_back(ImageColourAt(ScreenImage(), x, y));
        return pixels;
    };
    EXPECT_EQ(shown({word}),
              shown({word.substr(0, word.size() - 1), word.substr(word.size() - 1)}));
    ClearWindowConsole();
}

}  // namespace
}  // namespace zir
