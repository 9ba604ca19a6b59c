// The run-time settings: the one global record that script statements change and that the
// interpreter, the constructions, the drawing and the animations read. Reset before every
// run; a restart of a subroutine does not reset it.
//
// The fields up to screenDepth are 32-bit words in a fixed order, because DEFAULTS and
// TOOLDEFAULTS copy their operand words into consecutive words of it; two 16-bit fields
// that share a word are always set together through that word (low half first). A colour
// that is always drawn as it stands is a Colour; one that may stand for the object's colour
// (ObjectColour) or that becomes a record's colour stays a word.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "geometry/kernel.h"
#include "platform/image.h"

namespace zir {

struct RunState {
    float frameSeconds = 0.05f;          // animation frame time; FRAMESPEED
    std::int32_t instrumentWait = 2000;  // ms an instrument stays shown; SPEED
    std::int32_t frameWait = 50;         // ms between frames of a FAST animation; FRAMESPEED
    std::int32_t stepWait = 2000;        // ms of pause after each paced step; SPEED
    Colour backgroundColour{0xFFFFFF};
    Colour textColour{0x000000};
    std::uint16_t pointShape = 0;
    std::uint16_t lineStyle = 0xFFFF;  // dash mask, applied from bit 15
    std::uint32_t drawColour = 0x010101;
    std::uint16_t lineWidth = 1;
    std::uint16_t lineWidthHigh = 0;  // the unused high half of lineWidth's word
    std::uint16_t arcWidth = 2560;    // 1/256 degree
    std::uint16_t pointSize = 8;
    std::uint16_t toolSizeSmall = 160;        // pencil and compass
    std::uint16_t toolSizeLarge = 160;        // set square and protractor
    std::uint32_t rulerWidth = 50;            // low half used
    std::uint32_t pencilColour = 0xFFFFFFFF;  // 0xFFFFFFFF: the colour of the object drawn
    std::uint32_t compassColour = 0xB0B0B0;
    Colour toolColour5{0x0000B0};          // set square
    std::uint32_t toolColour6 = 0x0000B0;  // protractor; 0xFFFFFFFF: the object's colour
    Colour rulerColour{0x0000B0};
    std::uint32_t auxColour = 0xC0C0C0;  // auxiliary lines; 0xFFFFFFFF: the result's colour
    std::uint16_t areaOriginX = 0;       // the drawing area on the screen; never changed
    std::uint16_t areaOriginY = 0;
    std::uint16_t areaWidth = 0;  // set when a screen opens; SCREEN, WINDOW
    std::uint16_t areaHeight = 0;
    std::uint16_t textWindowX = 0;  // TEXTWINDOW
    std::uint16_t textWindowY = 0;
    std::uint16_t textWindowWidth = 0;
    std::uint16_t textWindowHeight = 0;
    Colour barColour{0xC0C0C0};  // control bar and menus
    Colour barTextColour{0x000000};
    Colour menuHighlightColour{0x000080};
    Colour menuHighlightTextColour{0xFFFFFF};
    std::int32_t screenDepth = 0;  // 0 before a screen is open, 16 after
    // The captions of the control bar: Pause, Weiter, Wiederholen, Beenden.
    std::array<std::string, 4> captions = {"Pause", "Weiter", "Wiederholen", "Beenden"};
};

// The words of RunState in their order, as DEFAULTS and TOOLDEFAULTS address them.
enum class RunWord {
    FrameSeconds,
    InstrumentWait,
    FrameWait,
    StepWait,
    BackgroundColour,
    TextColour,
    PointShapeLineStyle,
    DrawColour,
    LineWidth,
    ArcWidthPointSize,
    ToolSize,
    RulerWidth,
    PencilColour,
    CompassColour,
    ToolColour5,
    ToolColour6,
    RulerColour,
    AuxColour,
    AreaOrigin,
    AreaSize,
    TextWindowPos,
    TextWindowSize,
    BarColour,
    BarTextColour,
    MenuHighlightColour,
    MenuHighlightTextColour,
    ScreenDepth,
    Count
};

// A colour setting of 0xFFFFFFFF (-1 in a script): the colour of the object being drawn.
inline constexpr std::uint32_t ObjectColour = 0xFFFFFFFF;

// The ruler's width in pixels: the low half of its setting's word.
inline int RulerWidth(const RunState& s) {
    return static_cast<int>(s.rulerWidth & 0xFFFF);
}

// The settings of this process.
RunState& Settings();
// Sets every field to its default (the part of ZIR_INIT that every run repeats).
void ResetSettings();

// A line made by the geometry with the script's default style and width (DEFAULTS); an
// undefined line stays as it is.
Line WithDefaultStyle(Line l);

void SetRunWord(RunState& state, RunWord word, std::uint32_t value);

}  // namespace zir
