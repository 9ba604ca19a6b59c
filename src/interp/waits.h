// Waiting for the viewer: the pause loop with its control bar, the statement-level control
// check, and the pacing statements SPEED, FRAMESPEED, WAIT and WAITALWAYS.
#pragma once

#include "interp/callframe.h"

namespace zir {

// The pause: the bar's first button reads "Weiter" until the viewer chooses a control
// (Enter, r, Esc or a click on a button), which it returns after the button reads "Pause"
// again and pendingEvent is cleared. Waits without spinning. Returns None when the window
// is closed meanwhile. What each control then does depends on where the pause is.
ControlAction PauseForViewer(CallFrame& frame);

// What a control action asks of the invocation: Wiederholen restarts it; Beenden ends it,
// except a CONSTRUCTION, which finishes FAST instead; anything else lets it go on.
Flow FlowAfter(CallFrame& frame, ControlAction action);

// The check before every statement, on the input that ended the last wait: Enter pauses and
// r restarts a CONSTRUCTION or an ANIMATION; Esc makes a CONSTRUCTION finish FAST and ends
// every other invocation. Other input, and input meant for other kinds, is left pending.
Flow CheckPendingControls(CallFrame& frame);

// SPEED (76), FRAMESPEED (77), WAIT (128), WAITALWAYS (129) and the two with a time (130,
// 131).
Flow ExecutePacingStatement(CallFrame& frame, const Instruction& instruction);

}  // namespace zir
