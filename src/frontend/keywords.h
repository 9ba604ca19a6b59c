// The reserved words of the language and their keyword codes.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zir {

// Keyword codes. Synonyms share a code; the I-prefixed spelling of a construction keyword
// gives its code plus InvisibleKeyword.
enum class Keyword : int {
    Point = 1,
    Line = 2,
    LinePolar = 3,
    Circle = 4,
    Copy = 5,
    Cross = 8,
    Middle = 9,
    MoveCircle = 10,
    Revert = 11,
    Midline = 13,  // also BISECTOR
    Tangent = 16,
    AdvanceTo = 17,
    AdvanceOn = 18,
    CircleEnd = 22,  // CIRCLEND, CIRCLEEND, ENDCIRCLE
    Arc = 26,
    StartLine = 27,
    FillTriangle = 28,
    FillCircle = 29,
    Fill = 30,
    OrderLines = 32,
    MarkPoint = 33,
    MarkLine = 34,
    MarkAngle = 35,
    MarkNumberLine = 38,   // also MARKNLINE
    MarkNumberAngle = 39,  // also MARKNANGLE
    Fast = 45,
    Pace = 46,
    Slow = 47,  // also TOOL, TOOLS
    Call = 48,  // CALL, CONSTRUCT, INTERACT, ANIMATE
    Repeat = 49,
    Clickable = 52,
    ClickableAlong = 53,  // CLICKABLE ... ALONG: never in the table, made by the combination
    Trace = 55,
    Construction = 57,
    Interaction = 58,
    Animation = 59,
    Cls = 65,
    Screen = 66,
    Window = 67,
    TextWindow = 68,  // also TWINDOW
    Text = 72,
    Title = 73,
    Speed = 76,
    FrameSpeed = 77,  // also FRAME
    Defaults = 80,
    ToolDefaults = 81,
    Menu = 88,
    MenuItem = 89,
    ExitMenu = 90,
    EndMenu = 91,
    RepeatMenu = 92,
    Step = 97,
    StepAlong = 98,  // STEP ... ALONG: never in the table, made by the combination
    Default = 100,
    Along = 102,
    Wait = 128,
    WaitAlways = 129,
    End = 255,
};

inline constexpr int InvisibleKeyword = 0x4000;

// -1 when the token's first byte is below "A" (it can be neither keyword nor name), 0 for a
// possible name, else the keyword code. Letter case does not matter.
int KeywordLookup(std::string_view token);

// Every spelling of every keyword, in upper case, in the order of the keyword table.
std::vector<std::string_view> KeywordSpellings();

constexpr int KeywordCode(Keyword k) {
    return static_cast<int>(k);
}

}  // namespace zir
