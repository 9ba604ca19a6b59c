// The construction statements at run time: points, lines, circles and arcs with their
// pacing, fills, marks, and the defaults statements. Each reads its operands from the
// instruction, binds the object indexes of a CONSTRUCTION's parameters to its caller's
// objects, stores what it computes in the shared object store, draws it into the drawing
// buffer and shows and paces it by the invocation's mode.
#pragma once

#include "interp/callframe.h"

namespace zir {

// Opcodes 1 to 22, 24 to 29, 31 to 36, 38 to 40, 80 and 81.
Flow ExecuteConstructionStatement(CallFrame& frame, const Instruction& instruction);

}  // namespace zir
