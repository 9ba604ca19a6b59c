#include "frontend/pass2.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/compiler.h"
#include "frontend/pass1.h"

namespace zir {
namespace {

struct Compiled {
    std::int32_t result = 0;
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
};

Compiled Compile(const std::vector<std::string>& lines) {
    Compiled c;
    c.result = ParseScript(lines, c.table, c.errors, c.names);
    return c;
}

Instruction Slot(const Compiled& c, int block, int slot) {
    EXPECT_TRUE(HasSlot(c.table, block, slot)) << "block " << block << " slot " << slot;
    return HasSlot(c.table, block, slot) ? c.table.blocks[block][slot] : Instruction{};
}

// The only error of a compile that failed in pass 2, as code word and line.
CompileError OnlyError(const Compiled& c) {
    EXPECT_EQ(c.result, FailedInPass2);
    EXPECT_EQ(c.errors.size(), 1u);
    return c.errors.empty() ? CompileError{} : c.errors[0];
}

// Declarations that the statements under test use: points A, B, Q (indexes 0 to 2), lines
// G, H (0, 1), circles K, J (0, 1).
const std::vector<std::string> Declarations = {
    "POINT A 1 2",    "POINT B 3 4",    "POINT Q 5 6",    "LINE G 0 0 1 1",
    "LINE H 0 0 2 1", "CIRCLE K 0 0 5", "CIRCLE J 1 1 5",
};
constexpr int A = 0, B = 1, Q = 2, G = 0, H = 1, K = 0, J = 1;

// The instruction the statement compiles to in the main program after the declarations.
Instruction Main(const std::string& statement) {
    std::vector<std::string> lines = Declarations;
    lines.push_back(statement);
    lines.push_back("END");
    Compiled c = Compile(lines);
    EXPECT_EQ(c.result, CompiledOk) << statement;
    for (const CompileError& e : c.errors) ADD_FAILURE() << statement << ": error " << e.code;
    return Slot(c, 0, static_cast<int>(Declarations.size()) + 1);
}

// The error code word the statement gives in the main program, 0 when it compiles.
std::int32_t MainError(const std::string& statement) {
    std::vector<std::string> lines = Declarations;
    lines.push_back(statement);
    lines.push_back("END");
    Compiled c = Compile(lines);
    if (c.errors.empty()) return 0;
    EXPECT_EQ(c.errors[0].line, static_cast<int>(Declarations.size()) + 1) << statement;
    return c.errors[0].code;
}

// The same inside a subroutine of the given header ("ANIMATION T", ...).
Compiled InBlock(const std::string& header, const std::string& statement) {
    std::vector<std::string> lines = Declarations;
    lines.insert(lines.end(), {"END", header, statement, "REPEAT"});
    return Compile(lines);
}

std::int32_t Word0(Op op, int target, bool invisible = false) {
    return InstructionWord0(op, invisible, target);
}

// ---- operand encodings -----------------------------------------------------------------

TEST(Pass2Operands, CoordinatesAreFixedPointRoundedHalfToEven) {
    Instruction point = Main("POINT Z, 1.5, -2");
    EXPECT_EQ(point[0], Word0(Op::Point, 3));
    EXPECT_EQ(point[1], 98304);
    EXPECT_EQ(point[2], -131072);
    // Shape, colour and size not given use the defaults.
    EXPECT_EQ(point[3], -1);
    EXPECT_EQ(point[4], -1);
    EXPECT_EQ(point[5], -1);
    // 2.5 and 3.5 units of 1/65536 round to the even neighbours 2 and 4.
    Instruction halves = Main("POINT Z, 3.814697265625e-05, 5.340576171875e-05, 1, &HFF0000, 7");
    EXPECT_EQ(halves[1], 2);
    EXPECT_EQ(halves[2], 4);
    EXPECT_EQ(halves[3], 1);
    EXPECT_EQ(halves[4], 0xFF0000);
    EXPECT_EQ(halves[5], 7);
}

TEST(Pass2Operands, DefaultInAnOptionalOperandIsMinusOne) {
    Instruction circle = Main("CIRCLE Z, 0, 0, 1, DEFAULT, 2");
    EXPECT_EQ(circle[0], Word0(Op::CircleCoords, 2));
    EXPECT_EQ(circle[3], 65536);
    EXPECT_EQ(circle[4], -1);
    EXPECT_EQ(circle[5], 2);
    EXPECT_EQ(circle[6], -1);
    EXPECT_EQ(circle[7], -1);
}

TEST(Pass2Operands, OptionalAnglesAreWholeDegreesRequiredOnesAreNot) {
    Instruction arc = Main("CIRCLE Z, 0, 0, 1, (255,0,0), 2, 22.7, -1");
    EXPECT_EQ(arc[4], 0xFF0000);
    EXPECT_EQ(arc[6], 23 * 256);
    EXPECT_EQ(arc[7], -1);
    Instruction polar = Main("LINEPOLAR Z, 0, 0, 22.7");
    EXPECT_EQ(polar[0], Word0(Op::LinePolarCoords, 2));
    EXPECT_EQ(polar[3], 5811);
    Instruction from = Main("Z = LINEPOLAR A, G, -22.7");
    EXPECT_EQ(from[0], Word0(Op::LinePolarFrom, 2));
    EXPECT_EQ(from[1], A);
    EXPECT_EQ(from[2], G);
    EXPECT_EQ(from[3], -5811);
    Instruction width = Main("Z = ARC A, B, 89.5");
    EXPECT_EQ(width[3], 90 * 256);
}

TEST(Pass2Operands, InvisibleFlagAndTargetsOfTwoResultStatements) {
    EXPECT_EQ(Main("IPOINT Z 1 2")[0], Word0(Op::Point, 3, true));
    Instruction tangent = Main("Z1, Z2 = ITANGENT Q, J, 1, 2, 3");
    EXPECT_EQ(tangent[0], Word0(Op::Tangent, 2, true));
    EXPECT_EQ(tangent[1], 3);
    EXPECT_EQ(tangent[2], Q);
    EXPECT_EQ(tangent[3], J);
    EXPECT_EQ(tangent[4], 1);
    EXPECT_EQ(tangent[5], 2);
    EXPECT_EQ(tangent[6], 3);
    Instruction start = Main("Z, P = STARTLINE B, 30, 100");
    EXPECT_EQ(start[0], Word0(Op::StartLine, 2));
    EXPECT_EQ(start[1], 3);
    EXPECT_EQ(start[2], B);
    EXPECT_EQ(start[3], 30 * 256);
    EXPECT_EQ(start[4], 100 * 65536);
    EXPECT_EQ(start[5], -1);
}

TEST(Pass2Operands, TextsNumbersAndAbsentOptionalTexts) {
    Instruction text = Main("TEXT \"Hallo\" 0xFF 2 3.5");
    EXPECT_EQ(text[0], Word0(Op::Text, 0));
    EXPECT_EQ(text[1], 0xFF);
    EXPECT_EQ(text[2], 2);
    EXPECT_EQ(text[3], 4);
    Instruction numbered = Main("MARKNUMBERANGLE G, H");
    EXPECT_EQ(numbered[0], Word0(Op::MarkNumberAngleLines, G));
    EXPECT_EQ(numbered[1], H);
    EXPECT_EQ(numbered[2], -1);
    Instruction labelled = Main("MARKANGLE A, B, Q, \"alpha\", 24");
    EXPECT_EQ(labelled[0], Word0(Op::MarkAnglePoints, A));
    EXPECT_EQ(labelled[3], 0);
    EXPECT_EQ(labelled[4], 24);
    EXPECT_EQ(labelled[5], -1);
    Instruction wait = Main("WAIT 1500");
    EXPECT_EQ(wait[0], Word0(Op::WaitFor, 0));
    EXPECT_EQ(wait[1], 1500);
    Instruction screen = Main("SCREEN 800 600");
    EXPECT_EQ(screen[1], 800);
    EXPECT_EQ(screen[2], 600);
    EXPECT_EQ(screen[3], -1);
    EXPECT_EQ(screen[4], -1);
}

TEST(Pass2Operands, MarkLineFormsByTheirSecondToken) {
    Instruction numbers = Main("MARKLINE G, 3, 4");
    EXPECT_EQ(numbers[0], Word0(Op::MarkLine, G));
    EXPECT_EQ(static_cast<std::uint32_t>(numbers[1]), 0xFFFF0003u);
    EXPECT_EQ(numbers[2], 4);
    EXPECT_EQ(numbers[3], -1);
    Instruction points = Main("MARKNUMBERLINE H, B, Q, 2");
    EXPECT_EQ(points[0], Word0(Op::MarkNumberLine, H));
    EXPECT_EQ(points[1], B);
    EXPECT_EQ(points[2], Q);
    EXPECT_EQ(points[3], 2);
    EXPECT_EQ(points[4], -1);
    Instruction bare = Main("MARKLINE G");
    EXPECT_EQ(bare[1], -1);
    EXPECT_EQ(bare[2], -1);
}

TEST(Pass2Operands, DefaultsPackRoundedDownValuesIntoHalfWords) {
    Instruction all = Main("DEFAULTS 1 2 3 4 5.9 6 7 8 -0.5 10.9 99");
    EXPECT_EQ(all[0], Word0(Op::Defaults, 0));
    EXPECT_EQ(all[1], 4);
    EXPECT_EQ(all[2], 1);
    EXPECT_EQ(all[3], 3);
    EXPECT_EQ(all[4], 6 << 16 | 8);
    EXPECT_EQ(all[5], 2);
    EXPECT_EQ(static_cast<std::uint32_t>(all[6]), 0xFFFF0005u);
    EXPECT_EQ(all[7], 7 << 16 | 10 * 256);
    Instruction few = Main("DEFAULTS &HFF 2 3 4 5");
    EXPECT_EQ(few[2], 0xFF);
    EXPECT_EQ(few[4], -1);
    EXPECT_EQ(static_cast<std::uint32_t>(few[6]), 0xFFFF0005u);
    EXPECT_EQ(few[7], -1);
}

TEST(Pass2Operands, ToolDefaultsCountValuesAndLeaveTheRestZero) {
    Instruction all = Main("TOOLDEFAULTS 1.9 2 -3.5 &HFF 5 6 7 8 9 10");
    EXPECT_EQ(all[0], Word0(Op::ToolDefaults, 10));
    EXPECT_EQ(all[1], 2 << 16 | 1);
    EXPECT_EQ(all[2], 0xFFFC);
    EXPECT_EQ(all[3], 0xFF);
    EXPECT_EQ(all[7], 8);
    Instruction one = Main("TOOLDEFAULTS 30");
    EXPECT_EQ(one[0], Word0(Op::ToolDefaults, 1));
    EXPECT_EQ(one[1], 30);
    for (int w = 2; w < 8; ++w) EXPECT_EQ(one[w], 0) << w;
}

TEST(Pass2Operands, ClickableAndTracePackPointIndexesInHalfWords) {
    Compiled c = InBlock("INTERACTION T", "CLICKABLE A B Q");
    ASSERT_EQ(c.result, CompiledOk);
    Instruction click = Slot(c, 1, 1);
    EXPECT_EQ(click[0], Word0(Op::Clickable, 3));
    EXPECT_EQ(click[1], B << 16 | A);
    EXPECT_EQ(click[2], Q);
    std::string fourteen = "TRACE";
    for (int i = 0; i < 14; ++i) fourteen += i % 2 ? " B" : " Q";
    Compiled t = InBlock("ANIMATION T", fourteen);
    ASSERT_EQ(t.result, CompiledOk);
    EXPECT_EQ(Slot(t, 1, 1)[0], Word0(Op::Trace, 14));
    EXPECT_EQ(Slot(t, 1, 1)[7], B << 16 | Q);
    EXPECT_EQ(OnlyError(InBlock("ANIMATION T", fourteen + " A")).code, ErrorCode(30));
}

TEST(Pass2Operands, StepsWithAndWithoutOptionalDistances) {
    Compiled c = InBlock("ANIMATION T", "STEP J 1 2");
    ASSERT_EQ(c.result, CompiledOk);
    Instruction step = Slot(c, 1, 1);
    EXPECT_EQ(step[0], Word0(Op::StepCircle, J));
    EXPECT_EQ(step[2], 2 * 65536);
    EXPECT_EQ(step[3], -1);
    Compiled along = InBlock("ANIMATION T", "STEP Q ALONG K 0.5");
    ASSERT_EQ(along.result, CompiledOk);
    EXPECT_EQ(Slot(along, 1, 1)[0], Word0(Op::StepPointAlongCircle, Q));
    EXPECT_EQ(Slot(along, 1, 1)[1], K);
    EXPECT_EQ(Slot(along, 1, 1)[2], 32768);
}

// ---- final opcodes ---------------------------------------------------------------------

TEST(Pass2Opcodes, SettledByTheTypesOfTheNames) {
    Instruction circleLine = Main("Z1, Z2 = CROSS K, G");
    EXPECT_EQ(circleLine[0], Word0(Op::CrossCircleLine, 3));
    EXPECT_EQ(circleLine[1], 4);
    EXPECT_EQ(circleLine[2], K);
    EXPECT_EQ(circleLine[3], G);
    Instruction lineCircle = Main("Z1, Z2 = CROSS H, J");
    EXPECT_EQ(lineCircle[0], Word0(Op::CrossLineCircle, 3));
    EXPECT_EQ(lineCircle[2], H);
    EXPECT_EQ(lineCircle[3], J);
    EXPECT_EQ(OpcodeOf(Main("Z1, Z2 = CROSS J, K")[0]), 21);
    EXPECT_EQ(Main("J = COPY K")[0], Word0(Op::CopyCircle, J));
    EXPECT_EQ(Main("J = COPY K")[1], K);
    EXPECT_EQ(OpcodeOf(Main("Z = BISECTOR G, H")[0]), 14);
    EXPECT_EQ(OpcodeOf(Main("Z = ARC G, H, 10")[0]), 31);
    // Names first met after the statement have their final types in pass 2.
    Compiled later = Compile({"Z = CIRCLE A, Y", "POINT Y 1 2", "X = MIDLINE U, V",
                              "LINE U 0 0 1 1", "LINE V 0 0 1 2", "END"});
    ASSERT_EQ(later.result, CompiledOk);
    EXPECT_EQ(OpcodeOf(Slot(later, 0, 1)[0]), 24);
    EXPECT_EQ(OpcodeOf(Slot(later, 0, 3)[0]), 14);
}

TEST(Pass2Opcodes, TypesThatFitNoFormGiveTheirMessages) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"K = ARC G, H", ErrorCode(12)},
        // COPY declares nothing, so a new name never fits.
        {"Z = COPY G", ErrorCode(10, 0, 1)},
        {"Z1, Z2 = CROSS Y, X", ErrorCode(10, 0, 3)},
        {"Z = MIDLINE Y, X", ErrorCode(10, 0, 1)},
        {"Z = ARC Y, X", ErrorCode(10, 0, 1)},
        {"CLICKABLE A ALONG Y", ErrorCode(10, 2, 0)},
        // A name declared twice in one statement is found as a point where a line is due.
        {"L = LINE L, L", ErrorCode(10, 1, 2)},
    };
    for (auto [statement, code] : cases) EXPECT_EQ(MainError(statement), code) << statement;
    EXPECT_EQ(OnlyError(InBlock("ANIMATION T", "STEP Z 1 2")).code, ErrorCode(10, 0, 1));
    EXPECT_EQ(OnlyError(InBlock("ANIMATION T", "STEP Z ALONG G")).code, ErrorCode(10, 0, 1));
}

TEST(Pass2Opcodes, ASlotHoldingAnotherStatementGivesMessage21) {
    std::vector<std::string> lines = {"POINT A 1 2", "REVERT G", "END"};
    std::vector<std::string_view> views(lines.begin(), lines.end());
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
    ASSERT_EQ(RunPass1(views, table, errors, names), 0);
    table.blocks[0][1][0] = OpcodeNumber(Op::Revert);
    table.blocks[0][2][0] |= InvisibleFlag;
    ASSERT_EQ(RunPass2(views, table, errors, names, {}), 2);
    EXPECT_EQ(errors[0].code, ErrorCode(21));
    EXPECT_EQ(errors[0].line, 1);
    EXPECT_EQ(errors[1].code, ErrorCode(21));
    EXPECT_EQ(errors[1].line, 2);
    // The END after them still finds its slot.
    EXPECT_EQ(table.blocks[0][3][0], 255);
}

// ---- blocks ----------------------------------------------------------------------------

TEST(Pass2Blocks, MainStatementsAfterTheSubroutinesFollowTheLastEarlierOne) {
    Compiled c = Compile({"POINT A 1 2", "END", "CONSTRUCTION S X", "X = MIDDLE A, A", "REPEAT",
                          "POINT B 3 4", "ANIMATION T", "REPEAT", "POINT C 5 6"});
    ASSERT_EQ(c.result, CompiledOk);
    EXPECT_EQ(Slot(c, 0, 3)[0], Word0(Op::Point, 2));
    EXPECT_EQ(Slot(c, 0, 3)[1], 3 * 65536);
    EXPECT_EQ(Slot(c, 0, 4)[0], Word0(Op::Point, 3));
    EXPECT_EQ(Slot(c, 0, 4)[2], 6 * 65536);
    EXPECT_EQ(Slot(c, 0, 0)[HeaderEnd], 5);
    EXPECT_EQ(Slot(c, 1, 2)[0], Word0(Op::Middle, 1));
    EXPECT_EQ(Slot(c, 1, 3)[0], Word0(Op::Repeat, 0));
    EXPECT_EQ(Slot(c, 1, 3)[1], -1);
    EXPECT_EQ(Slot(c, 2, 1)[0], Word0(Op::Repeat, 0));
}

TEST(Pass2Blocks, ParameterListHoldsTypesAndIndexesOnce) {
    Compiled c = Compile({"END", "CONSTRUCTION S P, G, K", "X = MIDDLE P, P", "LINE G 0 0 1 1",
                          "CIRCLE K 0 0 1", "REPEAT"});
    ASSERT_EQ(c.result, CompiledOk);
    Instruction list = Slot(c, 1, ParameterSlot);
    // Compiled twice (before all calls, and in its place), the list is what one compile gives.
    EXPECT_EQ(list[0], TypePoint | TypeLine << 4 | TypeCircle << 8);
    EXPECT_EQ(list[1], 0);
    EXPECT_EQ(list[2], 0 << 16 | 1);
    EXPECT_EQ(static_cast<std::uint32_t>(list[3]), 0xFFFF0000u);
    for (int w = 4; w < 8; ++w) EXPECT_EQ(static_cast<std::uint32_t>(list[w]), 0xFFFFFFFFu) << w;
    EXPECT_EQ(ParameterType(list, 2), TypeCircle);
    EXPECT_EQ(ParameterIndex(list, 1), 0);
}

// ---- calls -----------------------------------------------------------------------------

// A CONSTRUCTION S with a point and a line parameter, an ANIMATION N and an INTERACTION I,
// with the given statement placed in the main program before all of them.
Compiled CallScript(const std::string& call, const std::string& header = "CONSTRUCTION S P, L") {
    return Compile({"POINT A 1 2", "LINE G 0 0 1 1", call, "END", header, "M = MIDDLE P, P",
                    "L2 = LINEPOLAR P, L, 30", "REPEAT", "ANIMATION N", "REPEAT", "INTERACTION I",
                    "REPEAT"});
}

TEST(Pass2Calls, ArgumentsCheckedAgainstAConstructionDefinedLater) {
    for (const char* header : {"CONSTRUCTION S P, L", "construction S P, L",
                               "  CONSTRUCTION S P, L", "CONSTRUCTION,S P, L"}) {
        Compiled c = CallScript("CALL S A G", header);
        ASSERT_EQ(c.result, CompiledOk) << header;
        Instruction call = Slot(c, 0, 3);
        EXPECT_EQ(call[0], Word0(Op::Call, 1));
        EXPECT_EQ(call[1], 0);
        EXPECT_EQ(call[2], 0 << 16 | 0);
        for (int w = 3; w < 8; ++w) EXPECT_EQ(static_cast<std::uint32_t>(call[w]), 0xFFFFFFFFu);
    }
    Compiled slow = CallScript("CONSTRUCT S SLOW A G");
    ASSERT_EQ(slow.result, CompiledOk);
    EXPECT_EQ(Slot(slow, 0, 3)[0], Word0(Op::CallSlow, 1));
}

TEST(Pass2Calls, WrongArgumentsGiveMessages28And29) {
    EXPECT_EQ(OnlyError(CallScript("CALL S A")).code, ErrorCode(28, 2));
    EXPECT_EQ(OnlyError(CallScript("CALL S FAST A G G")).code, ErrorCode(28, 2));
    EXPECT_EQ(OnlyError(CallScript("CALL S A A")).code, ErrorCode(29, 1, TypeLine));
    EXPECT_EQ(OnlyError(CallScript("CALL S G G")).code, ErrorCode(29, 0, TypePoint));
    EXPECT_EQ(OnlyError(CallScript("CALL S A 5")).code, ErrorCode(29, 1, TypeLine));
}

TEST(Pass2Calls, KeywordAndKindOfTheCalledBlock) {
    Compiled animate = CallScript("CALL N PACE 1 2 3");
    ASSERT_EQ(animate.result, CompiledOk);
    EXPECT_EQ(Slot(animate, 0, 3)[0], Word0(Op::CallPace, 2));
    EXPECT_EQ(Slot(animate, 0, 3)[2], 0);
    EXPECT_EQ(CallScript("animate N").result, CompiledOk);
    EXPECT_EQ(CallScript("INTERACT I").result, CompiledOk);
    EXPECT_EQ(OnlyError(CallScript("CONSTRUCT N")).code, ErrorCode(27));
    EXPECT_EQ(OnlyError(CallScript("INTERACT S A G")).code, ErrorCode(27));
    EXPECT_EQ(OnlyError(CallScript("ANIMATE I")).code, ErrorCode(27));
    // A name that heads no block.
    EXPECT_EQ(OnlyError(CallScript("CALL X")).code, ErrorCode(22));
}

TEST(Pass2Calls, InsideAConstructionOnlyAParameterlessOneCallsOnlyConstructions) {
    auto script = [](const std::string& caller, const std::string& call) {
        return Compile(
            {"END", "CONSTRUCTION C", "REPEAT", "ANIMATION N", "REPEAT", caller, call, "REPEAT"});
    };
    Compiled ok = script("CONSTRUCTION S", "CALL C");
    ASSERT_EQ(ok.result, CompiledOk);
    EXPECT_EQ(Slot(ok, 3, 2)[0], Word0(Op::Call, 1));
    EXPECT_EQ(OnlyError(script("CONSTRUCTION S", "CALL N")).code, ErrorCode(31, 1));
    CompileError e = OnlyError(script("CONSTRUCTION S P", "CALL C"));
    EXPECT_EQ(e.code, ErrorCode(31, 1));
    EXPECT_EQ(e.line, 7);
    EXPECT_EQ(script("ANIMATION S", "CALL N").result, CompiledOk);
}

// ---- where statements stand ------------------------------------------------------------

TEST(Pass2Places, StatementsOutsideTheirKindsOfBlockGiveMessage31) {
    EXPECT_EQ(MainError("REPEAT"), ErrorCode(31, KindMain));
    EXPECT_EQ(MainError("STEP A 1 2"), ErrorCode(31, KindMain));
    EXPECT_EQ(MainError("CLICKABLE A"), ErrorCode(31, KindMain));
    const std::pair<const char*, int> inBlocks[] = {
        {"SCREEN 640 480", KindConstruction},
        {"WINDOW 1 2", KindInteraction},
        {"MENU", KindAnimation},
        {"MENUITEM \"x\"", KindInteraction},
        {"ENDMENU", KindConstruction},
        {"DEFAULTS 1", KindConstruction},
        {"TOOLDEFAULTS 1", KindConstruction},
        {"STEP A 1 2", KindInteraction},
        {"TRACE A", KindConstruction},
        {"CLICKABLE A", KindAnimation},
        {"CLICKABLE A ALONG G", KindConstruction},
    };
    const char* headers[] = {"", "CONSTRUCTION T", "INTERACTION T", "ANIMATION T"};
    for (auto [statement, kind] : inBlocks) {
        CompileError e = OnlyError(InBlock(headers[kind], statement));
        EXPECT_EQ(e.code, ErrorCode(31, kind)) << statement;
        EXPECT_EQ(e.line, static_cast<int>(Declarations.size()) + 3) << statement;
    }
    for (const char* header : {"INTERACTION T", "ANIMATION T"}) {
        EXPECT_EQ(InBlock(header, "DEFAULTS 1 2").result, CompiledOk) << header;
    }
}

TEST(Pass2Places, AnErrorInAMainRepeatKeepsTheLaterSlotsInStep) {
    Compiled c = Compile({"POINT A 1 2", "REPEAT", "POINT B 3 4", "END"});
    CompileError e = OnlyError(c);
    EXPECT_EQ(e.code, ErrorCode(31, KindMain));
    EXPECT_EQ(e.line, 2);
    EXPECT_EQ(Slot(c, 0, 3)[0], Word0(Op::Point, 1));
}

// ---- menus -----------------------------------------------------------------------------

TEST(Pass2Menus, EndMenuLinksItemsAndExitsToItself) {
    Compiled c = Compile({"POINT A 1 2", "MENU &HFF", "MENUITEM \"eins\"", "POINT B 1 2",
                          "EXITMENU", "MENUITEM \"zwei\"", "ENDMENU", "END"});
    ASSERT_EQ(c.result, CompiledOk);
    Instruction menu = Slot(c, 0, 2);
    EXPECT_EQ(menu[0], Word0(Op::Menu, 2));
    EXPECT_EQ(menu[1], 0xFF);
    EXPECT_EQ(menu[2], -1);
    EXPECT_EQ(menu[3], 7);
    EXPECT_EQ(Slot(c, 0, 3)[0], Word0(Op::MenuItem, 7));
    EXPECT_EQ(Slot(c, 0, 3)[1], 0);
    EXPECT_EQ(Slot(c, 0, 5)[0], Word0(Op::ExitMenu, 7));
    EXPECT_EQ(Slot(c, 0, 6)[0], Word0(Op::MenuItem, 7));
    EXPECT_EQ(Slot(c, 0, 6)[1], 1);
    EXPECT_EQ(Slot(c, 0, 7)[0], Word0(Op::EndMenu, 7));
}

TEST(Pass2Menus, RepeatMenuOfTheFirstStatementLinksToSlotZero) {
    Compiled c = Compile({"MENU", "MENUITEM \"a\"", "EXITMENU", "REPEATMENU", "END"});
    ASSERT_EQ(c.result, CompiledOk);
    EXPECT_EQ(Slot(c, 0, 1)[0], Word0(Op::Menu, 1));
    EXPECT_EQ(Slot(c, 0, 1)[3], 4);
    EXPECT_EQ(Slot(c, 0, 2)[0], Word0(Op::MenuItem, 0));
    EXPECT_EQ(Slot(c, 0, 3)[0], Word0(Op::ExitMenu, 4));
    EXPECT_EQ(Slot(c, 0, 4)[0], Word0(Op::RepeatMenu, 0));
}

TEST(Pass2Menus, ANestedMenuIsPassedOverUpToItsEnd) {
    Compiled c = Compile({"MENU", "MENUITEM \"a\"", "MENU", "MENUITEM \"b\"", "EXITMENU", "ENDMENU",
                          "MENUITEM \"c\"", "REPEATMENU", "END"});
    ASSERT_EQ(c.result, CompiledOk);
    EXPECT_EQ(Slot(c, 0, 1)[0], Word0(Op::Menu, 2));
    EXPECT_EQ(Slot(c, 0, 1)[3], 8);
    EXPECT_EQ(Slot(c, 0, 2)[0], Word0(Op::MenuItem, 0));
    EXPECT_EQ(Slot(c, 0, 3)[0], Word0(Op::Menu, 1));
    EXPECT_EQ(Slot(c, 0, 4)[0], Word0(Op::MenuItem, 6));
    EXPECT_EQ(Slot(c, 0, 5)[0], Word0(Op::ExitMenu, 6));
    EXPECT_EQ(Slot(c, 0, 7)[0], Word0(Op::MenuItem, 0));
    EXPECT_EQ(Slot(c, 0, 8)[0], Word0(Op::RepeatMenu, 0));
}

TEST(Pass2Menus, MenusWithoutEndAndEntriesWithoutMenu) {
    // The main program ends before the ENDMENU that follows the subroutine.
    Compiled open = Compile({"MENU", "END", "ANIMATION T", "ENDMENU", "REPEAT"});
    ASSERT_EQ(open.errors.size(), 2u);
    EXPECT_EQ(open.errors[0].code, ErrorCode(32));
    EXPECT_EQ(open.errors[0].line, 1);
    EXPECT_EQ(open.errors[1].code, ErrorCode(31, KindAnimation));
    Compiled c = Compile({"MENU", "MENUITEM \"a\"", "END", "MENU", "ENDMENU"});
    // Only the first MENU fails; its entry then has no MENU that linked it.
    ASSERT_EQ(c.errors.size(), 2u);
    EXPECT_EQ(c.errors[0].code, ErrorCode(32));
    EXPECT_EQ(c.errors[1].code, ErrorCode(34));
    EXPECT_EQ(c.errors[1].line, 2);
    EXPECT_EQ(OnlyError(Compile({"ENDMENU", "END"})).code, ErrorCode(34));
    EXPECT_EQ(OnlyError(Compile({"END", "EXITMENU"})).code, ErrorCode(34));
}

TEST(Pass2Menus, AtMost126ItemsAndExits) {
    for (const char* entry : {"MENUITEM \"x\"", "EXITMENU"}) {
        std::vector<std::string> lines = {"MENU"};
        lines.insert(lines.end(), MaxMenuEntries, entry);
        lines.insert(lines.end(), {"ENDMENU", "END"});
        EXPECT_EQ(Compile(lines).result, CompiledOk) << entry;
        lines.insert(lines.begin() + 1, entry);
        Compiled c = Compile(lines);
        ASSERT_FALSE(c.errors.empty()) << entry;
        EXPECT_EQ(c.errors[0].code, ErrorCode(33)) << entry;
        EXPECT_EQ(c.errors[0].line, 1) << entry;
    }
}

TEST(Pass2Menus, LinksBeyondWhatATargetHoldsAreRejected) {
    // The ENDMENU lands in slot 32768, which a target cannot name.
    std::vector<std::string> lines(MaxTarget - 2, "CLS");
    lines.insert(lines.end(), {"MENU", "MENUITEM \"x\"", "ENDMENU", "END"});
    Compiled c = Compile(lines);
    ASSERT_EQ(c.result, FailedInPass2);
    EXPECT_EQ(c.errors[0].code, ErrorCode(24));
    EXPECT_EQ(c.errors[0].line, MaxTarget - 1);
    // One slot earlier it links to slot 32767 and compiles.
    lines.erase(lines.begin());
    Compiled ok = Compile(lines);
    ASSERT_EQ(ok.result, CompiledOk);
    EXPECT_EQ(Slot(ok, 0, MaxTarget)[0], Word0(Op::EndMenu, MaxTarget));
    EXPECT_EQ(TargetOf(Slot(ok, 0, MaxTarget - 1)[0]), MaxTarget);
}

}  // namespace
}  // namespace zir
