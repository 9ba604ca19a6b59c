#include "session/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "frontend/compiler.h"
#include "zirkula.h"

namespace zir {
namespace {

// The Latin-1 bytes of a UTF-8 text written in this file, so that expected messages can be
// typed as they read and are checked against the program's own Latin-1 literals.
std::string Latin1(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            auto next = static_cast<unsigned char>(utf8[++i]);
            out += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
        }
    }
    return out;
}

TEST(ErrorMessages, PlainMessagesReadExactly) {
    const std::pair<int, const char*> table[] = {
        {11, "Zu viele Argumente"},
        {12, "Zu wenige Argumente"},
        {13, "Syntaxfehler: kein Schlüsselwort in der Linie."},
        {20, "Verschachtelte Subroutinen."},
        {21, "Interner Parserfehler: 2.Durchgang fand anderen Befehl/Index als 1.Durchgang."},
        {22, "Keine Entsprechung gefunden für Subroutinen-Namen in CALL."},
        {23,
         "Interner Parserfehler: 2.Durchgang fand andere Zahl von Parametern für "
         "CONSTRUCTION."},
        {24, "Error interno del intérprete: (otro)"},
        {26, "Name der Subroutine existiert bereits"},
        {27, "Falscher Subroutinen-Typ nach CONSTRUCT / ANIMATE / INTERACT."},
        {30, "Zuviele Parameter für CONSTRUCTION (>12), CLICKABLE (>14) oder TRACE (>14)"},
        {32, "MENU ohne ENDMENU"},
        {33, "Zuviele MENUITEMs"},
        {34, "MENUITEM / EXITMENU / ENDMENU / REPEATMENU ohne MENU"},
        {36, "Kein END im Hauptprogramm."},
    };
    for (auto [number, text] : table) EXPECT_EQ(ErrorMessage(number), Latin1(text)) << number;
}

TEST(ErrorMessages, TypeMismatchNamesBothTypesWithTwoBlanksBeforeTheSecond) {
    EXPECT_EQ(ErrorMessage(ErrorCode(10, 1, 2)),
              Latin1("Typen stimmen nicht überein: Zuerst definiert als Punkt, jetzt benutzt "
                     "als  Gerade"));
    EXPECT_EQ(ErrorMessage(ErrorCode(10, 8, 3)),
              Latin1("Typen stimmen nicht überein: Zuerst definiert als Text, jetzt benutzt als "
                     " Kreis"));
    EXPECT_EQ(ErrorMessage(ErrorCode(10, 9, 5)),
              Latin1("Typen stimmen nicht überein: Zuerst definiert als Schlüsselwort, jetzt "
                     "benutzt als  Direkte Zahl"));
    EXPECT_EQ(ErrorMessage(ErrorCode(10, 0, 7)),
              Latin1("Typen stimmen nicht überein: Zuerst definiert als Keiner, jetzt benutzt "
                     "als  Subroutine"));
}

TEST(ErrorMessages, ComposedMessagesShowTheirDetailFields) {
    EXPECT_EQ(ErrorMessage(ErrorCode(14, 4)),
              Latin1("Error de síntaxis en el argumento 5: Schlüsselwort als Argument"));
    EXPECT_EQ(ErrorMessage(ErrorCode(15, 1)),
              Latin1("Error de síntaxis en el argumento 2: Nombre de argumento inválido"));
    EXPECT_EQ(ErrorMessage(ErrorCode(16, 0)), Latin1("Error de síntaxis en el argumento 1"));
    EXPECT_EQ(ErrorMessage(ErrorCode(16, 3)), Latin1("Error de síntaxis en el argumento 4"));
    EXPECT_EQ(ErrorMessage(ErrorCode(28, 3)),
              "Falsche Anzahl von Parametern in CALL - erwartet waren 3");
    EXPECT_EQ(ErrorMessage(ErrorCode(29, 0, 1)),
              Latin1("Typen stimmen nicht überein in CALL, Parameter 1: Erwartet war Punkt"));
    EXPECT_EQ(ErrorMessage(ErrorCode(29, 11, 3)),
              Latin1("Typen stimmen nicht überein in CALL, Parameter 12: Erwartet war Kreis"));
    EXPECT_EQ(ErrorMessage(ErrorCode(31, 0)), Latin1("Ungültiger Befehl in Hauptprogramm."));
    EXPECT_EQ(ErrorMessage(ErrorCode(31, 1)), Latin1("Ungültiger Befehl in CONSTRUCTION."));
    EXPECT_EQ(ErrorMessage(ErrorCode(31, 2)), Latin1("Ungültiger Befehl in INTERACTION."));
    EXPECT_EQ(ErrorMessage(ErrorCode(31, 3)), Latin1("Ungültiger Befehl in ANIMATION."));
}

TEST(ErrorMessages, NumbersWithoutAMessageAndDetailsNamingNothingAreInvalid) {
    const std::string invalid = Latin1("Es wurde eine ungültige Fehlermeldung erzeugt.");
    for (int number : {0, 1, 5, 9, 17, 18, 19, 25, 35, 38, 100, 129, 255}) {
        EXPECT_EQ(ErrorMessage(number), invalid) << number;
    }
    EXPECT_EQ(ErrorMessage(ErrorCode(10, 12, 1)), invalid);
    EXPECT_EQ(ErrorMessage(ErrorCode(10, 1, 10)), invalid);
    EXPECT_EQ(ErrorMessage(ErrorCode(29, 0, 15)), invalid);
    EXPECT_EQ(ErrorMessage(ErrorCode(31, 4)), invalid);
}

TEST(ErrorMessages, OnlyTheLowSixteenBitsCount) {
    EXPECT_EQ(ErrorMessage((5 << 16) | ErrorCode(10, 1, 2)), ErrorMessage(ErrorCode(10, 1, 2)));
    EXPECT_EQ(ErrorMessage(-65536 + 36), ErrorMessage(36));
}

TEST(ErrorMessages, ExportedCopyIsANewString) {
    std::int32_t code = ErrorCode(14, 4);
    char* text = ZIRS_ERRORMSG(&code);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), ErrorMessage(code));
    std::free(text);
}

TEST(DriverTexts, HeadlinesRunTimeLineAndPrompt) {
    EXPECT_EQ(CompileErrorHeadline(2, 1), "2 Fehler im 1.Durchgang.");
    EXPECT_EQ(CompileErrorHeadline(1, 2), "1 Fehler im 2.Durchgang.");
    EXPECT_EQ(RunTimeErrorLine((3 << 16) | 32),
              Latin1("Ausführungsfehler in der Subroutine 3: MENU ohne ENDMENU"));
    EXPECT_EQ(RunTimeErrorLine((1 << 16) | 37),
              Latin1("Ausführungsfehler in der Subroutine 1: Subroutinen-Aufrufe zu tief "
                     "verschachtelt."));
    EXPECT_EQ(RunTimeErrorLine(129),
              Latin1("Ausführungsfehler in der Subroutine 0: Es wurde eine ungültige "
                     "Fehlermeldung erzeugt."));
    EXPECT_EQ(EnterPromptText, Latin1("Drücke die [Enter]-Taste, um weiterzufahren."));
    EXPECT_EQ(ReportFileName, "Zir-Fehler.txt");
}

std::filesystem::path OutputDir() {
    std::filesystem::path dir = std::filesystem::path(ZIR_TEST_OUTPUT_DIR) / "errors";
    std::filesystem::create_directories(dir);
    return dir;
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ErrorReport, TwoErrorsOfPass1GiveAFiveLineReport) {
    // Errors on lines 3 and 7, found by the compiler itself.
    std::vector<std::string> script = {"POINT A 1 2", "",   "POINT B", "' note", "", "",
                                       "REVERT A",    "END"};
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
    ASSERT_EQ(ParseScript(script, table, errors, names), FailedInPass1);

    std::string path = (OutputDir() / "Zir-Fehler.txt").string();
    std::filesystem::remove(path);
    std::vector<std::string> printed;
    ReportCompileErrors(CompileErrorHeadline(static_cast<int>(errors.size()), 1), errors, path,
                        [&](std::string_view line) { printed.emplace_back(line); });

    std::vector<std::string> report = {
        "2 Fehler im 1.Durchgang.",
        "Fehler 12 in Linie 3",
        "        Zu wenige Argumente",
        "Fehler 10 in Linie 7",
        "        " + ErrorMessage(ErrorCode(10, 1, 2)),
    };
    std::vector<std::string> expectedPrint = report;
    expectedPrint.push_back("Fehlerbericht wurde gespeichert in " + path);
    EXPECT_EQ(printed, expectedPrint);

    std::string bytes;
    for (const std::string& line : report) bytes += line + "\r\n";
    EXPECT_EQ(FileBytes(path), bytes);
}

TEST(ErrorReport, MissingEndIsReportedAtLineZero) {
    std::vector<std::string> lines =
        ErrorReportLines(CompileErrorHeadline(1, 1), std::vector<CompileError>{{36, 0}});
    EXPECT_EQ(lines, (std::vector<std::string>{"1 Fehler im 1.Durchgang.", "Fehler 36 in Linie 0",
                                               "        Kein END im Hauptprogramm."}));
}

TEST(ErrorReport, FileThatCannotBeCreatedIsPassedOverButStillNamed) {
    std::string path = (OutputDir() / "no such dir" / "Zir-Fehler.txt").string();
    std::vector<std::string> printed;
    std::vector<CompileError> errors = {{ErrorCode(11), 4}};
    ReportCompileErrors("1 Fehler im 2.Durchgang.", errors, path,
                        [&](std::string_view line) { printed.emplace_back(line); });
    ASSERT_EQ(printed.size(), 4u);
    EXPECT_EQ(printed[3], "Fehlerbericht wurde gespeichert in " + path);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(WriteErrorReportFile(path, printed));
}

TEST(ErrorReport, ReportReplacesAnOlderLongerFile) {
    std::string path = (OutputDir() / "older.txt").string();
    std::vector<std::string> longer(10, "old old old");
    ASSERT_TRUE(WriteErrorReportFile(path, longer));
    std::vector<std::string> shorter = {"x"};
    ASSERT_TRUE(WriteErrorReportFile(path, shorter));
    EXPECT_EQ(FileBytes(path), "x\r\n");
}

// The reason comes from the errno of the failed read; root reads files without read
// permission, so that reason is checked here rather than by a real file.
TEST(UnreadableScript, EachReadFailureNamesItsReason) {
    const std::pair<int, const char*> table[] = {
        {ENOENT, "Datei nicht gefunden"}, {ENOTDIR, "Datei nicht gefunden"},
        {EISDIR, "ist ein Verzeichnis"},  {EACCES, "keine Leserechte"},
        {EPERM, "keine Leserechte"},      {EIO, "Lesefehler"},
    };
    for (auto [error, reason] : table) EXPECT_EQ(UnreadableFileReason(error), reason) << error;
    EXPECT_EQ(UnreadableScriptLine("kurs/nichtda.zir", ENOENT),
              "zirkula: kurs/nichtda.zir kann nicht gelesen werden: Datei nicht gefunden");
}

}  // namespace
}  // namespace zir
