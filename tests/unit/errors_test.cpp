// The texts of the report: every error number (with its detail fields) and the message it
// reads as, the run-time line, and why a script could not be read. How the report is
// printed and written beside the script is checked from outside, by cli_test.py.
#include "session/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace zir {
namespace {

// The Latin-1 bytes of a UTF-8 text written in this file, so that expected messages can be
// typed as they read and are checked against the program's own Latin-1 literals.
std::string Latin1(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        out += c < 0x80 ? static_cast<char>(c)
                        : static_cast<char>(((c & 0x03) << 6) | (utf8[++i] & 0x3F));
    }
    return out;
}

TEST(ErrorMessages, EachNumberAndItsDetailsReadAsTheirMessage) {
    const std::string invalid = "Es wurde eine ungültige Fehlermeldung erzeugt.";
    const std::string mismatch = "Typen stimmen nicht überein: Zuerst definiert als ";
    const std::pair<std::int32_t, std::string> table[] = {
        {11, "Zu viele Argumente"},
        {12, "Zu wenige Argumente"},
        {13, "Syntaxfehler: kein Schlüsselwort in der Linie."},
        {20, "Verschachtelte Subroutinen."},
        {22, "Keine Entsprechung gefunden für Subroutinen-Namen in CALL."},
        {24, "Error interno del intérprete: (otro)"},
        {26, "Name der Subroutine existiert bereits"},
        {27, "Falscher Subroutinen-Typ nach CONSTRUCT / ANIMATE / INTERACT."},
        {30, "Zuviele Parameter für CONSTRUCTION (>12), CLICKABLE (>14) oder TRACE (>14)"},
        {32, "MENU ohne ENDMENU"},
        {33, "Zuviele MENUITEMs"},
        {34, "MENUITEM / EXITMENU / ENDMENU / REPEATMENU ohne MENU"},
        {36, "Kein END im Hauptprogramm."},
        {37, "Subroutinen-Aufrufe zu tief verschachtelt."},
        // The type mismatch names both types, with two blanks before the second.
        {ErrorCode(10, 1, 2), mismatch + "Punkt, jetzt benutzt als  Gerade"},
        {ErrorCode(10, 9, 5), mismatch + "Schlüsselwort, jetzt benutzt als  Direkte Zahl"},
        {ErrorCode(10, 0, 7), mismatch + "Keiner, jetzt benutzt als  Subroutine"},
        {ErrorCode(14, 4), "Error de síntaxis en el argumento 5: Schlüsselwort als Argument"},
        {ErrorCode(15, 1), "Error de síntaxis en el argumento 2: Nombre de argumento inválido"},
        {ErrorCode(16, 0), "Error de síntaxis en el argumento 1"},
        {ErrorCode(28, 3), "Falsche Anzahl von Parametern in CALL - erwartet waren 3"},
        {ErrorCode(29, 0, 1),
         "Typen stimmen nicht überein in CALL, Parameter 1: Erwartet war Punkt"},
        {ErrorCode(29, 11, 3),
         "Typen stimmen nicht überein in CALL, Parameter 12: Erwartet war Kreis"},
        {ErrorCode(31, 0), "Ungültiger Befehl in Hauptprogramm."},
        {ErrorCode(31, 3), "Ungültiger Befehl in ANIMATION."},
        // Only the low sixteen bits count.
        {(5 << 16) | ErrorCode(28, 3), "Falsche Anzahl von Parametern in CALL - erwartet waren 3"},
        {-65536 + 36, "Kein END im Hauptprogramm."},
    };
    // Numbers without a message, and details that name nothing.
    for (std::int32_t code :
         {0, 1, 5, 9, 17, 18, 19, 25, 35, 38, 100, 129, 255, ErrorCode(10, 12, 1),
          ErrorCode(10, 1, 10), ErrorCode(29, 0, 15), ErrorCode(31, 4)}) {
        EXPECT_EQ(ErrorMessage(code), Latin1(invalid)) << code;
    }
    for (const auto& [code, text] : table) {
        EXPECT_EQ(ErrorMessage(code), Latin1(text)) << code;
        // A run-time error names the subroutine it happened in, from the high bits.
        EXPECT_EQ(RunTimeErrorLine((code & 0xFFFF) | 3 << 16),
                  Latin1("Ausführungsfehler in der Subroutine 3: " + text))
            << code;
    }
}

// The reason comes from the errno of the failed read; root reads files without read
// permission, so that reason is checked here rather than by a real file.
TEST(ErrorMessages, EachReadFailureNamesItsReason) {
    const std::pair<int, const char*> table[] = {
        {ENOENT, "Datei nicht gefunden"}, {ENOTDIR, "Datei nicht gefunden"},
        {EISDIR, "ist ein Verzeichnis"},  {EACCES, "keine Leserechte"},
        {EPERM, "keine Leserechte"},      {EIO, "Lesefehler"},
    };
    for (auto [error, reason] : table) {
        EXPECT_EQ(UnreadableScriptLine("kurs/nichtda.zir", error),
                  std::string("zirkula: kurs/nichtda.zir kann nicht gelesen werden: ") + reason);
    }
}

}  // namespace
}  // namespace zir
