// A readable listing of a compiled program, for whoever debugs a script or the compiler.
#pragma once

#include <string>

#include "frontend/instructions.h"
#include "frontend/symbols.h"

namespace zir {

// Every block with its header, then one line per statement slot: block:slot, opcode number
// and name (with " I" for the invisible flag), the target and the operands decoded by the
// opcode's layout. Object indexes show as names, texts quoted, fixed-point values and
// angles as decimals, colours as #RRGGBB, and -1 in an optional operand as "-". Lines end
// in "\n"; names and texts keep their Latin-1 bytes.
std::string ListProgram(const InstructionTable& table, const NameTable& names);

}  // namespace zir
