// The run cycle: paths, reading scripts, the report printed and written beside the script,
// the prompt in the console and in the window, the closing logo and the exported entry
// points.
#include "session/runcycle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "draw/fonts.h"
#include "frontend/compiler.h"
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

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The console reads from /dev/null unless a test gives it other input, so that the Enter
// prompt after a failed compile returns at once.
void StartHeadless(const std::string& input = "", int consoleIn = -1, int consoleOut = 1) {
    static const int noInput = ::open("/dev/null", O_RDONLY);
    PlatformOptions options;
    options.backend = BackendKind::Headless;
    options.consoleInFd = consoleIn < 0 ? noInput : consoleIn;
    options.consoleOutFd = consoleOut;
    if (!input.empty()) {
        options.inputPath = (TestDir() / "input.txt").string();
        std::ofstream(options.inputPath) << input;
    }
    std::string message;
    ASSERT_EQ(PlatformStart(options, message), PlatformError::None) << message;
}

TEST(SplitPath, TheDirectoryEndsAtTheLastSlashOrBackslash) {
    const std::string_view rows[][3] = {
        {"dreieck.zir", "", "dreieck.zir"},
        {"/dreieck.zir", "", "/dreieck.zir"},
        {"\\dreieck.zir", "", "\\dreieck.zir"},
        {"kurs/geo/dreieck.zir", "kurs/geo/", "dreieck.zir"},
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
    std::string long2500;
    for (int i = 0; i < 2500; ++i) long2500 += "POINT P" + std::to_string(i) + " 1 2\n";
    const struct {
        std::string bytes;
        Lines lines;
    } rows[] = {
        {"", {}},
        {"\n", {""}},
        {"POINT A 1 2\r\n\r\nEND", {"POINT A 1 2", "", "END"}},
        {"END\n\n\n", {"END", "", ""}},
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
    std::ofstream(dir / "long.zir", std::ios::binary) << long2500;
    const Lines lines = ReadScriptLines((dir / "long.zir").string());
    ASSERT_EQ(lines.size(), 2500u);
    EXPECT_EQ(lines[1024] + lines[2499], "POINT P1024 1 2POINT P2499 1 2");
    EXPECT_TRUE(ReadScriptLines((dir / "missing.zir").string()).empty());
    EXPECT_TRUE(ReadScriptLines(dir.string()).empty()) << "a directory reads as no lines";
    EXPECT_FALSE(ReadScriptLines("/proc/self/status").empty()) << "a file without a size";

    // Compiled from its text as it lies, the error lines count every line, blank or ended by
    // "\r\n".
    std::ofstream(dir / "errors.zir", std::ios::binary)
        << "POINT A 1 2\r\n\r\nREVERT\n  \nEND\nCONSTRUCTION S P\nMARKPOINT\nREPEAT";
    ScriptText script;
    ReadScript((dir / "errors.zir").string(), script);
    InstructionTable program;
    NameTable names;
    std::vector<CompileError> errors;
    EXPECT_EQ(ParseScript(ScriptLines::OfText(script.text), program, errors, names), FailedInPass1);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].line * 10 + errors[1].line, 37);
}

class RunCycle : public ::testing::Test {
  protected:
    void SetUp() override { StartHeadless(); }
    void TearDown() override { StartHeadless(); }
};

TEST_F(RunCycle, TheClosingLogoWaitsTwoSecondsOrUntilAKeyWhichIsThenDiscarded) {
    ErrorList errors;
    Settings().stepWait = 500;
    EXPECT_EQ(RunScript({"END"}, errors), 255);
    EXPECT_EQ(Settings().stepWait, 2000) << "every run starts from the default settings";
    EXPECT_EQ(ClockSeconds(), 2.0);
    StartHeadless("300 key x\n300 key y\n");
    RunScript({"END"}, errors);
    EXPECT_NEAR(ClockSeconds(), 0.3, 0.01);
    EXPECT_EQ(PollKey(), "");
}

TEST_F(RunCycle, WithAWindowOpenALineTypedOnTheConsoleStillAnswers) {
    int typed[2];
    ASSERT_EQ(::pipe(typed), 0);
    ASSERT_EQ(::write(typed[1], "ja\n", 3), 3);
    StartHeadless("90000 key Enter\n", typed[0]);
    ASSERT_TRUE(ScreenOpen(320, 240, 16));
    EXPECT_EQ(ReadAnswer(), "ja");
    EXPECT_LT(ClockSeconds(), 1.0) << "the console's line came first";
    EXPECT_EQ(ReadAnswer(), "") << "then Enter in the window";
    EXPECT_EQ(ClockSeconds(), 90.0);
    ::close(typed[1]);
    EXPECT_EQ(ReadAnswer(), std::nullopt) << "no input left: the window closes";
    StartHeadless();
    ::close(typed[0]);
}

TEST_F(RunCycle, AWordWiderThanTheWindowIsCutWhereItStillFits) {
    const std::string word = "Subroutinen-Aufrufe";
    const int width =
        StringWidth(word.substr(0, word.size() - 1), BuiltinFont(FontFamily::Sans, 16));
    auto shown = [&](const std::vector<std::string>& lines) {
        StartHeadless();
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

// What is printed after a run, read back through a pipe; the prompt's input is at its end.
class RunReport : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(::pipe(out_), 0);
        ::fcntl(out_[0], F_SETFL, O_NONBLOCK);
        int in[2];
        ASSERT_EQ(::pipe(in), 0);
        ::close(in[1]);
        in_ = in[0];
        ::setenv("LC_ALL", "C.UTF-8", 1);
        StartHeadless("", in_, out_[1]);
        dir_ = TestDir();
        std::ofstream(dir_ / "Zir-Fehler.txt") << "old\r\n";
    }
    void TearDown() override {
        StartHeadless();
        ::unsetenv("LC_ALL");
        for (int fd : {in_, out_[0], out_[1]}) ::close(fd);
    }
    std::string Printed() {
        std::string text;
        char buffer[512];
        for (ssize_t n; (n = ::read(out_[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
        return text;
    }

    int in_ = -1;
    int out_[2] = {-1, -1};
    fs::path dir_;
};

TEST_F(RunReport, AFailedCompileIsPrintedAndWrittenBesideTheScriptThenPrompts) {
    ErrorList errors;
    errors.codes = {13, 36};
    errors.lines = {3, 0};
    const std::string directory = dir_.string() + "/";
    EXPECT_EQ(ReportRunResult(-1, errors, directory), -1);
    EXPECT_EQ(ReadFile(dir_ / "Zir-Fehler.txt"),
              "2 Fehler im 1.Durchgang.\r\n"
              "Fehler 13 in Linie 3\r\n"
              "        Syntaxfehler: kein Schl\xFCsselwort in der Linie.\r\n"
              "Fehler 36 in Linie 0\r\n"
              "        Kein END im Hauptprogramm.\r\n");
    EXPECT_EQ(Printed(),
              "2 Fehler im 1.Durchgang.\n"
              "Fehler 13 in Linie 3\n"
              "        Syntaxfehler: kein Schl\u00FCsselwort in der Linie.\n"
              "Fehler 36 in Linie 0\n"
              "        Kein END im Hauptprogramm.\n"
              "Fehlerbericht wurde gespeichert in " +
                  directory +
                  "Zir-Fehler.txt\n"
                  "Dr\u00FC"
                  "cke die [Enter]-Taste, um weiterzufahren.\n");
    errors.codes = {21};
    errors.lines = {4};
    EXPECT_EQ(ReportRunResult(-2, errors, directory), -2);
    EXPECT_EQ(Printed().rfind("1 Fehler im 2.Durchgang.\n", 0), 0u);
}

TEST_F(RunReport, ANormalEndPrintsNothingAndEveryRunDeletesTheOldReport) {
    ErrorList errors;
    EXPECT_EQ(ReportRunResult(255, errors, dir_.string() + "/"), 0);
    EXPECT_EQ(ReportRunResult(0, errors, dir_.string() + "/"), 0);
    EXPECT_EQ(Printed(), "");
    EXPECT_FALSE(fs::exists(dir_ / "Zir-Fehler.txt"));
    std::ofstream(dir_ / "Zir-Fehler.txt") << "old\r\n";
    std::ofstream(dir_ / "dreieck.zir") << "END\n";
    EXPECT_EQ(RunScriptFile((dir_ / "dreieck.zir").string(), errors), 0);
    EXPECT_FALSE(fs::exists(dir_ / "Zir-Fehler.txt"));
}

TEST_F(RunReport, WithAWindowOpenTheLinesShowInItAndEnterThereAnswersThePrompt) {
    // The console's input has ended, as for a program started from the desktop: only Enter
    // in the window answers, here at 60 seconds.
    StartHeadless("50000 key x\n60000 key Enter\n", in_, out_[1]);
    ErrorList errors;
    const std::int32_t result = RunScript(
        {"CONSTRUCT Ewig FAST", "END", "CONSTRUCTION Ewig", "CONSTRUCT Ewig", "REPEAT"}, errors);
    EXPECT_EQ(ReportRunResult(result, errors, dir_.string() + "/"), result);
    EXPECT_EQ(ClockSeconds(), 60.0);
    // A band of two rows in the bar's colour across the top, with ink on it, above the
    // untouched drawing.
    const std::uint8_t* screen = ScreenImage();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(ImageColourAt(screen, 2, 2), ColourFrom565(Rgb565(Settings().barColour)));
    int ink = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 640; ++x) ink += ImageColourAt(screen, x, y) == Colour{};
    }
    EXPECT_GT(ink, 200);
    EXPECT_EQ(ImageColourAt(screen, 320, 300), Colour{0xFFFFFF});
}

TEST_F(RunCycle, TheExportedEntryPointsResizeTheCallersLists) {
    ZirIntList codes{nullptr, 0};
    ZirIntList lines{static_cast<int32_t*>(std::malloc(5 * sizeof(int32_t))), 5};
    ZirStringList script{nullptr, 0};
    EXPECT_EQ(ZIR_INIT(), 0);
    ZIRS_RUNSCRIPT(&script, &codes, &lines);
    // An empty script has no END: one error, 36, reported for line 0.
    ASSERT_EQ(codes.count + lines.count, 2);
    EXPECT_EQ(codes.items[0] * 100 + lines.items[0], 3600);
    const fs::path dir = TestDir();
    std::ofstream(dir / "Zir-Fehler.txt") << "old\r\n";
    // A missing file reads as a script without lines: the old report gives way to a new one.
    EXPECT_EQ(ZIRS_RUNSCRIPTFILE((dir / "leer.zir").c_str(), &codes, &lines), -1);
    EXPECT_EQ(ReadFile(dir / "Zir-Fehler.txt").rfind("1 Fehler im 1.Durchgang.\r\n", 0), 0u);
    std::free(codes.items);
    std::free(lines.items);
}

}  // namespace
}  // namespace zir
