// The execution engine: runs the compiled program one subroutine at a time, calling itself
// for every subroutine call, so that the script's call stack is the engine's own.
//
// Results: 0 when a subroutine ran to its end or the viewer ended it (Beenden), 255 after
// END (passed on through every caller), 32, 33 or 129 for a menu structure error, and a
// run-time error that ends the whole run: the subroutine's number in bits 16 to 31 and the
// error code word in bits 0 to 15. Closing the window ends every invocation at once with 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frontend/instructions.h"
#include "frontend/symbols.h"
#include "interp/callframe.h"
#include "interp/objects.h"

namespace zir {

// How deep subroutine calls may nest. Every running invocation keeps a copy of the objects
// and of the drawing, and the engine's own stack grows with each; a subroutine that calls
// itself has no way to stop, so it ends the run with a run-time error here.
inline constexpr int MaxCallDepth = 64;
// How much memory the copies that running invocations keep (the drawing twice, the object
// tables once per invocation) may take in all: on a large screen calls nest less deep.
inline constexpr std::size_t MaxSnapshotBytes = std::size_t{512} << 20;

// Runs one subroutine: its index in bits 0 to 15 of subroutineAndMode, the pacing mode
// (0 FAST, 1 PACE, 2 SLOW) in bits 16 to 31. call is the calling instruction, whose
// arguments a CONSTRUCTION's parameters stand for (null for the main program).
std::int32_t ExecuteSubroutine(RunContext& run, std::int32_t subroutineAndMode,
                               const Instruction* call);

// Runs the main program of a compiled script on the object store, with a drawing buffer of
// its own: the run result.
std::int32_t RunProgram(const InstructionTable& program, const NameTable& names,
                        ObjectStore& store);

}  // namespace zir
