#include "session/errors.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>

#include "frontend/symbols.h"

namespace zir {

namespace {

// The message table: whole messages under their numbers, and in the free entries the
// fragments that the composed messages and the driver use.
constexpr std::string_view Messages[38] = {
    "",
    ", jetzt benutzt als  ",
    "Error de s\xEDntaxis en el argumento ",
    ": Erwartet war ",
    "Hauptprogramm.",
    "Es wurde eine ung\xFCltige Fehlermeldung erzeugt.",
    "Zir-Fehler.txt",
    " Fehler im 1.Durchgang.",
    " Fehler im 2.Durchgang.",
    "Ausf\xFChrungsfehler in der Subroutine ",
    "Typen stimmen nicht \xFC"
    "berein: Zuerst definiert als ",
    "Zu viele Argumente",
    "Zu wenige Argumente",
    "Syntaxfehler: kein Schl\xFCsselwort in der Linie.",
    ": Schl\xFCsselwort als Argument",
    ": Nombre de argumento inv\xE1lido",
    "",
    "",
    "",
    "",
    "Verschachtelte Subroutinen.",
    "Interner Parserfehler: 2.Durchgang fand anderen Befehl/Index als 1.Durchgang.",
    "Keine Entsprechung gefunden f\xFCr Subroutinen-Namen in CALL.",
    "Interner Parserfehler: 2.Durchgang fand andere Zahl von Parametern f\xFCr CONSTRUCTION.",
    "Error interno del int\xE9rprete: (otro)",
    "",
    "Name der Subroutine existiert bereits",
    "Falscher Subroutinen-Typ nach CONSTRUCT / ANIMATE / INTERACT.",
    "Falsche Anzahl von Parametern in CALL - erwartet waren ",
    "Typen stimmen nicht \xFC"
    "berein in CALL, Parameter ",
    "Zuviele Parameter f\xFCr CONSTRUCTION (>12), CLICKABLE (>14) oder TRACE (>14)",
    "Ung\xFCltiger Befehl in ",
    "MENU ohne ENDMENU",
    "Zuviele MENUITEMs",
    "MENUITEM / EXITMENU / ENDMENU / REPEATMENU ohne MENU",
    "",
    "Kein END im Hauptprogramm.",
    "Subroutinen-Aufrufe zu tief verschachtelt.",
};

constexpr int InvalidMessage = 5;
constexpr int HeadlinePass1 = 7;
constexpr int HeadlinePass2 = 8;
constexpr int RunTimeErrorText = 9;
constexpr int FirstPartTypeMismatch = 1;
constexpr int SyntaxInArgument = 2;
constexpr int ExpectedWas = 3;
constexpr int MainProgram = 4;

bool IsTypeName(int type) {
    return type >= TypeNone && type <= TypeKeyword;
}

std::string Invalid() {
    return std::string(Messages[InvalidMessage]);
}

std::string BlockName(int kind) {
    static constexpr std::string_view Names[] = {"", "CONSTRUCTION.", "INTERACTION.", "ANIMATION."};
    return std::string(kind == 0 ? Messages[MainProgram] : Names[kind]);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string ErrorMessage(std::int32_t code) {
    int number = ErrorMessageNumber(code);
    int d1 = ErrorDetail1(code);
    int d2 = ErrorDetail2(code);
    std::string text(number < static_cast<int>(std::size(Messages)) ? Messages[number]
                                                                    : std::string_view{});
    switch (number) {
        case MsgTypeMismatch:
            if (!IsTypeName(d1) || !IsTypeName(d2)) return Invalid();
            return text.append(TypeName(d1))
                .append(Messages[FirstPartTypeMismatch])
                .append(TypeName(d2));
        case MsgTooManyArguments:
        case MsgTooFewArguments:
        case MsgNoKeyword:
        case MsgNestedSubroutines:
        case MsgPassMismatch:
        case MsgNoSubroutineForName:
        case MsgParameterCountMismatch:
        case MsgInternal:
        case MsgSubroutineExists:
        case MsgWrongSubroutineKind:
        case MsgTooManyParameters:
        case MsgMenuWithoutEnd:
        case MsgTooManyMenuItems:
        case MsgMenuEntryWithoutMenu:
        case MsgNoEnd:
        case MsgCallsNestedTooDeeply:
            return text;
        case MsgKeywordAsArgument:
        case MsgInvalidArgumentName:
            return std::string(Messages[SyntaxInArgument])
                .append(std::to_string(d1 + 1))
                .append(Messages[number]);
        case MsgSyntaxInArgument:
            return std::string(Messages[SyntaxInArgument]).append(std::to_string(d1 + 1));
        case MsgCallArgumentCount:
            return text.append(std::to_string(d1));
        case MsgCallArgumentType:
            if (!IsTypeName(d2)) return Invalid();
            return text.append(std::to_string(d1 + 1))
                .append(Messages[ExpectedWas])
                .append(TypeName(d2));
        case MsgInvalidStatementInBlock:
            if (d1 > 3) return Invalid();
            return text.append(BlockName(d1));
        default:
            return Invalid();
    }
}

std::string CompileErrorHeadline(int errorCount, int pass) {
    return std::to_string(errorCount).append(Messages[pass == 2 ? HeadlinePass2 : HeadlinePass1]);
}

std::vector<std::string> ErrorReportLines(std::string_view headline,
                                          std::span<const CompileError> errors) {
    std::vector<std::string> lines;
    lines.reserve(1 + 2 * errors.size());
    lines.emplace_back(headline);
    for (const CompileError& e : errors) {
        lines.push_back("Fehler " + std::to_string(ErrorMessageNumber(e.code)) + " in Linie " +
                        std::to_string(e.line));
        lines.push_back("        " + ErrorMessage(e.code));
    }
    return lines;
}

bool WriteErrorReportFile(const std::string& path, std::span<const std::string> lines) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    bool ok = true;
    for (const std::string& line : lines) {
        ok = ok && std::fwrite(line.data(), 1, line.size(), file.get()) == line.size() &&
             std::fwrite("\r\n", 1, 2, file.get()) == 2;
    }
    return std::fclose(file.release()) == 0 && ok;
}

void ReportCompileErrors(std::string_view headline, std::span<const CompileError> errors,
                         const std::string& reportPath,
                         const std::function<void(std::string_view)>& printLine) {
    std::vector<std::string> lines = ErrorReportLines(headline, errors);
    for (const std::string& line : lines) printLine(line);
    WriteErrorReportFile(reportPath, lines);
    printLine(std::string(ReportSavedText).append(reportPath));
}

std::string RunTimeErrorLine(std::int32_t runResult) {
    return std::string(Messages[RunTimeErrorText])
        .append(std::to_string(runResult >> 16))
        .append(": ")
        .append(ErrorMessage(runResult & 0xFFFF));
}

std::string WarningLine(std::string_view name, const Warning& warning) {
    return std::string(name) + ":" + std::to_string(warning.line) + ": Warnung: " + warning.text;
}

std::string_view UnreadableFileReason(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:  // a directory part of the path is a file
            return "Datei nicht gefunden";
        case EISDIR:
            return "ist ein Verzeichnis";
        case EACCES:
        case EPERM:
            return "keine Leserechte";
        default:
            return "Lesefehler";
    }
}

std::string UnreadableScriptLine(std::string_view path, int error, const PictureScript& picture) {
    std::string reason;
    switch (picture.status) {
        case PictureScriptStatus::Missing:
            reason = "das Bild enthält kein Zirkula-Skript";
            break;
        case PictureScriptStatus::NewerFormat:
            reason = "das Skript im Bild hat das Format " + std::to_string(picture.version) +
                     ", diese Zirkula-Version kennt nur Format " +
                     std::to_string(PictureScriptFormat) + "; bitte Zirkula aktualisieren";
            break;
        case PictureScriptStatus::Damaged:
            reason = "das Bild ist beschädigt, sein Zirkula-Skript kann nicht gelesen werden";
            break;
        default:
            reason = UnreadableFileReason(error);
    }
    return "zirkula: " + std::string(path) + " kann nicht gelesen werden: " + reason;
}

}  // namespace zir
