#include "interp/menus.h"

#include <algorithm>

#include "draw/fonts.h"
#include "frontend/errorcode.h"
#include "interp/display.h"
#include "platform/platform.h"
#include "runtime/pacing.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

constexpr int TextInsetX = 4;
constexpr int TextInsetY = 2;
// How long a clicked row stays highlighted before the menu closes.
constexpr int ClickShowMs = 1000;
constexpr int IdleWaitMs = 50;
// The run result of a menu whose items differ from the count compiled into it.
constexpr std::int32_t MenuCountMismatch = 129;

const Font& MenuFont() {
    return BuiltinFont(FontFamily::Sans, 16);
}

// The rows of a menu and which of them the screen shows: a menu taller than the screen
// above the control bar scrolls, so that the highlighted row is always in view.
struct MenuView {
    const std::vector<std::string>& items;
    int width = 0;
    int rows = 0;   // rows shown
    int first = 0;  // the item in the top row
};

void PrintRow(const MenuView& view, int item, bool highlighted) {
    const RunState& s = Settings();
    PrintText(nullptr, view.items[item], MenuFont(), TextInsetX,
              MenuRowHeight * (item - view.first) + TextInsetY,
              highlighted ? s.menuHighlightTextColour : s.barTextColour,
              highlighted ? s.menuHighlightColour : s.barColour);
}

void DrawMenu(const MenuView& view) {
    const RunState& s = Settings();
    const int width = view.width, height = view.rows * MenuRowHeight;
    RasterLine(nullptr, 0, 0, width - 1, height - 1, s.barColour, LineKind::FilledBox);
    DrawRaisedEdges(0, 0, width - 1, height - 1);
    for (int k = view.first; k < view.first + view.rows; ++k) PrintRow(view, k, false);
}

// The viewer's choice among the rows; -1 for cancel.
int Choose(MenuView& view) {
    const int n = static_cast<int>(view.items.size());
    int selected = 0;
    PrintRow(view, selected, true);
    auto select = [&](int row) {
        if (row < view.first || row >= view.first + view.rows) {
            view.first = std::clamp(row < view.first ? row : row - view.rows + 1, 0, n - view.rows);
            DrawMenu(view);
        } else {
            PrintRow(view, selected, false);
        }
        selected = row;
        PrintRow(view, selected, true);
    };
    for (;;) {
        if (CloseRequested()) return -1;
        const InputEvent event = PollInput();
        if (event == 0) {
            WaitForInput(IdleWaitMs);
            continue;
        }
        const DecodedInput in = DecodeInput(event);
        if (in.key == keys::Up) {
            if (selected > 0) select(selected - 1);
        } else if (in.key == keys::Down) {
            if (selected < n - 1) select(selected + 1);
        } else if (in.key == keys::Enter) {
            return selected;
        } else if (in.key == keys::Esc) {
            return -1;
        } else if (in.key.empty() && in.buttons >= 1 && in.x >= 0 && in.y >= 0) {
            // The click that closes the menu must not reach what runs next, so the menu
            // waits for the button to rise in both cases.
            if (in.x < view.width && in.y < view.rows * MenuRowHeight) {
                select(view.first + in.y / MenuRowHeight);
                SleepMs(ClickShowMs);
                WaitForRelease();
                return selected;
            }
            WaitForRelease();
            return -1;
        }
    }
}

Flow EndWith(CallFrame& frame, std::int32_t result) {
    frame.result = result;
    return Flow::Return;
}

// Execution goes on after slot `position`; a position past the body ends the invocation.
Flow ContinueAfter(CallFrame& frame, int position) {
    if (position < 0 || position >= frame.last) return Flow::Return;
    frame.pc = position;
    return Flow::Next;
}

Op OpAt(const CallFrame& frame, int slot) {
    const InstructionTable& program = *frame.run->program;
    if (!HasSlot(program, frame.subroutine, slot)) return Op{};
    return static_cast<Op>(OpcodeOf(program.blocks[frame.subroutine][slot][0]));
}

bool ClosesMenu(Op op) {
    return op == Op::EndMenu || op == Op::RepeatMenu;
}

Flow Menu(CallFrame& frame, const Instruction& in) {
    const InstructionTable& program = *frame.run->program;
    std::vector<std::string> texts;
    std::vector<int> positions;
    const std::vector<std::string>& textRow = frame.run->names->rows[TypeText];
    int slot = frame.pc + 1;
    for (;; ++slot) {
        if (slot >= frame.last) return EndWith(frame, ErrorCode(MsgMenuWithoutEnd));
        const Op op = OpAt(frame, slot);
        if (ClosesMenu(op)) break;
        if (op == Op::Menu) {
            // A nested menu's items are its own: skip to its closing statement.
            do {
                ++slot;
                if (slot >= frame.last) return EndWith(frame, ErrorCode(MsgMenuWithoutEnd));
            } while (!ClosesMenu(OpAt(frame, slot)));
        } else if (op == Op::MenuItem) {
            const std::int32_t text = program.blocks[frame.subroutine][slot][1];
            texts.push_back(text >= 0 && text < static_cast<std::int32_t>(textRow.size())
                                ? textRow[text]
                                : std::string());
            positions.push_back(slot);
            if (static_cast<int>(texts.size()) > MaxMenuEntries) {
                return EndWith(frame, ErrorCode(MsgTooManyMenuItems));
            }
        }
    }
    if (static_cast<int>(texts.size()) != TargetOf(in[0])) {
        return EndWith(frame, MenuCountMismatch);
    }
    RunState& s = Settings();
    if (in[1] != -1) s.menuHighlightTextColour = Colour{in[1]};
    if (in[2] != -1) s.menuHighlightColour = Colour{in[2]};
    // A menu on no screen could not be seen: it opens the default screen, as drawing does.
    EnsureScreen(frame);
    RunWatcher* watcher = RunWatched();
    if (watcher) watcher->Step(StepKind::Menu);
    const std::int32_t choice = ShowMenu(texts);
    // The entry chosen is where the next step comes from.
    if (watcher && choice >= 0) watcher->Statement(frame.subroutine, positions[choice], false);
    return ContinueAfter(frame, choice < 0 ? in[3] : positions[choice]);
}

}  // namespace

std::int32_t ShowMenu(const std::vector<std::string>& items) {
    if (items.empty() || !ScreenImage()) return -1;
    const ScreenInfo screen = ScreenQuery();
    int widest = 0;
    for (const std::string& item : items) widest = std::max(widest, StringWidth(item, MenuFont()));
    const int n = static_cast<int>(items.size());
    // The menu leaves the control bar free; a screen too low for that still shows one row.
    const int fits = std::max(1, (screen.height - ControlBarHeight) / MenuRowHeight);
    MenuView view{items, std::min(widest + 8, screen.width), std::min(n, fits), 0};
    const int height = std::min(view.rows * MenuRowHeight, screen.height);
    Image saved(ImageCreate(view.width, height));
    if (saved) RasterGrab(nullptr, 0, 0, view.width - 1, height - 1, saved.get());
    DrawMenu(view);
    const int choice = Choose(view);
    // A window closed on the menu ends the run: the menu stays as the last picture seen.
    if (saved && !CloseRequested()) RasterBlit(nullptr, 0, 0, saved.get(), BlitMode::Copy);
    return choice;
}

Flow ExecuteMenuStatement(CallFrame& frame, const Instruction& in) {
    switch (static_cast<Op>(OpcodeOf(in[0]))) {
        case Op::Menu:
            return Menu(frame, in);
        case Op::MenuItem:
        case Op::ExitMenu:
        case Op::EndMenu:
        case Op::RepeatMenu:
            return ContinueAfter(frame, TargetOf(in[0]));
        default:
            return Flow::Next;
    }
}

}  // namespace zir
