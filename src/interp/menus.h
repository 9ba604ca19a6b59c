// Menus: a pop-up list of texts at the screen's top-left corner from which the viewer picks
// one with the mouse or the arrow keys, and the statements that lay out a menu in the main
// program (MENU, MENUITEM, EXITMENU, ENDMENU, REPEATMENU). Also exported as ZIRS_MENU.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interp/callframe.h"

namespace zir {

inline constexpr int MenuRowHeight = 20;

// Shows the items, one row each, over what the screen shows, with the first item
// highlighted; Up and Down move the highlight, Enter chooses it, a click on a row chooses
// that row after showing it for a second. Returns the chosen index, or -1 when the viewer
// cancels (Esc, a click outside the menu, closing the window) or there is nothing to choose.
// The screen is as it was afterwards.
std::int32_t ShowMenu(const std::vector<std::string>& items);

// MENU (88), MENUITEM (89), EXITMENU (90), ENDMENU (91), REPEATMENU (92).
Flow ExecuteMenuStatement(CallFrame& frame, const Instruction& instruction);

}  // namespace zir
