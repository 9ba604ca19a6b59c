// The run cycle: paths, reading scripts, the report file, the printed lines and the prompt,
// the logo wait and the exported entry points.
#include "session/runcycle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "frontend/compiler.h"
#include "platform/platform.h"
#include "runtime/runstate.h"
#include "session/windowconsole.h"
#include "zirkula.h"

namespace zir {
namespace {

namespace fs = std::filesystem;

fs::path TestDir(const std::string& name) {
    fs::path dir = fs::path(ZIR_TEST_OUTPUT_DIR) / "runcycle" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The console reads from /dev/null unless a test gives it other input, so that the Enter
// prompt after a failed compile returns at once.
void StartHeadless(const std::string& input = "", int consoleIn = -1, int consoleOut = 1) {
    static const int noInput = ::open("/dev/null", O_RDONLY);
    if (consoleIn < 0) consoleIn = noInput;
    PlatformOptions options;
    options.backend = BackendKind::Headless;
    options.consoleInFd = consoleIn;
    options.consoleOutFd = consoleOut;
    if (!input.empty()) {
        // One file per test: ctest runs tests side by side.
        options.inputPath = std::string(ZIR_TEST_OUTPUT_DIR) + "/" +
                            ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                            ".input";
        WriteFile(options.inputPath, input);
    }
    std::string message;
    ASSERT_EQ(PlatformStart(options, message), PlatformError::None) << message;
}

TEST(SplitPath, TheDirectoryEndsAtTheLastSlashOrBackslash) {
    auto check = [](std::string_view path, std::string_view dir, std::string_view file) {
        PathParts parts = SplitPath(path);
        EXPECT_EQ(parts.directory, dir) << path;
        EXPECT_EQ(parts.fileName, file) << path;
    };
    check("dreieck.zir", "", "dreieck.zir");
    check("/dreieck.zir", "", "/dreieck.zir");
    check("\\dreieck.zir", "", "\\dreieck.zir");
    check("kurs/geo/dreieck.zir", "kurs/geo/", "dreieck.zir");
    check("C:\\Kurs\\dreieck.zir", "C:\\Kurs\\", "dreieck.zir");
    check("kurs/geo\\dreieck.zir", "kurs/geo\\", "dreieck.zir");
    check("/home/a\\b/c.zir", "/home/a\\b/", "c.zir");
    check("kurs/", "kurs/", "");
    check("", "", "");
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

TEST(ReadScriptLines, A2500LineFileIsReadWhole) {
    fs::path path = TestDir("long") / "long.zir";
    std::string text;
    for (int i = 0; i < 2500; ++i) text += "POINT P" + std::to_string(i) + " 1 2\n";
    WriteFile(path, text);
    std::vector<std::string> lines = ReadScriptLines(path.string());
    ASSERT_EQ(lines.size(), 2500u);
    EXPECT_EQ(lines[0], "POINT P0 1 2");
    EXPECT_EQ(lines[1023], "POINT P1023 1 2");
    EXPECT_EQ(lines[1024], "POINT P1024 1 2");
    EXPECT_EQ(lines[2048], "POINT P2048 1 2");
    EXPECT_EQ(lines[2499], "POINT P2499 1 2");
}

TEST(ReadScriptLines, LineEndsMarksAndEncodingsAreHandled) {
    fs::path dir = TestDir("encodings");
    WriteFile(dir / "crlf.zir", "POINT A 1 2\r\n\r\nEND");
    EXPECT_EQ(ReadScriptLines((dir / "crlf.zir").string()),
              (std::vector<std::string>{"POINT A 1 2", "", "END"}));
    // UTF-8 with a byte-order mark: the mark goes, the umlauts become Windows-1252.
    WriteFile(dir / "utf8.zir", "\xEF\xBB\xBFTEXT \"Gr\u00FC\u00DF \u20AC \u03B1\"\n");
    EXPECT_EQ(ReadScriptLines((dir / "utf8.zir").string()),
              (std::vector<std::string>{"TEXT \"Gr\xFC\xDF \x80 ?\""}));
    // A Latin-1 file is taken byte for byte.
    WriteFile(dir / "latin1.zir", "TEXT \"Gr\xFC\xDF\"\nEND\n");
    EXPECT_EQ(ReadScriptLines((dir / "latin1.zir").string()),
              (std::vector<std::string>{"TEXT \"Gr\xFC\xDF\"", "END"}));
    EXPECT_TRUE(ReadScriptLines((dir / "missing.zir").string()).empty());
    EXPECT_TRUE(ReadScriptLines(dir.string()).empty()) << "a directory reads as no lines";
}

// A file of plain ASCII or of bytes that are not UTF-8 is used where the system maps it; the
// ends of such a file must cut the lines exactly as a copy would.
TEST(ReadScriptLines, MappedFilesEndTheirLinesAsCopiesDo) {
    fs::path dir = TestDir("mapped");
    auto read = [&dir](const std::string& name, const std::string& bytes) {
        WriteFile(dir / name, bytes);
        return ReadScriptLines((dir / name).string());
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(read("empty.zir", ""), Lines{});
    EXPECT_EQ(read("newline.zir", "\n"), Lines{""});
    EXPECT_EQ(read("unended.zir", "POINT A 1 2\nEND"), (Lines{"POINT A 1 2", "END"}));
    EXPECT_EQ(read("blank.zir", "END\n\n\n"), (Lines{"END", "", ""}));
    EXPECT_EQ(read("return.zir", "END\r"), Lines{"END"});
    EXPECT_EQ(read("returns.zir", "A\r\r\nB\rC\n"), (Lines{"A\r", "B\rC"}));
    EXPECT_EQ(read("mark.zir", "\xEF\xBB\xBFPOINT A 1 2\r\nEND\r\n"),
              (Lines{"POINT A 1 2", "END"}));
    EXPECT_EQ(read("onlymark.zir", "\xEF\xBB\xBF"), Lines{});
    EXPECT_EQ(read("latin1.zir", "\xEF\xBB\xBFTEXT \"\xFC\"\nEND"),
              (Lines{"TEXT \"\xFC\"", "END"}));
    // Not a regular file, or one that reports no size: read, not mapped.
    EXPECT_FALSE(ReadScriptLines("/proc/self/status").empty());
}

// A file read for a run is compiled from its text as it lies, without a list of its lines:
// the error lines must count every line, blank or ended by "\r\n".
TEST(ReadScript, ItsTextCompilesAsItsLinesDo) {
    fs::path dir = TestDir("text");
    const std::string text =
        "POINT A 1 2\r\n\r\nREVERT\n  \nEND\nCONSTRUCTION S P\nMARKPOINT\nREPEAT";
    WriteFile(dir / "errors.zir", text);
    ScriptText script;
    ReadScript((dir / "errors.zir").string(), script);
    InstructionTable fromText, fromLines;
    NameTable namesFromText, namesFromLines;
    std::vector<CompileError> errorsFromText, errorsFromLines;
    const std::vector<std::string> lines = ReadScriptLines((dir / "errors.zir").string());
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(
        ParseScript(ScriptLines::OfText(script.text), fromText, errorsFromText, namesFromText),
        FailedInPass1);
    EXPECT_EQ(ParseScript(std::span<const std::string>(lines), fromLines, errorsFromLines,
                          namesFromLines),
              FailedInPass1);
    ASSERT_EQ(errorsFromText.size(), 2u);
    EXPECT_EQ(errorsFromText[0].line, 3);
    EXPECT_EQ(errorsFromText[1].line, 7);
    ASSERT_EQ(errorsFromLines.size(), 2u);
    EXPECT_EQ(errorsFromLines[0].line, 3);
    EXPECT_EQ(errorsFromLines[1].line, 7);
}

class RunCycle : public ::testing::Test {
  protected:
    void SetUp() override { StartHeadless(); }
    void TearDown() override { StartHeadless(); }
};

TEST_F(RunCycle, ARunDeletesTheOldReportBesideTheScript) {
    fs::path dir = TestDir("report");
    fs::path script = dir / "dreieck.zir";
    WriteFile(script, "END\n");
    WriteFile(dir / "Zir-Fehler.txt", "2 Fehler im 1.Durchgang.\r\n");
    ErrorList errors;
    EXPECT_EQ(RunScriptFile(script.string(), errors), 0);
    EXPECT_FALSE(fs::exists(dir / "Zir-Fehler.txt"));
}

TEST_F(RunCycle, TheClosingLogoWaitsTwoSecondsOrUntilAKeyWhichIsThenDiscarded) {
    ErrorList errors;
    EXPECT_EQ(RunScript({"END"}, errors), 255);
    EXPECT_EQ(ClockSeconds(), 2.0);

    StartHeadless("300 key x\n300 key y\n");
    RunScript({"END"}, errors);
    EXPECT_GE(ClockSeconds(), 0.3);
    EXPECT_LT(ClockSeconds(), 0.31);
    EXPECT_EQ(PollKey(), "");
}

TEST_F(RunCycle, AClosedWindowEndsTheRunWithoutTheLogo) {
    // Closed during the first point's pause: the rest of the script does not run.
    StartHeadless("3000 close\n");
    ErrorList errors;
    EXPECT_EQ(RunScript({"POINT A 1 2", "POINT B 3 4", "END"}, errors), 0);
    EXPECT_EQ(ClockSeconds(), 3.0);
}

TEST_F(RunCycle, EveryRunStartsFromTheDefaultSettings) {
    Settings().stepWait = 500;
    Settings().backgroundColour = Colour{};
    EXPECT_EQ(ZirInit(), 0);
    EXPECT_EQ(Settings().stepWait, 2000);
    EXPECT_EQ(Settings().backgroundColour, Colour{0xFFFFFF});
}

TEST_F(RunCycle, TheDumpIsWrittenWhenTheRunEnds) {
    fs::path dump = TestDir("dump") / "run.json";
    ErrorList errors;
    RunScript({"END"}, errors, {"", dump.string()});
    std::string json = ReadFile(dump);
    EXPECT_NE(json.find("\"screen\": null,\n  \"time_ms\": 0\n"), std::string::npos) << json;
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
        dir_ = TestDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        WriteFile(dir_ / "Zir-Fehler.txt", "old\r\n");
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

TEST_F(RunReport, ARunTimeErrorNamesTheSubroutineAndPromptsForEnter) {
    ErrorList errors;
    std::int32_t result = 3 << 16 | 32;
    EXPECT_EQ(ReportRunResult(result, errors, dir_.string() + "/"), result);
    std::string printed = Printed();
    EXPECT_EQ(printed.rfind("Ausf\u00FChrungsfehler in der Subroutine 3: ", 0), 0u) << printed;
    EXPECT_NE(printed.find("\nDr\u00FC"
                           "cke die [Enter]-Taste, um weiterzufahren.\n"),
              std::string::npos)
        << printed;
    EXPECT_FALSE(fs::exists(dir_ / "Zir-Fehler.txt")) << "the old report goes after any run";
}

TEST_F(RunReport, WithAWindowOpenTheLinesShowInItAndEnterThereAnswersThePrompt) {
    // The console's input has ended, as for a program started from the desktop: only Enter
    // in the window answers, here at 60 seconds.
    StartHeadless("50000 key x\n60000 key Enter\n", in_, out_[1]);
    ErrorList errors;
    const std::int32_t result = RunScript(
        {"CONSTRUCT Ewig FAST", "END", "CONSTRUCTION Ewig", "CONSTRUCT Ewig", "REPEAT"}, errors);
    ASSERT_EQ(result, 1 << 16 | 37);
    EXPECT_EQ(ReportRunResult(result, errors, dir_.string() + "/"), result);
    EXPECT_EQ(ClockSeconds(), 60.0);
    EXPECT_NE(Printed().find("Subroutinen-Aufrufe zu tief verschachtelt."), std::string::npos);
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

TEST_F(RunReport, AFailedCompileIsPrintedAndWrittenBesideTheScriptThenPrompts) {
    ErrorList errors;
    errors.codes = {13, 36};
    errors.lines = {3, 0};
    std::string directory = dir_.string() + "/";
    EXPECT_EQ(ReportRunResult(-1, errors, directory), -1);
    std::string report =
        "2 Fehler im 1.Durchgang.\r\n"
        "Fehler 13 in Linie 3\r\n"
        "        Syntaxfehler: kein Schl\xFCsselwort in der Linie.\r\n"
        "Fehler 36 in Linie 0\r\n"
        "        Kein END im Hauptprogramm.\r\n";
    EXPECT_EQ(ReadFile(dir_ / "Zir-Fehler.txt"), report);
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

TEST_F(RunReport, ANormalEndPrintsNothingAndReturnsZero) {
    ErrorList errors;
    EXPECT_EQ(ReportRunResult(255, errors, dir_.string() + "/"), 0);
    EXPECT_EQ(ReportRunResult(0, errors, dir_.string() + "/"), 0);
    EXPECT_EQ(Printed(), "");
    EXPECT_FALSE(fs::exists(dir_ / "Zir-Fehler.txt"));
}

TEST_F(RunCycle, TheExportedEntryPointsResizeTheCallersLists) {
    ZirIntList codes{nullptr, 0};
    ZirIntList lines{static_cast<int32_t*>(std::malloc(5 * sizeof(int32_t))), 5};
    ZirStringList script{nullptr, 0};
    EXPECT_EQ(ZIR_INIT(), 0);
    ZIRS_RUNSCRIPT(&script, &codes, &lines);
    // An empty script has no END: one error, 36, reported for line 0.
    ASSERT_EQ(codes.count, 1);
    ASSERT_EQ(lines.count, 1);
    ASSERT_NE(codes.items, nullptr);
    EXPECT_EQ(codes.items[0], 36);
    EXPECT_EQ(lines.items[0], 0);

    fs::path dir = TestDir("exported");
    WriteFile(dir / "Zir-Fehler.txt", "old\r\n");
    std::string path = (dir / "leer.zir").string();
    // A missing file reads as a script without lines: the old report gives way to a new one.
    EXPECT_EQ(ZIRS_RUNSCRIPTFILE(path.c_str(), &codes, &lines), -1);
    EXPECT_EQ(ReadFile(dir / "Zir-Fehler.txt").rfind("1 Fehler im 1.Durchgang.\r\n", 0), 0u);
    std::free(codes.items);
    std::free(lines.items);
}

}  // namespace
}  // namespace zir
