// Short German descriptions of compiled statements, for the step-by-step reading of a
// construction (a screen reader announces each step) and the handout's captions.
#pragma once

#include <string>

#include "frontend/pass2.h"

namespace zir {

// A short German description of what the statement constructs or shows, in Windows-1252
// (the program's own texts are Windows-1252; the callers convert), empty when it draws
// nothing: an invisible form, a setting, a wait, a declaration of an interaction or
// animation, or a statement that only steers the run.
std::string DescribeStatement(const CompiledStatement& compiled);

}  // namespace zir
