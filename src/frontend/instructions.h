// The compiled program: blocks (0 the main program, then the subroutines in the order of
// their headers) of slots of eight 32-bit words. Slot 0 of a block is its header; each
// further slot holds one instruction. Everything not written is 0.
//
// Word 0 of an instruction:
//
//    31                               16  15  14  13       10  9                    0
//   +-----------------------------------+---+---+-----------+-----------------------+
//   |  target (read as signed 16 bits)  | 0 | I |     0     |        opcode         |
//   +-----------------------------------+---+---+-----------+-----------------------+
//
//   I: the invisible flag: the statement used an I-prefixed keyword, so its object is
//      computed and stored but not shown.
//   target: the object the statement defines or acts on, or for some opcodes a count, a
//      called block or a slot of the main block (the Opcodes table below says which).
//
// Words 1 to 7 hold the operands (the Opcodes table below).
//
// Block header (slot 0):
//
//   word  main block (0)                          subroutine block (1 to B)
//   0     0                                       kind: 1 CONSTRUCTION, 2 INTERACTION, 3 ANIMATION
//   1     one past the main program's last slot   one past the slot of its closing REPEAT
//   2     0                                       CONSTRUCTION: number of parameters
//   3     0                                       index of the subroutine's name in row 7
//   4     B, the number of subroutines            0
//
// Parameter list (slot 1 of a CONSTRUCTION, whose statements start at slot 2):
//
//   word 0: type nibbles of parameters 7..0     (parameter k at bits 4 x (k mod 8))
//   word 1: type nibbles of parameters 11..8
//   words 2 to 7: object indexes, two per word  (parameter k at bits 16 x (k mod 2) of
//                                                word 2 + k div 2; 0xFFFF when absent)
//
// A call of a CONSTRUCTION carries its arguments' indexes in words 2 to 7 the same way.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "frontend/keywords.h"
#include "platform/largememory.h"

namespace zir {

using Instruction = std::array<std::int32_t, 8>;
// The slots of one block; a large block is mapped apart (a script of 100,000 statements
// makes one of 3 MB).
using InstructionBlock = std::vector<Instruction, LargeAllocator<Instruction>>;

// Blocks grow independently, each to the slots its statements need, so nothing is ever
// written outside the table.
struct InstructionTable {
    std::vector<InstructionBlock> blocks;
};

// Block header words.
inline constexpr int HeaderKind = 0;  // subroutine: 1 CONSTRUCTION, 2 INTERACTION, 3 ANIMATION
inline constexpr int HeaderEnd = 1;   // one past the block's last statement slot
inline constexpr int HeaderParameters = 2;  // CONSTRUCTION: number of parameters
inline constexpr int HeaderName = 3;        // subroutine: index of its name in row 7
inline constexpr int HeaderBlockCount = 4;  // main block: number of subroutines

// Block kinds: header word 0 of a subroutine, 0 for the main program; also the detail
// field of message 31.
inline constexpr int KindMain = 0;
inline constexpr int KindConstruction = 1;
inline constexpr int KindInteraction = 2;
inline constexpr int KindAnimation = 3;

inline constexpr int OpcodeMask = 0x3FF;
inline constexpr int InvisibleFlag = 0x4000;
// The largest block number, object index or slot number a 16-bit target can hold.
inline constexpr int MaxTarget = 32767;
// A 16-bit argument or parameter field that holds no object.
inline constexpr int AbsentIndex = 0xFFFF;

inline constexpr int MaxParameters = 12;    // of a CONSTRUCTION
inline constexpr int MaxPointList = 14;     // of a CLICKABLE or TRACE
inline constexpr int MaxMenuEntries = 126;  // MENUITEMs, and EXITMENUs, of one menu
// Slot 1 of a CONSTRUCTION holds its parameter list; its statements start at slot 2.
inline constexpr int ParameterSlot = 1;

// Opcodes. Pass 1 writes the provisional one of each statement; pass 2 the final one.
// What each means and carries is in the Opcodes table below.
enum class Op : int {
    None = 0,
    Point = 1,
    LineCoords = 2,
    LinePolarCoords = 3,
    CircleCoords = 4,
    CopyPoint = 5,
    CopyLine = 6,
    CopyCircle = 7,
    CrossLines = 8,
    Middle = 9,
    MoveCircle = 10,
    Revert = 11,
    LineThrough = 12,
    Midline = 13,
    Bisector = 14,
    LinePolarFrom = 15,
    Tangent = 16,
    AdvanceTo = 17,
    AdvanceOn = 18,
    CrossCircleLine = 19,
    CrossLineCircle = 20,
    CrossCircles = 21,
    CircleEnd = 22,
    CircleThrough = 24,
    CircleTouching = 25,
    ArcPoints = 26,
    StartLine = 27,
    FillTriangle = 28,
    FillCircle = 29,
    ArcLines = 31,
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

constexpr int OpcodeNumber(Op op) {
    return static_cast<int>(op);
}

// ---- word encodings --------------------------------------------------------------------

// An optional operand's value as T, or fallback where it holds -1: the operand was not given.
template <class T>
constexpr T OperandOr(std::int32_t operand, T fallback) {
    return operand == -1 ? fallback : static_cast<T>(operand);
}

// Coordinates and lengths are 16.16 fixed point.
inline constexpr double FixedOne = 65536.0;
constexpr double FixedValue(std::int32_t operand) {
    return operand / FixedOne;
}

constexpr int OpcodeOf(std::int32_t word0) {
    return word0 & OpcodeMask;
}
constexpr bool IsInvisible(std::int32_t word0) {
    return (word0 & InvisibleFlag) != 0;
}
constexpr int TargetOf(std::int32_t word0) {
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(word0) >> 16);
}
// Word 0 from its parts; the target keeps its low 16 bits.
constexpr std::int32_t InstructionWord0(Op op, bool invisible = false, int target = 0) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(target) << 16) |
                                     static_cast<std::uint32_t>(op) |
                                     (invisible ? InvisibleFlag : 0));
}
// Word 0 with its target replaced, opcode and flag kept.
constexpr std::int32_t WithTarget(std::int32_t word0, int target) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(target) << 16) |
                                     (static_cast<std::uint32_t>(word0) & 0xFFFF));
}

// 16-bit half h (0 low, 1 high) of a word.
constexpr int HalfOf(std::int32_t word, int h) {
    return static_cast<int>((static_cast<std::uint32_t>(word) >> (16 * h)) & 0xFFFF);
}
constexpr std::int32_t WithHalf(std::int32_t word, int h, int value) {
    std::uint32_t shift = 16 * h;
    std::uint32_t kept = static_cast<std::uint32_t>(word) & ~(0xFFFFu << shift);
    return static_cast<std::int32_t>(kept |
                                     ((static_cast<std::uint32_t>(value) & 0xFFFF) << shift));
}

// The 16-bit index field k of a parameter list or of a call's arguments (words 2 to 7),
// and of a CLICKABLE's or TRACE's points (words 1 to 7).
constexpr int ParameterIndexWord(int k) {
    return 2 + k / 2;
}
constexpr int PointListWord(int k) {
    return 1 + k / 2;
}
constexpr int HalfInWord(int k) {
    return k % 2;
}

// The 4-bit type of parameter k in a parameter list.
constexpr int ParameterTypeWord(int k) {
    return k / 8;
}
constexpr int ParameterType(const Instruction& list, int k) {
    return (static_cast<std::uint32_t>(list[ParameterTypeWord(k)]) >> (4 * (k % 8))) & 15;
}
constexpr int ParameterIndex(const Instruction& list, int k) {
    return HalfOf(list[ParameterIndexWord(k)], HalfInWord(k));
}

// ---- the opcode table ------------------------------------------------------------------

// What one word of an instruction holds and which token it comes from.
enum class Field : std::uint8_t {
    None,      // not used: 0
    Point,     // index of the token's point
    Line,      // index of the token's line
    Circle,    // index of the token's circle
    Text,      // index of the token's text in row 8
    OptText,   // the same, or -1 when the token is absent
    Fixed,     // coordinate or length, 16.16 fixed point; the token is required
    OptFixed,  // the same, or -1 when the token is absent
    Angle,     // 1/256 degree; the token is required
    OptAngle,  // whole degrees times 256, or -1 when the token is absent
    Int,       // rounded to an integer, or -1 when the token is absent
    PlainInt,  // rounded to an integer; the token is required
    Colour,    // 0x00RRGGBB, or -1 when the token is absent
    // Fields that an opcode's own rule fills (pass 2 and the listing know them by opcode):
    Count,      // a number of values or entries
    Block,      // the called block
    Slot,       // a slot of the main block (menu links)
    Points,     // two point indexes, one per half (CLICKABLE, TRACE)
    Arguments,  // two argument indexes, one per half (calls of a CONSTRUCTION)
    Packed,     // values packed by halves (DEFAULTS, TOOLDEFAULTS)
};

struct Operand {
    Field field = Field::None;
    int token = -1;  // the token the value is read from, counted from 0 with the keyword
};

// Where a statement may stand: one bit per block kind.
inline constexpr std::uint8_t InMain = 1 << KindMain;
inline constexpr std::uint8_t InConstruction = 1 << KindConstruction;
inline constexpr std::uint8_t InInteraction = 1 << KindInteraction;
inline constexpr std::uint8_t InAnimation = 1 << KindAnimation;
inline constexpr std::uint8_t InSubroutines = InConstruction | InInteraction | InAnimation;
inline constexpr std::uint8_t Anywhere = InMain | InSubroutines;

struct OpcodeInfo {
    Op op = Op::None;
    Keyword keyword = Keyword::End;  // the statement that compiles to it
    std::string_view name;           // as listings show it
    // Word 0's target, then operands 1 to 7.
    std::array<Operand, 8> layout{};
    std::uint8_t allowedIn = Anywhere;
    // Filled by the opcode's own rule rather than field by field from the layout.
    bool ownRule = false;
    std::string_view comment;
};

namespace layout {
constexpr Operand Pt(int token) {
    return {Field::Point, token};
}
constexpr Operand Ln(int token) {
    return {Field::Line, token};
}
constexpr Operand Ci(int token) {
    return {Field::Circle, token};
}
constexpr Operand Txt(int token) {
    return {Field::Text, token};
}
constexpr Operand OptTxt(int token) {
    return {Field::OptText, token};
}
constexpr Operand Fix(int token) {
    return {Field::Fixed, token};
}
constexpr Operand OptFix(int token) {
    return {Field::OptFixed, token};
}
constexpr Operand Ang(int token) {
    return {Field::Angle, token};
}
constexpr Operand OptAng(int token) {
    return {Field::OptAngle, token};
}
constexpr Operand Int(int token) {
    return {Field::Int, token};
}
constexpr Operand Num(int token) {
    return {Field::PlainInt, token};
}
constexpr Operand Col(int token) {
    return {Field::Colour, token};
}
inline constexpr Operand Zero{};
inline constexpr Operand Count{Field::Count};
inline constexpr Operand Block{Field::Block};
inline constexpr Operand Slot{Field::Slot};
inline constexpr Operand Points{Field::Points};
inline constexpr Operand Arguments{Field::Arguments};
inline constexpr Operand Packed{Field::Packed};

// Every opcode with the statement keyword that compiles to it, its target and operands
// (words 0 to 7; the number is the token read).
// Attribute groups: point = shape Int, colour Col, size Int; line = dash style Int, colour
// Col, width Int; circle = colour Col, width Int, start and end OptAng.
inline constexpr OpcodeInfo Opcodes[] = {
    // clang-format off
    {Op::Point, Keyword::Point, "POINT", {Pt(1), Fix(2), Fix(3), Int(4), Col(5), Int(6)}, Anywhere, false,
     "POINT P, x, y: a point at its coordinates"},
    {Op::LineCoords, Keyword::Line, "LINE", {Ln(1), Fix(2), Fix(3), Fix(4), Fix(5), Int(6), Col(7), Int(8)}, Anywhere, false,
     "LINE L, x1, y1, x2, y2: a line through two coordinate pairs"},
    {Op::LinePolarCoords, Keyword::LinePolar, "LINEPOLAR", {Ln(1), Fix(2), Fix(3), Ang(4), Int(5), Col(6), Int(7)}, Anywhere, false,
     "LINEPOLAR L, x, y, a: a line through a coordinate pair in a direction"},
    {Op::CircleCoords, Keyword::Circle, "CIRCLE", {Ci(1), Fix(2), Fix(3), Fix(4), Col(5), Int(6), OptAng(7), OptAng(8)}, Anywhere, false,
     "CIRCLE C, x, y, r: a circle from centre coordinates and radius"},
    {Op::CopyPoint, Keyword::Copy, "COPY.POINT", {Pt(0), Pt(2)}, Anywhere, false,
     "X = COPY Y: a copy of a point"},
    {Op::CopyLine, Keyword::Copy, "COPY.LINE", {Ln(0), Ln(2)}, Anywhere, false,
     "X = COPY Y: a copy of a line"},
    {Op::CopyCircle, Keyword::Copy, "COPY.CIRCLE", {Ci(0), Ci(2)}, Anywhere, false,
     "X = COPY Y: a copy of a circle"},
    {Op::CrossLines, Keyword::Cross, "CROSS.LINES", {Pt(0), Ln(2), Ln(3), Int(4), Col(5), Int(6)}, Anywhere, false,
     "P = CROSS L1, L2: the crossing of two lines"},
    {Op::Middle, Keyword::Middle, "MIDDLE", {Pt(0), Pt(2), Pt(3), Int(4), Col(5), Int(6)}, Anywhere, false,
     "P = MIDDLE A, B: the midpoint of two points"},
    {Op::MoveCircle, Keyword::MoveCircle, "MOVECIRCLE", {Ci(1), Pt(2), Col(3), Int(4)}, Anywhere, false,
     "MOVECIRCLE C, P: moves a circle to a new centre"},
    {Op::Revert, Keyword::Revert, "REVERT", {Ln(1)}, Anywhere, false,
     "REVERT L: reverses a line's direction"},
    {Op::LineThrough, Keyword::Line, "LINE.POINTS", {Ln(0), Pt(2), Pt(3), Int(4), Col(5), Int(6)}, Anywhere, false,
     "L = LINE A, B: the line through two points"},
    {Op::Midline, Keyword::Midline, "MIDLINE", {Ln(0), Pt(2), Pt(3), Int(4), Col(5), Int(6)}, Anywhere, false,
     "L = MIDLINE A, B: the perpendicular bisector of two points"},
    {Op::Bisector, Keyword::Midline, "BISECTOR", {Ln(0), Ln(2), Ln(3), Int(4), Col(5), Int(6)}, Anywhere, false,
     "L = BISECTOR L1, L2: the angle bisector of two lines"},
    {Op::LinePolarFrom, Keyword::LinePolar, "LINEPOLAR.POINT", {Ln(0), Pt(2), Ln(3), Ang(4), Int(5), Col(6), Int(7)}, Anywhere, false,
     "L = LINEPOLAR P, L2, a: a line through a point at an angle to another line"},
    {Op::Tangent, Keyword::Tangent, "TANGENT", {Ln(0), Ln(1), Pt(3), Ci(4), Int(5), Col(6), Int(7)}, Anywhere, false,
     "L1, L2 = TANGENT P, C: the two tangents from a point to a circle"},
    {Op::AdvanceTo, Keyword::AdvanceTo, "ADVANCETO", {Pt(0), Pt(2), Pt(3), Fix(4), Int(5), Col(6), Int(7)}, Anywhere, false,
     "P = ADVANCETO A, B, d: the point at distance d from A towards B"},
    {Op::AdvanceOn, Keyword::AdvanceOn, "ADVANCEON", {Pt(0), Pt(2), Ln(3), Fix(4), Int(5), Col(6), Int(7)}, Anywhere, false,
     "P = ADVANCEON A, L, d: the point at distance d from A along a line"},
    {Op::CrossCircleLine, Keyword::Cross, "CROSS.CIRCLE.LINE", {Pt(0), Pt(1), Ci(3), Ln(4), Int(5), Col(6), Int(7)}, Anywhere, false,
     "P1, P2 = CROSS C, L: the crossings of a circle and a line"},
    {Op::CrossLineCircle, Keyword::Cross, "CROSS.LINE.CIRCLE", {Pt(0), Pt(1), Ln(3), Ci(4), Int(5), Col(6), Int(7)}, Anywhere, false,
     "P1, P2 = CROSS L, C: the crossings of a line and a circle"},
    {Op::CrossCircles, Keyword::Cross, "CROSS.CIRCLES", {Pt(0), Pt(1), Ci(3), Ci(4), Int(5), Col(6), Int(7)}, Anywhere, false,
     "P1, P2 = CROSS C1, C2: the crossings of two circles"},
    {Op::CircleEnd, Keyword::CircleEnd, "CIRCLEND", {Pt(0), Pt(1), Ci(3), Int(4), Col(5), Int(6)}, Anywhere, false,
     "P1, P2 = CIRCLEND C: the two end points of an arc"},
    {Op::CircleThrough, Keyword::Circle, "CIRCLE.POINT", {Ci(0), Pt(2), Pt(3), Col(4), Int(5), OptAng(6), OptAng(7)}, Anywhere, false,
     "C = CIRCLE M, P: the circle round M through P"},
    {Op::CircleTouching, Keyword::Circle, "CIRCLE.LINE", {Ci(0), Pt(2), Ln(3), Col(4), Int(5), OptAng(6), OptAng(7)}, Anywhere, false,
     "C = CIRCLE M, L: the circle round M touching a line"},
    {Op::ArcPoints, Keyword::Arc, "ARC.POINTS", {Ci(0), Pt(2), Pt(3), OptAng(4), Col(5), Int(6)}, Anywhere, false,
     "C = ARC A, B: an arc round A from B, of an optional angular width"},
    {Op::StartLine, Keyword::StartLine, "STARTLINE", {Ln(0), Pt(1), Pt(3), Ang(4), Fix(5), Int(6), Col(7), Int(8)}, Anywhere, false,
     "L, P = STARTLINE Q, a, len: a line from Q in a direction and the point len along it"},
    {Op::FillTriangle, Keyword::FillTriangle, "FILLTRIANGLE", {Pt(1), Pt(2), Pt(3), Col(4), Int(5)}, Anywhere, false,
     "FILLTRIANGLE P1, P2, P3: fills the triangle of three points"},
    {Op::FillCircle, Keyword::FillCircle, "FILLCIRCLE", {Ci(1), Col(2), Int(3)}, Anywhere, false,
     "FILLCIRCLE C: fills a circle"},
    {Op::ArcLines, Keyword::Arc, "ARC.LINES", {Ci(0), Ln(2), Ln(3), Fix(4), Col(5), Int(6)}, Anywhere, false,
     "C = ARC L1, L2, r: the arc of radius r between two lines"},
    {Op::OrderLines, Keyword::OrderLines, "ORDERLINES", {Ln(1), Ln(2)}, Anywhere, false,
     "ORDERLINES L1, L2: swaps two lines when the angle between them exceeds pi"},
    {Op::MarkPoint, Keyword::MarkPoint, "MARKPOINT", {Pt(1), Int(2), Int(3)}, Anywhere, false,
     "MARKPOINT P: marks and labels a point"},
    {Op::MarkLine, Keyword::MarkLine, "MARKLINE", {Ln(1), Pt(2), Pt(3), Int(4), Int(5), Int(6)}, Anywhere, true,
     "MARKLINE L, A, B: labels a segment; with numbers instead of points, operand 1 ORed with 0xFFFF0000"},
    {Op::MarkAngleLines, Keyword::MarkAngle, "MARKANGLE.LINES", {Ln(1), Ln(2), Txt(3), Int(4), Int(5), Int(6)}, Anywhere, false,
     "MARKANGLE L1, L2, t: marks the angle of two lines"},
    {Op::MarkAnglePoints, Keyword::MarkAngle, "MARKANGLE.POINTS", {Pt(1), Pt(2), Pt(3), Txt(4), Int(5), Int(6)}, Anywhere, false,
     "MARKANGLE A, B, C, t: marks the angle at B"},
    {Op::MarkNumberLine, Keyword::MarkNumberLine, "MARKNUMBERLINE", {Ln(1), Pt(2), Pt(3), Int(4), Int(5), Int(6)}, Anywhere, true,
     "MARKNUMBERLINE L, A, B: labels a segment with its length; number form as MARKLINE"},
    {Op::MarkNumberAngleLines, Keyword::MarkNumberAngle, "MARKNUMBERANGLE.LINES", {Ln(1), Ln(2), OptTxt(3), Int(4), Int(5), Int(6)}, Anywhere, false,
     "MARKNUMBERANGLE L1, L2 [, t]: marks the angle of two lines with its size"},
    {Op::MarkNumberAnglePoints, Keyword::MarkNumberAngle, "MARKNUMBERANGLE.POINTS", {Pt(1), Pt(2), Pt(3), OptTxt(4), Int(5), Int(6)}, Anywhere, false,
     "MARKNUMBERANGLE A, B, C [, t]: marks the angle at B with its size"},
    {Op::CallFast, Keyword::Fast, "CALL.FAST", {Block, Zero, Arguments, Arguments, Arguments, Arguments, Arguments, Arguments}, Anywhere, true,
     "CALL S FAST ...: runs a subroutine without pauses"},
    {Op::CallPace, Keyword::Pace, "CALL.PACE", {Block, Zero, Arguments, Arguments, Arguments, Arguments, Arguments, Arguments}, Anywhere, true,
     "CALL S PACE ...: runs a subroutine with a pause after each step"},
    {Op::CallSlow, Keyword::Slow, "CALL.SLOW", {Block, Zero, Arguments, Arguments, Arguments, Arguments, Arguments, Arguments}, Anywhere, true,
     "CALL S SLOW ...: runs a subroutine showing the instruments"},
    {Op::Call, Keyword::Call, "CALL", {Block, Zero, Arguments, Arguments, Arguments, Arguments, Arguments, Arguments}, Anywhere, true,
     "CALL S ...: runs a subroutine in the caller's mode"},
    {Op::Repeat, Keyword::Repeat, "REPEAT", {Zero, Int(1)}, InSubroutines, false,
     "REPEAT [n]: ends a subroutine's body"},
    {Op::Clickable, Keyword::Clickable, "CLICKABLE", {Count, Points, Points, Points, Points, Points, Points, Points}, InInteraction, true,
     "CLICKABLE P1 ... Pn: points the viewer may drag"},
    {Op::ClickableAlongLine, Keyword::ClickableAlong, "CLICKABLE.ALONG.LINE", {Pt(1), Ln(3)}, InInteraction, false,
     "CLICKABLE P ALONG L: a point the viewer may drag along a line"},
    {Op::ClickableAlongCircle, Keyword::ClickableAlong, "CLICKABLE.ALONG.CIRCLE", {Pt(1), Ci(3)}, InInteraction, false,
     "CLICKABLE P ALONG C: a point the viewer may drag along a circle"},
    {Op::Trace, Keyword::Trace, "TRACE", {Count, Points, Points, Points, Points, Points, Points, Points}, InAnimation, true,
     "TRACE P1 ... Pn: points whose paths are drawn"},
    {Op::Construction, Keyword::Construction, "CONSTRUCTION", {}, InMain, true,
     "CONSTRUCTION S ...: header record left by pass 1; executes as nothing"},
    {Op::Interaction, Keyword::Interaction, "INTERACTION", {}, InMain, true,
     "INTERACTION S: header record left by pass 1; executes as nothing"},
    {Op::Animation, Keyword::Animation, "ANIMATION", {}, InMain, true,
     "ANIMATION S: header record left by pass 1; executes as nothing"},
    {Op::Cls, Keyword::Cls, "CLS", {Zero, Col(1)}, Anywhere, false,
     "CLS [colour]: clears the drawing area"},
    {Op::Screen, Keyword::Screen, "SCREEN", {Zero, Num(1), Num(2), Int(3), Col(4)}, InMain, false,
     "SCREEN w, h [, n [, colour]]: opens the graphics screen"},
    {Op::Window, Keyword::Window, "WINDOW", {Zero, Num(1), Num(2)}, InMain, false,
     "WINDOW a, b: sets the drawing window"},
    {Op::TextWindow, Keyword::TextWindow, "TEXTWINDOW", {Zero, Num(1), Num(2), Num(3), Num(4)}, Anywhere, false,
     "TEXTWINDOW a, b, c, d: sets the text window"},
    {Op::Text, Keyword::Text, "TEXT", {Txt(1), Col(2), Col(3), Int(4)}, Anywhere, false,
     "TEXT t [, colour, colour, n]: shows a text"},
    {Op::Title, Keyword::Title, "TITLE", {Txt(1)}, Anywhere, false,
     "TITLE t: shows a title"},
    {Op::Speed, Keyword::Speed, "SPEED", {Zero, Int(1)}, Anywhere, false,
     "SPEED n: sets the pace of construction steps"},
    {Op::FrameSpeed, Keyword::FrameSpeed, "FRAMESPEED", {Zero, Int(1)}, Anywhere, false,
     "FRAMESPEED n: sets the animation frame time"},
    {Op::Defaults, Keyword::Defaults, "DEFAULTS", {Zero, Packed, Packed, Packed, Packed, Packed, Packed, Packed}, InMain | InInteraction | InAnimation, true,
     "DEFAULTS ...: up to ten drawing defaults, packed into halves of operands 1 to 7"},
    {Op::ToolDefaults, Keyword::ToolDefaults, "TOOLDEFAULTS", {Count, Packed, Packed, Packed, Packed, Packed, Packed, Packed}, InMain | InInteraction | InAnimation, true,
     "TOOLDEFAULTS ...: up to eight instrument settings; the target counts the values"},
    {Op::Menu, Keyword::Menu, "MENU", {Count, Col(1), Col(2), Slot}, InMain, true,
     "MENU [colour, colour]: opens a menu; target the number of items, operand 3 its exit slot"},
    {Op::MenuItem, Keyword::MenuItem, "MENUITEM", {Slot, Txt(1)}, InMain, true,
     "MENUITEM t: a menu entry; target the slot it continues after"},
    {Op::ExitMenu, Keyword::ExitMenu, "EXITMENU", {Slot}, InMain, true,
     "EXITMENU: leaves the menu; target the menu's exit slot"},
    {Op::EndMenu, Keyword::EndMenu, "ENDMENU", {Slot}, InMain, true,
     "ENDMENU: ends a menu; target its own slot"},
    {Op::RepeatMenu, Keyword::RepeatMenu, "REPEATMENU", {Slot}, InMain, true,
     "REPEATMENU: ends a menu that is shown again; target the slot before its MENU"},
    {Op::StepPoint, Keyword::Step, "STEP.POINT", {Pt(1), Fix(2), Fix(3)}, InAnimation, false,
     "STEP P, dx, dy: moves a point by one animation step"},
    {Op::StepCircle, Keyword::Step, "STEP.CIRCLE", {Ci(1), Fix(2), Fix(3), OptFix(4)}, InAnimation, false,
     "STEP C, dx, dy [, dr]: moves and grows a circle by one animation step"},
    {Op::StepPointAlongLine, Keyword::StepAlong, "STEP.POINT.ALONG.LINE", {Pt(1), Ln(3), OptFix(4)}, InAnimation, false,
     "STEP P ALONG L [, d]: moves a point along a line"},
    {Op::StepCircleAlongLine, Keyword::StepAlong, "STEP.CIRCLE.ALONG.LINE", {Ci(1), Ln(3), OptFix(4), OptFix(5)}, InAnimation, false,
     "STEP C ALONG L [, d [, dr]]: moves a circle along a line"},
    {Op::StepPointAlongCircle, Keyword::StepAlong, "STEP.POINT.ALONG.CIRCLE", {Pt(1), Ci(3), OptFix(4)}, InAnimation, false,
     "STEP P ALONG C [, d]: moves a point along a circle"},
    {Op::StepCircleAlongCircle, Keyword::StepAlong, "STEP.CIRCLE.ALONG.CIRCLE", {Ci(1), Ci(3), OptFix(4), OptFix(5)}, InAnimation, false,
     "STEP C ALONG C2 [, d [, dr]]: moves a circle along a circle"},
    {Op::Wait, Keyword::Wait, "WAIT", {}, Anywhere, false,
     "WAIT: waits for the viewer"},
    {Op::WaitAlways, Keyword::WaitAlways, "WAITALWAYS", {}, Anywhere, false,
     "WAITALWAYS: waits for the viewer also in fast mode"},
    {Op::WaitFor, Keyword::Wait, "WAIT.MS", {Zero, Num(1)}, Anywhere, false,
     "WAIT n: waits for the viewer or n milliseconds"},
    {Op::WaitAlwaysFor, Keyword::WaitAlways, "WAITALWAYS.MS", {Zero, Num(1)}, Anywhere, false,
     "WAITALWAYS n: the same also in fast mode"},
    {Op::End, Keyword::End, "END", {}, Anywhere, false,
     "END: ends the program"},
    // clang-format on
};

}  // namespace layout

using layout::Opcodes;

namespace detail {
inline constexpr std::array<std::int8_t, OpcodeMask + 1> OpcodeRows = [] {
    std::array<std::int8_t, OpcodeMask + 1> rows{};
    for (auto& r : rows) r = -1;
    for (std::size_t i = 0; i < std::size(Opcodes); ++i) {
        rows[static_cast<std::size_t>(Opcodes[i].op)] = static_cast<std::int8_t>(i);
    }
    return rows;
}();
}  // namespace detail

// The table row of an opcode (the invisible flag and target are ignored), or null for a
// number that is no opcode.
constexpr const OpcodeInfo* FindOpcode(int opcode) {
    int row = detail::OpcodeRows[static_cast<std::size_t>(opcode & OpcodeMask)];
    return row < 0 ? nullptr : &Opcodes[row];
}

static_assert(std::size(Opcodes) < 128);
static_assert(FindOpcode(1)->op == Op::Point && FindOpcode(255)->op == Op::End);
static_assert(FindOpcode(23) == nullptr && FindOpcode(0) == nullptr);
static_assert(TargetOf(InstructionWord0(Op::MenuItem, false, 32767)) == 32767);
static_assert(TargetOf(InstructionWord0(Op::Point, true, -1)) == -1);
static_assert(OpcodeOf(InstructionWord0(Op::Point, true, 7)) == 1);

// ---- table access ----------------------------------------------------------------------

inline bool HasSlot(const InstructionTable& table, int block, int slot) {
    return block >= 0 && block < static_cast<int>(table.blocks.size()) && slot >= 0 &&
           slot < static_cast<int>(table.blocks[block].size());
}

// The slot, after growing the table (with zero words) so that it exists.
Instruction& SlotForWriting(InstructionTable& table, int block, int slot);

// The kind of a block: 0 for the main program, else its header word 0.
int BlockKind(const InstructionTable& table, int block);

}  // namespace zir
