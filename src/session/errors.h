// Error messages and the error report: the German text of every error code word, and the
// report of a failed compile that is printed and stored in "Zir-Fehler.txt" beside the
// script. Every text here is Latin-1.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/errorcode.h"
#include "frontend/warnings.h"
#include "platform/picturescript.h"

namespace zir {

inline constexpr std::string_view ReportFileName = "Zir-Fehler.txt";
inline constexpr std::string_view ReportSavedText = "Fehlerbericht wurde gespeichert in ";
inline constexpr std::string_view EnterPromptText =
    "Dr\xFC"
    "cke die [Enter]-Taste, um weiterzufahren.";

// The message of a code word; only its bits 0 to 15 count. A number without a message, or a
// detail field that names no type or block, gives "Es wurde eine ungültige Fehlermeldung
// erzeugt.".
std::string ErrorMessage(std::int32_t code);

// The report's headline: the number of errors followed by " Fehler im 1.Durchgang." or, for
// pass 2, " Fehler im 2.Durchgang.".
std::string CompileErrorHeadline(int errorCount, int pass);

// The lines of the report: the headline, then for each error "Fehler N in Linie L" and
// eight blanks followed by its message.
std::vector<std::string> ErrorReportLines(std::string_view headline,
                                          std::span<const CompileError> errors);

// Writes the lines to a new file, each ending in CR LF. False when the file cannot be
// written.
bool WriteErrorReportFile(const std::string& path, std::span<const std::string> lines);

// The whole report of a failed compile: prints the report lines, writes them to reportPath
// (a file that cannot be created is passed over in silence), then prints
// "Fehlerbericht wurde gespeichert in " and the path.
void ReportCompileErrors(std::string_view headline, std::span<const CompileError> errors,
                         const std::string& reportPath,
                         const std::function<void(std::string_view)>& printLine);

// A warning as the command line prints it: "NAME:LINE: Warnung: TEXT".
std::string WarningLine(std::string_view name, const Warning& warning);

// Why a script file cannot be read, in German, from the errno value of the failed read:
// "Datei nicht gefunden", "ist ein Verzeichnis", "keine Leserechte", else "Lesefehler".
std::string_view UnreadableFileReason(int error);

// The one line that says a script cannot be read: "zirkula: PATH kann nicht gelesen werden: "
// and the reason: the read's errno, or, for a picture, why it gave no script.
std::string UnreadableScriptLine(std::string_view path, int error,
                                 const PictureScript& picture = {});

// The line printed for a run-time error: "Ausführungsfehler in der Subroutine ", the
// subroutine number (bits 16 to 31 of the run result), ": " and the message.
std::string RunTimeErrorLine(std::int32_t runResult);

}  // namespace zir
