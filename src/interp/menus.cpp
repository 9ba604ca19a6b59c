#include "interp/menus.h"

#include <algorithm>

#include "draw/fonts.h"
#include "frontend/errorcode.h"
#include "interp/display.h"
#include "interp/runstate.h"
#include "platform/platform.h"

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

void PrintRow(const std::vector<std::string>& items, int row, bool highlighted) {
    const RunState& s = Settings();
    PrintText(nullptr, items[row], MenuFont(), TextInsetX, MenuRowHeight * row + TextInsetY,
              highlighted ? s.menuHighlightTextColour : s.barTextColour,
              highlighted ? s.menuHighlightColour : s.barColour);
}

void DrawMenu(const std::vector<std::string>& items, int width, int height) {
    const RunState& s = Settings();
    RasterLine(nullptr, 0, 0, width - 1, height - 1, s.barColour, LineKind::FilledBox);
    // Plain integer arithmetic on the colour value, as the control bar is drawn.
    const Colour light = s.barColour + 0x303030, dark = s.barColour - 0x303030;
    RasterLine(nullptr, 0, 0, width - 1, 0, light, LineKind::Segment);
    RasterLine(nullptr, 0, 0, 0, height - 1, light, LineKind::Segment);
    RasterLine(nullptr, width - 1, 1, width - 1, height - 1, dark, LineKind::Segment);
    RasterLine(nullptr, 1, height - 1, width - 1, height - 1, dark, LineKind::Segment);
    for (int k = 0; k < static_cast<int>(items.size()); ++k) PrintRow(items, k, false);
}

// The viewer's choice among the drawn rows; -1 for cancel.
int Choose(const std::vector<std::string>& items, int width, int height) {
    const int n = static_cast<int>(items.size());
    int selected = 0;
    PrintRow(items, selected, true);
    auto select = [&](int row) {
        PrintRow(items, selected, false);
        selected = row;
        PrintRow(items, selected, true);
    };
    for (;;) {
        if (CloseRequested()) return -1;
        const InputEvent event = PollInput();
        if (event == 0) {
            WaitForInput(IdleWaitMs);
            continue;
        }
        const DecodedInput in = DecodeInput(event);
        if (in.key == "\xFFH") {
            if (selected > 0) select(selected - 1);
        } else if (in.key == "\xFFP") {
            if (selected < n - 1) select(selected + 1);
        } else if (in.key == "\r") {
            return selected;
        } else if (in.key == "\x1B") {
            return -1;
        } else if (in.key.empty() && in.buttons >= 1 && in.x >= 0 && in.y >= 0) {
            // The click that closes the menu must not reach what runs next, so the menu
            // waits for the button to rise in both cases.
            if (in.x < width && in.y < height) {
                select(std::min(in.y / MenuRowHeight, n - 1));
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
    if (in[1] != -1) s.menuHighlightTextColour = static_cast<std::uint32_t>(in[1]);
    if (in[2] != -1) s.menuHighlightColour = static_cast<std::uint32_t>(in[2]);
    // A menu on no screen could not be seen: it opens the default screen, as drawing does.
    EnsureScreen(frame);
    const std::int32_t choice = ShowMenu(texts);
    return ContinueAfter(frame, choice < 0 ? in[3] : positions[choice]);
}

}  // namespace

std::int32_t ShowMenu(const std::vector<std::string>& items) {
    if (items.empty() || !ScreenImage()) return -1;
    const ScreenInfo screen = ScreenQuery();
    int widest = 0;
    for (const std::string& item : items) widest = std::max(widest, StringWidth(item, MenuFont()));
    const int n = static_cast<int>(items.size());
    const int width = std::min(widest + 8, screen.width);
    const int height =
        static_cast<int>(std::min<long long>(1LL * MenuRowHeight * n, screen.height));
    Image saved(ImageCreate(width, height));
    if (saved) RasterGrab(nullptr, 0, 0, width - 1, height - 1, saved.get());
    DrawMenu(items, width, height);
    const int choice = Choose(items, width, height);
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

extern "C" int32_t ZIRS_MENU(const ZirStringList* items) {
    std::vector<std::string> texts;
    if (items && items->items) {
        for (int32_t k = 0; k < items->count; ++k) {
            texts.emplace_back(items->items[k] ? items->items[k] : "");
        }
    }
    return zir::ShowMenu(texts);
}
