// STAND-IN until the message table and the error report exist; see messages_standin.h.
#include "driver/messages_standin.h"

#include <algorithm>

#include "platform/platform.h"

namespace zir {

void LoadMessageTablesStandIn() {}

std::string ErrorMessageStandIn(std::int32_t) {
    return "Es wurde eine ung\xFCltige Fehlermeldung erzeugt.";
}

void ErrorReportStandIn(const std::string& headline, const ErrorList& errors, const std::string&) {
    ConsoleWrite(headline);
    std::size_t count = std::min(errors.codes.size(), errors.lines.size());
    for (std::size_t i = 0; i < count; ++i) {
        ConsoleWrite("Fehler " + std::to_string(errors.codes[i] & 255) + " in Linie " +
                     std::to_string(errors.lines[i]));
    }
}

}  // namespace zir
