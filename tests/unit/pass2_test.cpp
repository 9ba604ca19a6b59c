// What the two passes make of each statement, seen through the listing (opcode, flags and
// every operand decoded by name), and the errors they give, each at its line.
#include "frontend/pass2.h"

#include <gtest/gtest.h>

#include <sstream>
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
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
    int offset = 0;           // the lines before the case's first line
    int block = 0, slot = 8;  // where the case's first statement lies
};

// The declarations, the lines of the case ("|" between them; END added when the case has
// none) and the subroutines. "CONSTRUCTION: ", "INTERACTION: " or "ANIMATION: " before the
// lines puts them in a subroutine T of that kind, after END.
Compiled Compile(std::string lines, bool declared = true) {
    Compiled c;
    std::vector<std::string> script = declared ? Declarations : std::vector<std::string>{};
    if (const std::size_t colon = lines.find(": "); colon != std::string::npos) {
        script.insert(script.end(), {"END", lines.substr(0, colon) + " T"});
        c.block = 1;
        c.slot = lines.starts_with("CONSTRUCTION") ? ParameterSlot + 1 : 1;
        lines = lines.substr(colon + 2) + "|REPEAT";
    }
    c.offset = static_cast<int>(script.size());
    bool ends = c.block != 0;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line, '|');) ends |= script.emplace_back(line) == "END";
    if (!ends) script.push_back("END");
    script.insert(script.end(), Subroutines.begin(), Subroutines.end());
    ParseScript(script, c.table, c.errors, c.names);
    return c;
}

// The errors as "line:message.detail.detail", lines counted from the case's first line.
std::string Errors(const Compiled& c) {
    std::string text;
    for (const CompileError& e : c.errors) {
        text += (text.empty() ? "" : " ") + std::to_string(e.line ? e.line - c.offset : 0) + ":" +
                std::to_string(ErrorMessageNumber(e.code));
        if (ErrorDetail1(e.code) || ErrorDetail2(e.code))
            text += "." + std::to_string(ErrorDetail1(e.code));
        if (ErrorDetail2(e.code)) text += "." + std::to_string(ErrorDetail2(e.code));
    }
    return text;
}

// The listing line of the case's first statement: the opcode and the operands (the opcode's
// name says nothing more), and the errors if there are any.
std::string Listed(const Compiled& c) {
    std::istringstream listing(ListProgram(c.table, c.names));
    for (std::string line, slot, opcode, name, word; std::getline(listing, line);) {
        std::istringstream words(line);
        if (!(words >> slot >> opcode >> name) ||
            slot != std::to_string(c.block) + ":" + std::to_string(c.slot)) {
            continue;
        }
        while (words >> word) opcode += " " + word;
        return opcode + (c.errors.empty() ? "" : " errors " + Errors(c));
    }
    return "no slot";
}

TEST(Compiling, EachFormListsItsOpcodeAndOperands) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        // 2.5 and 3.5 units of 1/65536 round to the even neighbours 2 and 4; a comment ends
        // the statement.
        {"POINT Z 1 2 .5 +5 7", "1 Z 1 2 - - -"},
        {"IPOINT Z 3.814697265625e-05, 5.340576171875e-05, 1, &HFF0000, 7",
         "1 I Z 3.05176e-05 6.10352e-05 1 #FF0000 7"},
        {"LINE Z 0 0 1 1", "2 Z 0 0 1 1 - - -"}, {"Z = ILINE A B", "12 I Z A B - - -"},
        // Required angles keep 1/256 degree, optional ones are whole degrees.
        {"LINEPOLAR Z, 0, 0, 22.7", "3 Z 0 0 22.6992deg - - -"},
        {"Z = LINEPOLAR A, G, -22.7", "15 Z A G -22.6992deg - - -"},
        {"CIRCLE Z, 0, 0, 1, DEFAULT, 2, 22.7, -1", "4 Z 0 0 1 - 2 23deg -"},
        {"Z = CIRCLE A, B", "24 Z A B - - - -"}, {"Z = ICIRCLE A, G", "25 I Z A G - - - -"},
        // Names first met after the statement have their final types in pass 2.
        {"Z = CIRCLE A, Y|POINT Y 1 2", "24 Z A Y - - - -"},
        {"X = MIDLINE U, V|LINE U 0 0 1 1|LINE V 0 0 1 2", "14 X U V - - -"},
        {"B = COPY A", "5 B A"}, {"H = COPY G", "6 H G"}, {"J = COPY K", "7 J K"},
        {"Z = CROSS G, H", "8 Z G H - - -"}, {"Z1, Z2 = CROSS K, G", "19 Z1 Z2 K G - - -"},
        {"Z1, Z2 = CROSS H, J", "20 Z1 Z2 H J - - -"},
        {"Z1, Z2 = ICROSS J, K", "21 I Z1 Z2 J K - - -"}, {"MOVECIRCLE K, A", "10 K A - -"},
        {"Z = MIDLINE A, B", "13 Z A B - - -"}, {"Z = ADVANCETO A, B, 5", "17 Z A B 5 - - -"},
        {"Z1, Z2 = ITANGENT Q, J, 1, 2, 3", "16 I Z1 Z2 Q J 1 #000002 3"},
        {"Z = ADVANCEON A, G, 5", "18 Z A G 5 - - -"}, {"Z1, Z2 = ENDCIRCLE K", "22 Z1 Z2 K - - -"},
        {"Z = ARC A, B, 89.5", "26 Z A B 90deg - -"}, {"Z = ARC G, H, 10", "31 Z G H 10 - -"},
        {"Z, P = STARTLINE B, 30, 100", "27 Z P B 30deg 100 - - -"},
        {"FILL Z, Y, X", "28 Z Y X - -"}, {"FILL Z, &HFF", "29 Z #0000FF -"},
        {"MARKLINE G, Y, X", "34 G Y X - - -"}, {"MARKLINE G, 3, 4", "34 G numbers 3 4 -"},
        // The form of MARKANGLE is told by the first name whose type is known.
        {"MARKANGLE Z, G, \"a\"", "35 Z G \"a\" - - -"},
        {"MARKANGLE A, B, Q, \"alpha\", 24", "36 A B Q \"alpha\" 24 -"},
        {"MARKANGLE Z, Y, A, \"a\"", "36 Z Y A \"a\" - -"},
        {"CALL C A G", "48 block 1 C A G"}, {"construct C pace A G", "46 block 1 C A G"},
        {"CALL N PACE 1 2 3", "46 block 2 N"}, {"ANIMATE N TOOLS", "47 block 2 N"},
        {"CONSTRUCTION: CALL C A G", "48 block 2 C A G"},
        {"TEXT \"Hallo\" 0xFF 2 3.5", "72 \"Hallo\" #0000FF #000002 4"},
        // Values rounded down and packed into half words; fewer than ten leave -1.
        {"DEFAULTS 1 2 3 4 5.9 6 7 8 -0.5 10.9 99",
         "80 0x00000004 0x00000001 0x00000003 0x00060008 0x00000002 0xFFFF0005 0x00070A00"},
        {"DEFAULTS &HFF 2 3 4 5",
         "80 0x00000004 0x000000FF 0x00000003 0xFFFFFFFF 0x00000002 0xFFFF0005 0xFFFFFFFF"},
        {"TOOLDEFAULTS 1.9 2 -3.5 &HFF 5 6 7 8 9 10",
         "81 n=10 0x00020001 0x0000FFFC 0x000000FF 0x00000005 0x00000006 0x00000007 0x00000008"},
        {"WAIT", "128"}, {"WAITALWAYS 5", "131 5"}, {"end 1 2 3", "255"},
        {"ANIMATION: STEP K ALONG G 1 2", "103 K G 1 2"},
        {"ANIMATION: TRACE Q B Q B Q B Q B Q B Q B Q B", "55 Q B Q B Q B Q B Q B Q B Q B"}};
    // clang-format on
    for (auto [lines, listed] : cases) EXPECT_EQ(Listed(Compile(lines)), listed) << lines;
}

TEST(Compiling, WrongStatementsGiveTheirErrorsAtTheirLines) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        // Reading a statement: twenty tokens at most, comments included; one keyword, and a
        // second only as the third token after CALL, STEP or CLICKABLE.
        {"END 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1", ""},
        {"END 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 ' note", "1:11"},
        {"END 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 ' a b c d e", ""}, {"A B C POINT", "1:13"},
        {"DEFAULT", "1:13"}, {"POINT Line 1 2", "1:14.2"},
        {"MENU 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 LINE", "1:14.15"}, {"CALL FAST C", "1:14.2"},
        {"CALL C X FAST", "1:14.4"}, {"X CALL FAST", "1:14.3"}, {"CLICKABLE P ALONG G ALONG", "1:14.5"},
        {"X Y LINE 1 2", "1:16.3"}, {"X = TANGENT A, K", "1:16.2"}, {"FAST", "1:16"},
        // The types of the names and the numbers of the arguments.
        {"REVERT G H", "1:11"}, {"POINT Z 1", "1:12"}, {"POINT G 1 2", "1:10.2.1"},
        {"Z = LINE A, \"B\"", "1:10.8.1"}, {"CALL \"C\"", "1:10.8.7"}, {"CALL", "1:12"},
        {"K = COPY G", "1:10.2.3"}, {"Z = COPY G", "1:10.0.1"},
        {"Z1, Z2 = CROSS G, H", "1:10.2.3"}, {"Z1, Z2 = CROSS Y, X", "1:10.0.3"},
        {"Z = BISECTOR G, A", "1:10.1.2"}, {"Z = MIDLINE A, K", "1:10.3.1"},
        {"Z = ARC Y, X", "1:10.0.1"}, {"K = ARC G, H", "1:12"},
        {"W = LINE W, W", "1:10.1.2"}, {"FILL Z, 5, A", "1:10.5.1"},
        {"MARKLINE G, 3, A", "1:10.1.5"}, {"MARKLINE G, A", "1:12"},
        {"MARKANGLE Z, Y, X, \"a\"", "1:10.0.1"},
        {"STEP G 1 2", "1:10.1.2"}, {"STEP K 1 2 3 4", "1:11"},
        {"STEP G ALONG H", "1:10.1.2"}, {"CLICKABLE A G", "1:10.2.1"},
        {"CLICKABLE A ALONG Y", "1:10.2"}, {"WAIT A", "1:10.5.1"}, {"MENUITEM 5", "1:10.8.5"},
        {"ANIMATION: STEP Z ALONG G", "1:10.0.1"},
        {"ANIMATION: TRACE A B Q A B Q A B Q A B Q A B Q", "1:30"},
        // Calls: the arguments against the parameters, the keyword against the block; inside
        // a construction only a parameterless one calls, and only constructions.
        {"CALL C A", "1:28.2"}, {"CALL C FAST A G G", "1:28.2"}, {"CALL C A A", "1:29.1.2"},
        {"CALL C G G", "1:29.0.1"}, {"CONSTRUCT N", "1:27"}, {"CALL X", "1:22"},
        {"CONSTRUCTION: CALL N", "1:31.1"},
        {"END|CONSTRUCTION S P|CALL C A G|REPEAT", "3:31.1"}, {"ANIMATION: CALL N", ""},
        // Statements outside their kinds of block.
        {"REPEAT|POINT Z 3 4", "1:31"}, {"STEP A 1 2", "1:31"},
        {"INTERACTION: WINDOW 1 2", "1:31.2"}, {"ANIMATION: MENU", "1:31.3"},
        {"CONSTRUCTION: DEFAULTS 1", "1:31.1"}, {"INTERACTION: DEFAULTS 1 2", ""},
        {"ANIMATION: CLICKABLE A", "1:31.3"},
        // Headers, blocks and menus; errors come in line order, and blank, comment and tab
        // lines are no statements.
        {"END|INTERACTION T X|REPEAT", "2:11"}, {"END|ANIMATION|REPEAT", "2:12"},
        {"END|CONSTRUCTION A|REPEAT", "2:10.1.7"}, {"END|X CONSTRUCTION|REPEAT", "2:16.2"},
        {"END|CONSTRUCTION S|ANIMATION T|REPEAT", "3:20"},
        {"END|CONSTRUCTION S|REPEAT|ANIMATION T|REPEAT|INTERACTION S|REPEAT|CONSTRUCTION T|REPEAT",
         "6:26 8:26"},
        {"END|CONSTRUCTION S A1 A2 A3 A4 A5 A6 A7 A8 A9 A10 A11 A12|REPEAT", ""},
        {"END|CONSTRUCTION S A1 A2 A3 A4 A5 A6 A7 A8 A9 A10 A11 A12 A13|REPEAT", "2:30"},
        {"POINT A 1 2||POINT A|' comment| |\tPOINT X|REVERT A|POINT B 3 4", "3:12 7:10.1.2"},
        {"MENU|END|ANIMATION T|ENDMENU|REPEAT", "1:32 4:31.3"},
        {"MENU|MENUITEM \"a\"|END|MENU|ENDMENU", "1:32 2:34"}, {"END|EXITMENU", "2:34"}};
    // clang-format on
    for (auto [lines, errors] : cases) EXPECT_EQ(Errors(Compile(lines)), errors) << lines;
}

// A main program without END is one error of the whole script, whatever else is wrong.
TEST(Compiling, MissingEndIsOneErrorAtLineZero) {
    for (std::vector<std::string> script :
         {std::vector<std::string>{"\tEND", "X Y Z"}, {"CONSTRUCTION S", "REPEAT", "END"}}) {
        Compiled c;
        EXPECT_EQ(ParseScript(script, c.table, c.errors, c.names), FailedInPass1);
        EXPECT_EQ(Errors(c), "0:36") << script[0];
    }
}

// A menu holds at most 126 items and exits; its links name slots up to 32767.
TEST(Compiling, MenuLimits) {
    for (const char* entry : {"MENUITEM \"x\"", "EXITMENU"}) {
        std::string lines = "MENU";
        for (int i = 0; i < MaxMenuEntries; ++i) lines += std::string("|") + entry;
        EXPECT_EQ(Errors(Compile(lines + "|ENDMENU", false)), "") << entry;
        EXPECT_TRUE(Errors(Compile(lines + "|" + entry + "|ENDMENU", false)).starts_with("1:33 "));
    }
    std::string lines;
    for (int i = 0; i < MaxTarget - 3; ++i) lines += "CLS|";
    lines += "MENU|MENUITEM \"x\"|ENDMENU";
    EXPECT_EQ(Errors(Compile(lines, false)), "");
    EXPECT_TRUE(
        Errors(Compile("CLS|" + lines, false)).starts_with(std::to_string(MaxTarget - 1) + ":24 "));
}

}  // namespace
}  // namespace zir
