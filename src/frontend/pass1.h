// Pass 1 of the compiler: recognises the form of every statement, declares every name by
// its first use, records each statement's provisional opcode in word 0 of its slot, and
// lays out the blocks (main program and subroutines) with their headers.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "frontend/errorcode.h"
#include "frontend/instructions.h"
#include "frontend/scriptlines.h"
#include "frontend/symbols.h"

namespace zir {

struct Statement;

// Compiles the lines afresh into table and names (both are replaced) and puts the errors,
// in line order, into errors (also replaced). Returns the number of errors. When given,
// constructionLines receives the lines (with their indexes) whose first token is
// CONSTRUCTION, which pass 2 compiles first.
int RunPass1(const ScriptLines& lines, InstructionTable& table, std::vector<CompileError>& errors,
             NameTable& names, std::vector<ScriptLine>* constructionLines = nullptr);
// The same over a list of lines; constructionLines receives the indexes only.
int RunPass1(std::span<const std::string_view> lines, InstructionTable& table,
             std::vector<CompileError>& errors, NameTable& names,
             std::vector<int>* constructionLines = nullptr);

// How pass 1 reads one line on its own, as a statement of the main program where no
// subroutine has begun yet: 0 with the statement and its provisional opcode, 255 when the
// line holds no statement, else the error code word. New names are declared into names.
std::int32_t RecogniseLine(std::string_view line, NameTable& names, Statement& statement, Op& op);

}  // namespace zir
