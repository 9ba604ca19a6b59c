// What the two passes make of each statement, seen through the listing (opcode, flags and
// every operand decoded by name), and the errors they give, each at its line.
#include "frontend/pass2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frontend/compiler.h"
#include "frontend/listing.h"
#include "frontend/pass1.h"

namespace zir {
namespace {

// Points A, B, Q; lines G, H; circles K, J: seven lines before the statements under test.
const std::vector<std::string> Declarations = {"POINT A 1 2",    "POINT B 3 4",    "POINT Q 5 6",
                                               "LINE G 0 0 1 1", "LINE H 0 0 2 1", "CIRCLE K 0 0 5",
                                               "CIRCLE J 1 1 5"};
// After them: CONSTRUCTION C with a point and a line parameter, ANIMATION N, INTERACTION I.
const std::vector<std::string> Subroutines = {
    "CONSTRUCTION C P, L", "M = MIDDLE P, P", "L2 = LINEPOLAR P, L, 30", "REPEAT",
    "ANIMATION N",         "REPEAT",          "INTERACTION I",           "REPEAT"};

struct Compiled {
    std::int32_t result = 0;
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
};

// The declarations, the lines of the case ("|" between them; END added when the case has
// none) and the subroutines.
Compiled Compile(const std::string& lines, bool declared = true) {
    std::vector<std::string> script = declared ? Declarations : std::vector<std::string>{};
    bool ends = false;
    for (std::size_t start = 0, bar = 0; bar != std::string::npos; start = bar + 1) {
        bar = lines.find('|', start);
        script.push_back(lines.substr(start, bar - start));
        ends = ends || script.back() == "END";
    }
    if (!ends) script.push_back("END");
    script.insert(script.end(), Subroutines.begin(), Subroutines.end());
    Compiled c;
    c.result = ParseScript(script, c.table, c.errors, c.names);
    return c;
}

// The errors as "line:message.detail.detail", lines counted from the case's first line.
std::string Errors(const Compiled& c, int offset = static_cast<int>(Declarations.size())) {
    std::string text;
    for (const CompileError& e : c.errors) {
        text += (text.empty() ? "" : " ") + std::to_string(e.line ? e.line - offset : 0) + ":" +
                std::to_string(ErrorMessageNumber(e.code));
        if (ErrorDetail1(e.code) || ErrorDetail2(e.code))
            text += "." + std::to_string(ErrorDetail1(e.code));
        if (ErrorDetail2(e.code)) text += "." + std::to_string(ErrorDetail2(e.code));
    }
    return text;
}

// The listing line of one slot, without its slot number and with single blanks.
std::string Listed(const Compiled& c, int block, int slot) {
    const std::string listing = ListProgram(c.table, c.names);
    char key[32];
    std::snprintf(key, sizeof key, "\n%5d:%-6d", block, slot);
    const std::size_t at = listing.find(key);
    if (at == std::string::npos) return "no slot";
    std::string line;
    for (std::size_t i = at + std::strlen(key); i < listing.size() && listing[i] != '\n'; ++i) {
        if (listing[i] != ' ' || (!line.empty() && line.back() != ' ')) line += listing[i];
    }
    return line + (c.errors.empty() ? "" : " errors " + Errors(c));
}

TEST(Compiling, EachFormListsItsOpcodeAndOperands) {
    const std::pair<const char*, const char*> cases[] = {
        {"POINT Z, 1.5, -2", "1 POINT Z 1.5 -2 - - -"},
        {"POINT Z 1 2 'the point 5", "1 POINT Z 1 2 - - -"},  // a comment ends the statement
        {"POINT Z 1 2 .5 +5 7", "1 POINT Z 1 2 - - -"},
        // 2.5 and 3.5 units of 1/65536 round to the even neighbours 2 and 4.
        {"IPOINT Z 3.814697265625e-05, 5.340576171875e-05, 1, &HFF0000, 7",
         "1 POINT I Z 3.05176e-05 6.10352e-05 1 #FF0000 7"},
        {"LINE Z 0 0 1 1", "2 LINE Z 0 0 1 1 - - -"},
        {"Z = ILINE A B", "12 LINE.POINTS I Z A B - - -"},
        // Required angles keep 1/256 degree, optional ones are whole degrees.
        {"LINEPOLAR Z, 0, 0, 22.7", "3 LINEPOLAR Z 0 0 22.6992deg - - -"},
        {"Z = LINEPOLAR A, G, -22.7", "15 LINEPOLAR.POINT Z A G -22.6992deg - - -"},
        {"CIRCLE Z, 0, 0, 1, DEFAULT, 2", "4 CIRCLE Z 0 0 1 - 2 - -"},
        {"CIRCLE Z, 0, 0, 1, (255,0,0), 2, 22.7, -1", "4 CIRCLE Z 0 0 1 #FF0000 2 23deg -"},
        {"Z = CIRCLE A, B", "24 CIRCLE.POINT Z A B - - - -"},
        {"Z = ICIRCLE A, G", "25 CIRCLE.LINE I Z A G - - - -"},
        // Names first met after the statement have their final types in pass 2.
        {"Z = CIRCLE A, Y|POINT Y 1 2", "24 CIRCLE.POINT Z A Y - - - -"},
        {"X = MIDLINE U, V|LINE U 0 0 1 1|LINE V 0 0 1 2", "14 BISECTOR X U V - - -"},
        {"B = COPY A", "5 COPY.POINT B A"},
        {"H = COPY G", "6 COPY.LINE H G"},
        {"J = COPY K", "7 COPY.CIRCLE J K"},
        {"Z = CROSS G, H", "8 CROSS.LINES Z G H - - -"},
        {"Z1, Z2 = CROSS K, G", "19 CROSS.CIRCLE.LINE Z1 Z2 K G - - -"},
        {"Z1, Z2 = CROSS H, J", "20 CROSS.LINE.CIRCLE Z1 Z2 H J - - -"},
        {"Z1, Z2 = ICROSS J, K", "21 CROSS.CIRCLES I Z1 Z2 J K - - -"},
        {"Z = MIDDLE A, B", "9 MIDDLE Z A B - - -"},
        {"MOVECIRCLE K, A", "10 MOVECIRCLE K A - -"},
        {"REVERT G", "11 REVERT G"},
        {"Z = MIDLINE A, B", "13 MIDLINE Z A B - - -"},
        {"Z = BISECTOR G, H", "14 BISECTOR Z G H - - -"},
        {"Z1, Z2 = ITANGENT Q, J, 1, 2, 3", "16 TANGENT I Z1 Z2 Q J 1 #000002 3"},
        {"Z = ADVANCETO A, B, 5", "17 ADVANCETO Z A B 5 - - -"},
        {"Z = ADVANCEON A, G, 5", "18 ADVANCEON Z A G 5 - - -"},
        {"Z1, Z2 = ENDCIRCLE K", "22 CIRCLEND Z1 Z2 K - - -"},
        {"Z = ARC A, B, 89.5", "26 ARC.POINTS Z A B 90deg - -"},
        {"Z = ARC G, H, 10", "31 ARC.LINES Z G H 10 - -"},
        {"Z, P = STARTLINE B, 30, 100", "27 STARTLINE Z P B 30deg 100 - - -"},
        {"FILL A, B, Q", "28 FILLTRIANGLE A B Q - -"},
        {"FILL Z, Y, X", "28 FILLTRIANGLE Z Y X - -"},
        {"FILL Z, &HFF", "29 FILLCIRCLE Z #0000FF -"},
        {"ORDERLINES G, H", "32 ORDERLINES G H"},
        {"MARKPOINT A", "33 MARKPOINT A - -"},
        {"MARKLINE G, Y, X", "34 MARKLINE G Y X - - -"},
        {"MARKLINE G, 3, 4", "34 MARKLINE G numbers 3 4 -"},
        {"MARKNUMBERLINE H, B, Q, 2", "38 MARKNUMBERLINE H B Q 2 - -"},
        // The form of MARKANGLE is told by the first name whose type is known.
        {"MARKANGLE Z, G, \"a\"", "35 MARKANGLE.LINES Z G \"a\" - - -"},
        {"MARKANGLE A, B, Q, \"alpha\", 24", "36 MARKANGLE.POINTS A B Q \"alpha\" 24 -"},
        {"MARKANGLE A, Y, X, \"a\"", "36 MARKANGLE.POINTS A Y X \"a\" - -"},
        {"MARKANGLE Z, A, Y, \"a\"", "36 MARKANGLE.POINTS Z A Y \"a\" - -"},
        {"MARKANGLE Z, Y, A, \"a\"", "36 MARKANGLE.POINTS Z Y A \"a\" - -"},
        {"MARKNUMBERANGLE G, H", "39 MARKNUMBERANGLE.LINES G H - - - -"},
        {"MARKNANGLE A, B, Q", "40 MARKNUMBERANGLE.POINTS A B Q - - -"},
        {"CALL C A G", "48 CALL block 1 C A G"},
        {"CONSTRUCT C FAST A G", "45 CALL.FAST block 1 C A G"},
        {"construct C pace A G", "46 CALL.PACE block 1 C A G"},
        {"CALL N PACE 1 2 3", "46 CALL.PACE block 2 N"},
        {"ANIMATE N TOOLS", "47 CALL.SLOW block 2 N"},
        {"INTERACT I", "48 CALL block 3 I"},
        {"CLS", "65 CLS -"},
        {"SCREEN 800 600", "66 SCREEN 800 600 - -"},
        {"WINDOW 1 2", "67 WINDOW 1 2"},
        {"TWINDOW 1 2 3 4", "68 TEXTWINDOW 1 2 3 4"},
        {"TEXT \"Hallo\" 0xFF 2 3.5", "72 TEXT \"Hallo\" #0000FF #000002 4"},
        {"TITLE \"x\"", "73 TITLE \"x\""},
        {"SPEED 5", "76 SPEED 5"},
        {"FRAME 50", "77 FRAMESPEED 50"},
        // Values rounded down and packed into half words; fewer than ten leave -1.
        {"DEFAULTS 1 2 3 4 5.9 6 7 8 -0.5 10.9 99",
         "80 DEFAULTS 0x00000004 0x00000001 0x00000003 0x00060008 0x00000002 0xFFFF0005 "
         "0x00070A00"},
        {"DEFAULTS &HFF 2 3 4 5",
         "80 DEFAULTS 0x00000004 0x000000FF 0x00000003 0xFFFFFFFF 0x00000002 0xFFFF0005 "
         "0xFFFFFFFF"},
        {"TOOLDEFAULTS 1.9 2 -3.5 &HFF 5 6 7 8 9 10",
         "81 TOOLDEFAULTS n=10 0x00020001 0x0000FFFC 0x000000FF 0x00000005 0x00000006 "
         "0x00000007 0x00000008"},
        {"TOOLDEFAULTS 30",
         "81 TOOLDEFAULTS n=1 0x0000001E 0x00000000 0x00000000 0x00000000 0x00000000 "
         "0x00000000 0x00000000"},
        {"WAIT", "128 WAIT"},
        {"WAITALWAYS", "129 WAITALWAYS"},
        {"WAIT 1500", "130 WAIT.MS 1500"},
        {"WAITALWAYS 5", "131 WAITALWAYS.MS 5"},
        {"end 1 2 3", "255 END"}};
    for (auto [statement, listed] : cases) {
        EXPECT_EQ(Listed(Compile(statement), 0, 8), listed) << statement;
    }
}

TEST(Compiling, StatementsOfSubroutinesListTheirOperands) {
    const std::pair<const char*, const char*> cases[] = {
        {"ANIMATION T|STEP A 1 2", "97 STEP.POINT A 1 2"},
        {"ANIMATION T|STEP J 1 2", "98 STEP.CIRCLE J 1 2 -"},
        {"ANIMATION T|STEP A ALONG G", "102 STEP.POINT.ALONG.LINE A G -"},
        {"ANIMATION T|STEP K ALONG G 1 2", "103 STEP.CIRCLE.ALONG.LINE K G 1 2"},
        {"ANIMATION T|STEP Q ALONG K 0.5", "104 STEP.POINT.ALONG.CIRCLE Q K 0.5"},
        {"ANIMATION T|STEP K ALONG J", "105 STEP.CIRCLE.ALONG.CIRCLE K J - -"},
        {"ANIMATION T|TRACE Q B Q B Q B Q B Q B Q B Q B", "55 TRACE Q B Q B Q B Q B Q B Q B Q B"},
        {"INTERACTION T|CLICKABLE A B Q", "52 CLICKABLE A B Q"},
        {"INTERACTION T|CLICKABLE A ALONG G", "53 CLICKABLE.ALONG.LINE A G"},
        {"INTERACTION T|CLICKABLE A ALONG K", "54 CLICKABLE.ALONG.CIRCLE A K"},
        {"CONSTRUCTION T|CALL C A G", "48 CALL block 2 C A G"}};
    for (auto [lines, listed] : cases) {
        const int slot = std::string(lines).starts_with("CONSTRUCTION") ? ParameterSlot + 1 : 1;
        EXPECT_EQ(Listed(Compile("END|" + std::string(lines) + "|REPEAT"), 1, slot), listed)
            << lines;
    }
}

TEST(Compiling, WrongStatementsGiveTheirErrorsAtTheirLines) {
    const char* cases[] = {
        "REVERT G H => 1:11",
        "END 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 => ",
        "MENU 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 => 1:11",
        "END 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 ' note => 1:11",
        "END 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 ' a b c d e => ",
        "POINT Z 1 => 1:12",
        "A B C POINT => 1:13",
        "DEFAULT => 1:13",
        "POINT Line 1 2 => 1:14.2",
        "A B C POINT LINE => 1:14.5",
        "MENU 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 LINE => 1:14.15",
        "CALL FAST C => 1:14.2",
        "CALL C X FAST => 1:14.4",
        "CALL C FAST SLOW => 1:14.4",
        "X CALL FAST => 1:14.3",
        "POINT A ALONG 2 => 1:14.3",
        "CLICKABLE P ALONG G ALONG => 1:14.5",
        "X Y LINE 1 2 => 1:16.3",
        "X POINT 1 2 => 1:16.2",
        "X = TANGENT A, K => 1:16.2",
        "ALONG => 1:16",
        "X ALONG => 1:16",
        "FAST => 1:16",
        "POINT G 1 2 => 1:10.2.1",
        "POINT 5 1 2 => 1:10.5.1",
        "POINT \"A\" 1 2 => 1:10.8.1",
        "Z = LINE A, \"B\" => 1:10.8.1",
        "CALL \"C\" => 1:10.8.7",
        "CALL A => 1:10.1.7",
        "CALL => 1:12",
        "A = COPY G => 1:10.2.1",
        "G = COPY A => 1:10.1.2",
        "K = COPY G => 1:10.2.3",
        "A = COPY K => 1:10.3.1",
        "Z = COPY 5 => 1:10.5.1",
        "C = COPY A => 1:10.7.1",
        "Z = COPY A 1 => 1:11",
        "Z = COPY G => 1:10.0.1",
        "Z1, Z2 = CROSS G, H => 1:10.2.3",
        "Z1, Z2 = CROSS A, K => 1:10.1.3",
        "Z1, Z2 = CROSS K, A => 1:10.1.3",
        "Z1, Z2 = CROSS Y, X => 1:10.0.3",
        "Z = BISECTOR G, A => 1:10.1.2",
        "Z = MIDLINE A, G => 1:10.2.1",
        "Z = MIDLINE K, A => 1:10.3.1",
        "Z = MIDLINE A, K => 1:10.3.1",
        "Z = MIDLINE Y, X => 1:10.0.1",
        "Z = CIRCLE A, K => 1:10.3.1",
        "Z = ARC K, A => 1:10.3.1",
        "Z = ARC Y, X => 1:10.0.1",
        "K = ARC G, H => 1:12",
        "W = LINE W, W => 1:10.1.2",
        "FILL G => 1:10.2.1",
        "FILL => 1:12",
        "FILL Z => 1:12",
        "FILL Z, 5, A => 1:10.5.1",
        "MARKLINE G, K => 1:10.3.1",
        "MARKLINE G, 3, A => 1:10.1.5",
        "MARKLINE G, A => 1:12",
        "MARKANGLE K, A, B, \"x\" => 1:10.3.1",
        "MARKANGLE A, B, Q, 5 => 1:10.8.5",
        "MARKANGLE A, B, Q => 1:12",
        "MARKANGLE G, H => 1:12",
        "MARKANGLE Z, Y, X, \"a\" => 1:10.0.1",
        "MARKANGLE => 1:12",
        "MARKNUMBERANGLE Z => 1:12",
        "MARKNUMBERANGLE G, H, A => 1:10.8.1",
        "STEP G 1 2 => 1:10.1.2",
        "STEP A 1 2 3 => 1:11",
        "STEP K 1 2 3 4 => 1:11",
        "STEP A 1 => 1:12",
        "STEP A ALONG A => 1:10.2.1",
        "STEP G ALONG H => 1:10.1.2",
        "STEP A ALONG G 1 2 3 => 1:11",
        "CLICKABLE A ALONG A => 1:10.2.1",
        "CLICKABLE A ALONG G 1 => 1:11",
        "CLICKABLE A G => 1:10.2.1",
        "CLICKABLE A ALONG Y => 1:10.2",
        "WAIT A => 1:10.5.1",
        "WAIT 1 2 => 1:11",
        "TITLE A => 1:10.8.1",
        "TITLE \"a\" \"b\" => 1:11",
        "TEXT => 1:12",
        "TEXT \"a\" 1 2 3 4 => 1:11",
        "MENUITEM 5 => 1:10.8.5",
        "EXITMENU 1 => 1:11",
        "SCREEN 1 => 1:12",
        "SCREEN 1 2 3 4 5 => 1:11",
        "WINDOW 1 2 3 => 1:11",
        "TEXTWINDOW 1 2 3 => 1:12",
        "SPEED => 1:12",
        "CLS 1 2 => 1:11",
        "REPEAT 1 2 => 1:11",
        "CALL C A => 1:28.2",
        "CALL C FAST A G G => 1:28.2",
        "CALL C A A => 1:29.1.2",
        "CALL C G G => 1:29.0.1",
        "CALL C A 5 => 1:29.1.2",
        "CONSTRUCT N => 1:27",
        "INTERACT C A G => 1:27",
        "ANIMATE I => 1:27",
        "CALL X => 1:22",
        "END|CONSTRUCTION S|CALL N|REPEAT => 3:31.1",
        "END|CONSTRUCTION S P|CALL C A G|REPEAT => 3:31.1",
        "END|ANIMATION S|CALL N|REPEAT => ",
        "REPEAT => 1:31",
        "STEP A 1 2 => 1:31",
        "CLICKABLE A => 1:31",
        "END|CONSTRUCTION T|SCREEN 640 480|REPEAT => 3:31.1",
        "END|INTERACTION T|WINDOW 1 2|REPEAT => 3:31.2",
        "END|ANIMATION T|MENU|REPEAT => 3:31.3",
        "END|INTERACTION T|MENUITEM \"x\"|REPEAT => 3:31.2",
        "END|CONSTRUCTION T|ENDMENU|REPEAT => 3:31.1",
        "END|CONSTRUCTION T|DEFAULTS 1|REPEAT => 3:31.1",
        "END|CONSTRUCTION T|TOOLDEFAULTS 1|REPEAT => 3:31.1",
        "END|INTERACTION T|DEFAULTS 1 2|REPEAT => ",
        "END|ANIMATION T|DEFAULTS 1 2|REPEAT => ",
        "END|INTERACTION T|STEP A 1 2|REPEAT => 3:31.2",
        "END|CONSTRUCTION T|TRACE A|REPEAT => 3:31.1",
        "END|ANIMATION T|CLICKABLE A|REPEAT => 3:31.3",
        "END|CONSTRUCTION T|CLICKABLE A ALONG G|REPEAT => 3:31.1",
        "END|ANIMATION T|STEP Z 1 2|REPEAT => 3:10.0.1",
        "END|ANIMATION T|STEP Z ALONG G|REPEAT => 3:10.0.1",
        "END|ANIMATION T|TRACE A B Q A B Q A B Q A B Q A B Q|REPEAT => 3:30",
        "END|INTERACTION T X|REPEAT => 2:11",
        "END|ANIMATION|REPEAT => 2:12",
        "END|CONSTRUCTION|REPEAT => 2:12",
        "END|CONSTRUCTION A|REPEAT => 2:10.1.7",
        "END|X CONSTRUCTION|REPEAT => 2:16.2",
        "END|CONSTRUCTION S|REPEAT|ANIMATION T|REPEAT|INTERACTION S|REPEAT|CONSTRUCTION T|REPEAT"
        " => 6:26 8:26",
        "END|CONSTRUCTION S|ANIMATION T|REPEAT => 3:20",
        "END|CONSTRUCTION S A1 A2 A3 A4 A5 A6 A7 A8 A9 A10 A11 A12 A13|REPEAT => 2:30",
        "POINT A 1 2||POINT A|' comment|  |\tPOINT X|REVERT A|POINT B 3 4 => 3:12 7:10.1.2",
        "MENU|END|ANIMATION T|ENDMENU|REPEAT => 1:32 4:31.3",
        "MENU|MENUITEM \"a\"|END|MENU|ENDMENU => 1:32 2:34",
        "ENDMENU|END => 1:34",
        "END|EXITMENU => 2:34"};
    for (std::string_view c : cases) {
        const std::size_t arrow = c.find(" => ");
        EXPECT_EQ(Errors(Compile(std::string(c.substr(0, arrow)))), c.substr(arrow + 4)) << c;
    }
}
TEST(Compiling, ParameterLimitAndMissingEnd) {
    EXPECT_EQ(Errors(Compile("END|CONSTRUCTION S A1 A2 A3 A4 A5 A6 A7 A8 A9 A10 A11 A12|REPEAT")),
              "");
    for (const char* lines :
         {"", "' only a comment", "\tEND", "POINT A 1 2|X Y Z|CONSTRUCTION S|END|REPEAT",
          "CONSTRUCTION S|REPEAT|END", "ENDE"}) {
        std::vector<std::string> script;
        Compiled c;
        for (std::size_t start = 0, bar = 0; *lines && bar != std::string::npos; start = bar + 1) {
            bar = std::string(lines).find('|', start);
            script.push_back(std::string(lines).substr(start, bar - start));
        }
        EXPECT_EQ(ParseScript(script, c.table, c.errors, c.names), FailedInPass1) << lines;
        EXPECT_EQ(Errors(c, 0), "0:36") << lines;
    }
}

TEST(Compiling, ASlotHoldingAnotherStatementGivesMessage21) {
    std::vector<std::string> lines = {"POINT A 1 2", "REVERT G", "END"};
    std::vector<std::string_view> views(lines.begin(), lines.end());
    Compiled c;
    ASSERT_EQ(RunPass1(views, c.table, c.errors, c.names), 0);
    c.table.blocks[0][1][0] = OpcodeNumber(Op::Revert);
    c.table.blocks[0][2][0] |= InvisibleFlag;
    ASSERT_EQ(RunPass2(views, c.table, c.errors, c.names, {}), 2);
    EXPECT_EQ(Errors(c, 0), "1:21 2:21");
    EXPECT_TRUE(Listed(c, 0, 3).starts_with("255 END")) << "the END after them finds its slot";
}

TEST(Compiling, AMenuHoldsAtMost126ItemsAndExits) {
    for (const char* entry : {"MENUITEM \"x\"", "EXITMENU"}) {
        std::string lines = "MENU";
        for (int i = 0; i < MaxMenuEntries; ++i) lines += std::string("|") + entry;
        EXPECT_EQ(Errors(Compile(lines + "|ENDMENU", false), 0), "") << entry;
        EXPECT_TRUE(Errors(Compile(lines + "|" + entry + "|ENDMENU", false), 0).starts_with("1:33 "))
            << entry;
    }
}

TEST(Compiling, MenuLinksBeyondWhatATargetHoldsAreRejected) {
    // The ENDMENU lands in slot 32768, which a target cannot name; one slot earlier it links
    // to slot 32767 and compiles.
    std::string lines;
    for (int i = 0; i < MaxTarget - 3; ++i) lines += "CLS|";
    lines += "MENU|MENUITEM \"x\"|ENDMENU";
    EXPECT_EQ(Errors(Compile(lines, false), 0), "");
    EXPECT_TRUE(Errors(Compile("CLS|" + lines, false), 0)
                    .starts_with(std::to_string(MaxTarget - 1) + ":24 "));
}

}  // namespace
}  // namespace zir
