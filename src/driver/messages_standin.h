// STAND-IN until the message table and the error report exist: every code word reads as
// the message for an unknown number, and the report is only printed in short. The issue
// that builds src/driver/errors deletes this file pair and replaces the calls in
// runcycle.cpp and dump.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "driver/errorlist.h"

namespace zir {

void LoadMessageTablesStandIn();
// The message text (Latin-1) of a code word; bits 16 to 31 are ignored.
std::string ErrorMessageStandIn(std::int32_t code);
// Prints the headline and one line per error; writes no file.
void ErrorReportStandIn(const std::string& headline, const ErrorList& errors,
                        const std::string& reportPath);

}  // namespace zir
