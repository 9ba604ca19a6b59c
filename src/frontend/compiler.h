// The compiler's entry point: both passes over a script's lines.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/errorcode.h"
#include "frontend/instructions.h"
#include "frontend/pass2.h"
#include "frontend/scriptlines.h"
#include "frontend/symbols.h"

namespace zir {

inline constexpr std::int32_t CompiledOk = 0;
inline constexpr std::int32_t FailedInPass1 = -1;
inline constexpr std::int32_t FailedInPass2 = -2;

// Compiles the lines into table and names (both replaced): CompiledOk, FailedInPass1 or
// FailedInPass2. errors is replaced by exactly the errors found, in line order; it is empty
// after a successful compile. Pass 2 runs only after a pass 1 without errors.
std::int32_t ParseScript(const ScriptLines& lines, InstructionTable& table,
                         std::vector<CompileError>& errors, NameTable& names);
// The same, telling observer of every statement that pass 2 compiles.
std::int32_t ParseScript(const ScriptLines& lines, InstructionTable& table,
                         std::vector<CompileError>& errors, NameTable& names,
                         StatementObserver* observer);
std::int32_t ParseScript(std::span<const std::string_view> lines, InstructionTable& table,
                         std::vector<CompileError>& errors, NameTable& names);
std::int32_t ParseScript(std::span<const std::string> lines, InstructionTable& table,
                         std::vector<CompileError>& errors, NameTable& names);

}  // namespace zir
