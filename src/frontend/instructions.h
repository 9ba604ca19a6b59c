// The compiled program: blocks (0 the main program, then the subroutines in the order of
// their headers) of slots of eight 32-bit words. Slot 0 of a block is its header; each
// further slot holds one instruction.
//
// Word 0 of an instruction: bits 0-9 the opcode, bit 14 the invisible flag, bits 16-31 the
// target (a signed 16-bit value). Words 1-7: the operands.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace zir {

using Instruction = std::array<std::int32_t, 8>;

// Blocks grow independently, each to the slots its statements need, so nothing is ever
// written outside the table.
struct InstructionTable {
    std::vector<std::vector<Instruction>> blocks;
};

// Block header words.
inline constexpr int HeaderKind = 0;  // subroutine: 1 CONSTRUCTION, 2 INTERACTION, 3 ANIMATION
inline constexpr int HeaderEnd = 1;   // one past the block's last statement slot
inline constexpr int HeaderParameters = 2;  // CONSTRUCTION: number of parameters
inline constexpr int HeaderName = 3;        // subroutine: index of its name in row 7
inline constexpr int HeaderBlockCount = 4;  // main block: number of subroutines

// Subroutine kinds, as header word 0 and as the block kind of messages.
inline constexpr int KindMain = 0;
inline constexpr int KindConstruction = 1;
inline constexpr int KindInteraction = 2;
inline constexpr int KindAnimation = 3;

inline constexpr int OpcodeMask = 0x3FF;
inline constexpr int InvisibleFlag = 0x4000;
// The largest block number, object index or slot number a 16-bit target can hold.
inline constexpr int MaxTarget = 32767;

// Opcodes. Pass 1 writes the provisional one of each statement; pass 2 the final one.
enum class Op : int {
    None = 0,
    Point = 1,            // POINT P, x, y
    LineCoords = 2,       // LINE L, x1, y1, x2, y2
    LinePolarCoords = 3,  // LINEPOLAR L, x, y, a
    CircleCoords = 4,     // CIRCLE C, x, y, r
    CopyPoint = 5,        // X = COPY Y
    CopyLine = 6,
    CopyCircle = 7,
    CrossLines = 8,        // P = CROSS L1, L2
    Middle = 9,            // P = MIDDLE A, B
    MoveCircle = 10,       // MOVECIRCLE C, P
    Revert = 11,           // REVERT L
    LineThrough = 12,      // L = LINE A, B
    Midline = 13,          // L = MIDLINE A, B
    Bisector = 14,         // L = BISECTOR L1, L2
    LinePolarFrom = 15,    // L = LINEPOLAR P, L2, a
    Tangent = 16,          // L1, L2 = TANGENT P, C
    AdvanceTo = 17,        // P = ADVANCETO A, B, d
    AdvanceOn = 18,        // P = ADVANCEON A, L, d
    CrossCircleLine = 19,  // P1, P2 = CROSS C, L
    CrossLineCircle = 20,  // P1, P2 = CROSS L, C
    CrossCircles = 21,     // P1, P2 = CROSS C1, C2
    CircleEnd = 22,        // P1, P2 = CIRCLEND C
    CircleThrough = 24,    // C = CIRCLE M, P
    CircleTouching = 25,   // C = CIRCLE M, L
    ArcPoints = 26,        // C = ARC A, B
    StartLine = 27,        // L, P = STARTLINE Q, a, len
    FillTriangle = 28,
    FillCircle = 29,
    ArcLines = 31,  // C = ARC L1, L2, r
    OrderLines = 32,
    MarkPoint = 33,
    MarkLine = 34,
    MarkAngleLines = 35,
    MarkAnglePoints = 36,
    MarkNumberLine = 38,
    MarkNumberAngleLines = 39,
    MarkNumberAnglePoints = 40,
    CallFast = 45,
    CallPace = 46,
    CallSlow = 47,
    Call = 48,
    Repeat = 49,
    Clickable = 52,
    ClickableAlongLine = 53,
    ClickableAlongCircle = 54,
    Trace = 55,
    Construction = 57,
    Interaction = 58,
    Animation = 59,
    Cls = 65,
    Screen = 66,
    Window = 67,
    TextWindow = 68,
    Text = 72,
    Title = 73,
    Speed = 76,
    FrameSpeed = 77,
    Defaults = 80,
    ToolDefaults = 81,
    Menu = 88,
    MenuItem = 89,
    ExitMenu = 90,
    EndMenu = 91,
    RepeatMenu = 92,
    StepPoint = 97,
    StepCircle = 98,
    StepPointAlongLine = 102,
    StepCircleAlongLine = 103,
    StepPointAlongCircle = 104,
    StepCircleAlongCircle = 105,
    Wait = 128,
    WaitAlways = 129,
    WaitFor = 130,
    WaitAlwaysFor = 131,
    End = 255,
};

constexpr int OpcodeOf(std::int32_t word0) {
    return word0 & OpcodeMask;
}
constexpr bool IsInvisible(std::int32_t word0) {
    return (word0 & InvisibleFlag) != 0;
}
constexpr int TargetOf(std::int32_t word0) {
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(word0) >> 16);
}
constexpr std::int32_t InstructionWord0(Op op, bool invisible = false, int target = 0) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(target) << 16) |
                                     static_cast<std::uint32_t>(op) |
                                     (invisible ? InvisibleFlag : 0));
}

inline bool HasSlot(const InstructionTable& table, int block, int slot) {
    return block >= 0 && block < static_cast<int>(table.blocks.size()) && slot >= 0 &&
           slot < static_cast<int>(table.blocks[block].size());
}

// The slot, after growing the table (with zero words) so that it exists.
Instruction& SlotForWriting(InstructionTable& table, int block, int slot);

}  // namespace zir
