#include "frontend/describe.h"

#include <string_view>

#include "frontend/lexer.h"
#include "frontend/statement.h"

namespace zir {

namespace {

// The words of one opcode; {n} stands for token n as written (a text without its quotes).
struct Wording {
    Op op = Op::None;
    std::string_view text;
};

// Opcodes missing here draw or show nothing and are described by nothing. The texts are
// Windows-1252; a hex escape is closed by splitting the literal where a letter that could
// continue it follows.
constexpr Wording Wordings[] = {
    {Op::Point, "Punkt {1}"},
    {Op::LineCoords, "Gerade {1}"},
    {Op::LinePolarCoords, "Gerade {1}"},
    {Op::CircleCoords, "Kreis {1}"},
    {Op::CrossLines, "Schnittpunkt {0} von {2} und {3}"},
    {Op::Middle, "Mittelpunkt {0} von {2} und {3}"},
    {Op::MoveCircle, "Kreis {1} nach {2} verschoben"},
    {Op::LineThrough, "Gerade {0} durch {2} und {3}"},
    {Op::Midline, "Mittelsenkrechte {0} von {2} und {3}"},
    {Op::Bisector, "Winkelhalbierende {0} von {2} und {3}"},
    {Op::LinePolarFrom, "Gerade {0} durch {2} im Winkel {4}\xB0 zu {3}"},
    {Op::Tangent, "Tangenten {0} und {1} von {3} an {4}"},
    {Op::AdvanceTo, "Punkt {0} auf dem Weg von {2} nach {3}"},
    {Op::AdvanceOn, "Punkt {0} auf {3} von {2} aus"},
    {Op::CrossCircleLine, "Schnittpunkte {0} und {1} von {3} und {4}"},
    {Op::CrossLineCircle, "Schnittpunkte {0} und {1} von {3} und {4}"},
    {Op::CrossCircles, "Schnittpunkte {0} und {1} von {3} und {4}"},
    {Op::CircleEnd, "Endpunkte {0} und {1} von {3}"},
    {Op::CircleThrough, "Kreis {0} um {2} durch {3}"},
    {Op::CircleTouching, "Kreis {0} um {2}, der {3} ber\xFChrt"},
    {Op::ArcPoints, "Bogen {0} um {2} durch {3}"},
    {Op::StartLine, "Strecke {0} von {3} bis {1}"},
    {Op::FillTriangle, "Dreieck {1}{2}{3} gef\xFCllt"},
    {Op::FillCircle, "Kreis {1} gef\xFCllt"},
    {Op::ArcLines, "Bogen {0} zwischen {2} und {3}"},
    {Op::MarkPoint, "Punkt {1} beschriftet"},
    {Op::MarkLine, "Strecke {2}{3} markiert"},
    {Op::MarkAngleLines, "Winkel zwischen {1} und {2} markiert"},
    {Op::MarkAnglePoints, "Winkel {1}{2}{3} markiert"},
    {Op::MarkNumberLine, "L\xE4nge der Strecke {2}{3}"},
    {Op::MarkNumberAngleLines,
     "Gr\xF6\xDF"
     "e des Winkels zwischen {1} und {2}"},
    {Op::MarkNumberAnglePoints,
     "Gr\xF6\xDF"
     "e des Winkels {1}{2}{3}"},
    {Op::Cls,
     "Zeichenfl\xE4"
     "che gel\xF6scht"},
    {Op::Text, "{1}"},
    {Op::Title, "Titel: {1}"},
    {Op::Menu, "Auswahl im Men\xFC"},
    {Op::MenuItem, "Gew\xE4hlt: {1}"},
};

// The mark statements that may stand without their points, in that form.
constexpr Wording WithoutPoints[] = {
    {Op::MarkLine, "Gerade {1} markiert"},
    {Op::MarkNumberLine, "L\xE4nge der Strecke {1}"},
};

// A call is described by the kind of subroutine it calls, whichever call form it uses.
constexpr std::string_view CallWordings[] = {
    {}, "Konstruktion {1}", "Interaktion {1}", "Animation {1}"};

bool IsCall(Op op) {
    return op == Op::Call || op == Op::CallFast || op == Op::CallPace || op == Op::CallSlow;
}

template <std::size_t N>
std::string_view Find(const Wording (&table)[N], Op op) {
    for (const Wording& w : table) {
        if (w.op == op) return w.text;
    }
    return {};
}

std::string_view WordingOf(const CompiledStatement& c) {
    if (IsCall(c.op)) {
        bool known = c.calleeKind >= KindConstruction && c.calleeKind <= KindAnimation;
        return known ? CallWordings[c.calleeKind] : std::string_view{};
    }
    // The same rule as the compiler's: the points form has a point after the line.
    if (TypeAt(*c.statement, 2) != TypePoint) {
        if (std::string_view text = Find(WithoutPoints, c.op); !text.empty()) return text;
    }
    return Find(Wordings, c.op);
}

// The wording with each {n} replaced by token n; a text token loses its quotes.
std::string Fill(std::string_view wording, const Statement& s) {
    std::string out;
    for (std::size_t i = 0; i < wording.size(); ++i) {
        char c = wording[i];
        if (c == '{' && i + 2 < wording.size() && wording[i + 2] == '}') {
            int n = wording[i + 1] - '0';
            if (n < s.count) {
                std::string_view token = s.tokens[n];
                out += ClassifyToken(token) == TokenClass::Text ? TextOfToken(token) : token;
            }
            i += 2;
            continue;
        }
        out += c;
    }
    return out;
}

}  // namespace

std::string DescribeStatement(const CompiledStatement& compiled) {
    if (!compiled.statement || compiled.statement->invisible) return {};
    return Fill(WordingOf(compiled), *compiled.statement);
}

}  // namespace zir
