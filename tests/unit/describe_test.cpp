// The description of each statement form, read as the page and the handout get it: from
// the statement pass 2 compiled, with the names as written.
#include "frontend/describe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "frontend/compiler.h"

namespace zir {
namespace {

struct Describer final : StatementObserver {
    std::map<int, std::string> byLine;
    void Compiled(const CompiledStatement& c) override {
        byLine[c.lineIndex] = DescribeStatement(c);
    }
};

// The descriptions of the case's lines ("|" between lines and between descriptions), after
// points A, B, C, P, lines g, h and circles k, l, and before END and the subroutines
// X (a CONSTRUCTION of one point), Y (an INTERACTION) and Z (an ANIMATION), which draw nothing.
std::string Describe(std::string lines) {
    const int first = 8, end = first + static_cast<int>(std::ranges::count(lines, '|')) + 1;
    std::ranges::replace(lines, '|', '\n');
    const std::string script =
        "IPOINT A 1 2\nIPOINT B 3 4\nIPOINT C 5 1\nIPOINT P 7 8\nILINE g 0 0 1 1\n"
        "ILINE h 0 0 2 1\nICIRCLE k 0 0 5\nICIRCLE l 1 1 5\n" +
        lines +
        "\nEND\nCONSTRUCTION X Q\nR = IMIDDLE Q, Q\nREPEAT\nINTERACTION Y\nCLICKABLE A\n"
        "CLICKABLE B ALONG k\nREPEAT\nANIMATION Z\nSTEP A, 1, 0\nSTEP k ALONG g, 2\n"
        "TRACE A\nREPEAT";
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable names;
    Describer describer;
    EXPECT_EQ(ParseScript(ScriptLines::OfText(script), table, errors, names, &describer),
              CompiledOk);
    std::string out;
    for (const auto& [line, text] : describer.byLine) {
        if (line >= first && line < end) {
            out += (line > first ? "|" : "") + text;
        } else {
            EXPECT_EQ(text, "") << "line " << line;
        }
    }
    return out;
}

TEST(Describe, EachFormInShortGerman) {
    const std::pair<std::string, std::string> cases[] = {
        {"k = CIRCLE A, B|S1, S2 = CROSS k, l|m = MIDLINE A, B",
         "Kreis k um A durch B|Schnittpunkte S1 und S2 von k und l|Mittelsenkrechte m von A und B"},
        {"S1, S2 = CROSS k, g|S1, S2 = ICROSS g, l|S1, S2 = CROSS g, l",
         "Schnittpunkte S1 und S2 von k und g||Schnittpunkte S1 und S2 von g und l"},
        {"POINT Q, 1, 2|LINE f, 1, 2, 3, 4|LINEPOLAR e, 1, 2, 30|CIRCLE m, 1, 2, 3",
         "Punkt Q|Gerade f|Gerade e|Kreis m"},
        {"f = LINE A, B|S = CROSS g, h|M = MIDDLE A, B|w = BISECTOR g, h",
         "Gerade f durch A und B|Schnittpunkt S von g und h|Mittelpunkt M von A und B|"
         "Winkelhalbierende w von g und h"},
        {"e = LINEPOLAR P, g, 90|f = LINEPOLAR P, g, -22.5|t1, t2 = TANGENT P, k",
         "Gerade e durch P im Winkel 90\xB0 zu g|Gerade f durch P im Winkel -22.5\xB0 zu g|"
         "Tangenten t1 und t2 von P an k"},
        {"Q = ADVANCETO A, B, 5|Q = ADVANCEON A, g, 5|f, Q = STARTLINE A, 30, 9",
         "Punkt Q auf dem Weg von A nach B|Punkt Q auf g von A aus|Strecke f von A bis Q"},
        {"m = CIRCLE P, g|b = ARC A, B|b = ARC g, h, 40|P1, P2 = CIRCLEND b",
         "Kreis m um P, der g ber\xFChrt|Bogen b um A durch B|Bogen b zwischen g und h|"
         "Endpunkte P1 und P2 von b"},
        {"Q = COPY A|MOVECIRCLE k, P|FILLTRIANGLE A, B, C|FILL k",
         "|Kreis k nach P verschoben|Dreieck ABC gef\xFCllt|Kreis k gef\xFCllt"},
        {"MARKPOINT A|MARKLINE g, A, B|MARKLINE g, 16, 0|MARKNLINE g, A, B|MARKNUMBERLINE g",
         "Punkt A beschriftet|Strecke AB markiert|Gerade g markiert|L\xE4nge der Strecke AB|"
         "L\xE4nge der Strecke g"},
        {"MARKANGLE g, h, \"a\"|MARKANGLE A, B, C, \"b\"|MARKNANGLE g, h|MARKNUMBERANGLE A, B, C",
         "Winkel zwischen g und h markiert|Winkel ABC markiert|Gr\xF6\xDF"
         "e des Winkels zwischen g und h|Gr\xF6\xDF"
         "e des Winkels ABC"},
        {"CALL X A|CONSTRUCT X FAST B|INTERACT Y|CALL Z SLOW",
         "Konstruktion X|Konstruktion X|Interaktion Y|Animation Z"},
        {"CLS|TEXT \"Gr\xFC\xDF Gott, \"|TITLE \"Thales\"|MENU|MENUITEM \"a\"|EXITMENU|ENDMENU",
         "Zeichenfl\xE4"
         "che gel\xF6scht|Gr\xFC\xDF Gott, |Titel: Thales|Auswahl im Men\xFC|Gew\xE4hlt: a||"},
        // Statements that show nothing of their own.
        {"SCREEN 640, 480|WINDOW 600, 400|TWINDOW 1, 2, 3, 4|DEFAULTS 1|TOOLDEFAULTS 3|SPEED 9|"
         "FRAME 5|IPOINT Q, 1, 2|M = IMIDDLE A, B|REVERT g|ORDERLINES g, h|WAIT|WAITALWAYS 9",
         "||||||||||||"},
    };
    for (const auto& [lines, expected] : cases) EXPECT_EQ(Describe(lines), expected) << lines;
}

}  // namespace
}  // namespace zir
