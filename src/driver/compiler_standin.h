// STAND-IN until the compiler exists: it accepts every script and compiles it to nothing.
// The issue that builds ZIRS_PARSESCRIPT deletes this file pair and calls the compiler
// where runcycle.cpp calls ParseScriptStandIn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver/errorlist.h"

namespace zir {

// Stands for the instruction table, the name table and the name counts.
struct CompiledProgram {
    std::size_t lineCount = 0;
};

// Returns 0 (compiled), as the real compiler would for a script without errors; -1 and -2
// are the results of failed passes.
std::int32_t ParseScriptStandIn(const std::vector<std::string>& lines, CompiledProgram& program,
                                ErrorList& errors);

}  // namespace zir
