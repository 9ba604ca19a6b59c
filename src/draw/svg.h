// A display list written as an SVG document: one element per figure, coordinates in pixels
// as the script wrote them, text as text in DejaVu Sans at the size of the bitmap font.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "draw/vectors.h"

namespace zir {

struct SvgArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Takes the next piece of a document; false when it cannot take more (the rest is dropped).
using SvgSink = std::function<bool(std::string_view piece)>;

// The part of the list's picture inside the area, as a document of the area's size (the
// area's top-left pixel at its origin), given to sink a piece at a time. Instruments are
// left out unless asked for. A script given (UTF-8) is carried in the document's metadata.
void WriteSvg(const VectorList& list, SvgArea area, bool withInstruments, const SvgSink& sink,
              std::string_view script = {});
// The same as one string.
std::string SvgOf(const VectorList& list, SvgArea area, bool withInstruments);

// The pixel row of the baseline of the built-in font of this height, counted from its top:
// where DejaVu Sans at SvgFontSize(height) puts its baseline.
int FontBaseline(int height);
double SvgFontSize(int height);

}  // namespace zir
