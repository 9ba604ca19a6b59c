// The exported drawing: figures, fills, text and fonts, marks and instruments.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "capi/arguments.h"
#include "draw/figures.h"
#include "draw/fills.h"
#include "draw/fonts.h"
#include "draw/instruments.h"
#include "draw/marks.h"

using namespace zir;
using namespace zir::capi;

namespace {

// The font an outside caller passes as its two lists; empty where a list is missing.
FontView ViewOf(const ZirByteList* glyphs, const ZirIntList* offsets) {
    if (!glyphs || !offsets || glyphs->count < 0 || offsets->count < 0) return {};
    return {{glyphs->items, static_cast<std::size_t>(glyphs->items ? glyphs->count : 0)},
            {offsets->items, static_cast<std::size_t>(offsets->items ? offsets->count : 0)}};
}

}  // namespace

extern "C" {

std::int32_t ZIRD_POINT(ZirImageHandle* target, const ZirPoint* point) {
    return zir::DrawPoint(target, RecordAt(point));
}

std::int32_t ZIRD_LINE(ZirImageHandle* target, const ZirLine* line) {
    return zir::DrawLine(target, RecordAt(line));
}

std::int32_t ZIRD_LINEP(ZirImageHandle* target, const ZirPoint* p1, const ZirPoint* p2,
                        const ZirLine* line) {
    // A missing line record draws nothing, as a width of 0 would.
    const zir::Line appearance = line ? *line : zir::Line{};
    return zir::DrawSegment(target, RecordAt(p1), RecordAt(p2), appearance);
}

std::int32_t ZIRD_CIRCLE(ZirImageHandle* target, const ZirCircle* circle) {
    return zir::DrawCircle(target, RecordAt(circle));
}

std::int32_t ZIRD_RECT(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* b,
                       const double* height, const ZirLine* line) {
    const zir::Line appearance = line ? *line : zir::Line{};
    return zir::DrawRect(target, RecordAt(a), RecordAt(b), NumberAt(height), appearance);
}

std::int32_t ZIRD_FILLTRIANGLE(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* b,
                               const ZirPoint* c, const std::uint32_t* colour,
                               std::int32_t* alpha) {
    std::int32_t opacity = alpha ? *alpha : 0;
    const std::int32_t result =
        zir::FillTriangle(target, RecordAt(a), RecordAt(b), RecordAt(c), ColourAt(colour), opacity);
    if (alpha) *alpha = opacity;
    return result;
}

std::int32_t ZIRD_FILLCIRCLE(ZirImageHandle* target, ZirCircle* circle, const std::uint32_t* colour,
                             const std::int32_t* alpha) {
    if (!circle) return zir::UndefinedResult;
    return zir::FillCircle(target, *circle, ColourAt(colour), alpha ? *alpha : 0);
}

std::int32_t ZIRD_FILLRECT(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* b,
                           const double* height, const std::uint32_t* colour,
                           const std::int32_t* alpha) {
    return zir::FillRect(target, RecordAt(a), RecordAt(b), NumberAt(height), ColourAt(colour),
                         alpha ? *alpha : 0);
}

std::int32_t ZIRD_LOADFONT(const char* fileName, ZirByteList* glyphs, ZirIntList* offsets) {
    zir::Font font;
    if (!fileName || !glyphs || !offsets || zir::LoadFontFile(fileName, font) != 0) return -1;
    return CopyInto(font.glyphs, glyphs) && CopyInto(font.offsets, offsets) ? 0 : -1;
}

std::int32_t ZIRD_PUTBN(ZirImageHandle* target, const std::uint8_t* bitmap, const std::int32_t* x,
                        const std::int32_t* y, const std::uint32_t* foreground,
                        const std::uint32_t* background) {
    if (!bitmap) return 0;
    const int width = (bitmap[0] | bitmap[1] << 8) >> 3, height = bitmap[2] | bitmap[3] << 8;
    const std::size_t size = 4 + static_cast<std::size_t>((width + 7) / 8) * height;
    zir::PutBitmap(target, {bitmap, size}, NumberAt(x), NumberAt(y), ColourAt(foreground),
                   ColourAt(background));
    return 0;
}

std::int32_t ZIRD_PRINT(ZirImageHandle* target, const char* text, const ZirByteList* glyphs,
                        const ZirIntList* offsets, const std::int32_t* x, const std::int32_t* y,
                        const std::uint32_t* foreground, const std::uint32_t* background) {
    zir::PrintText(target, Text(text), ViewOf(glyphs, offsets), NumberAt(x), NumberAt(y),
                   ColourAt(foreground), ColourAt(background));
    return 0;
}

std::int32_t ZIRD_STRINGW(const char* text, const ZirByteList* glyphs, const ZirIntList* offsets) {
    return zir::StringWidth(Text(text), ViewOf(glyphs, offsets));
}

std::int32_t ZIRD_LINEWRAP(ZirImageHandle* target, const char* text, const ZirByteList* glyphs,
                           const ZirIntList* offsets, const std::int32_t* x, const std::int32_t* y,
                           const std::int32_t* width, const std::int32_t* height,
                           const std::uint32_t* foreground, const std::uint32_t* background) {
    zir::LineWrap(target, Text(text), ViewOf(glyphs, offsets), NumberAt(x), NumberAt(y),
                  NumberAt(width), NumberAt(height), ColourAt(foreground), ColourAt(background));
    return 0;
}

std::int32_t ZIRD_RULERTOOL(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* b,
                            const std::int32_t* side, const double* width,
                            const std::uint32_t* colour, const std::int32_t* tickSpacing) {
    return zir::RulerTool(target, RecordAt(a), RecordAt(b), NumberAt(side), NumberAt(width),
                          ColourAt(colour), NumberAt(tickSpacing));
}

std::int32_t ZIRD_SQUARETOOL(ZirImageHandle* target, const ZirLine* line1, const ZirLine* line2,
                             const std::int32_t* mode, const double* size,
                             const std::uint32_t* colour) {
    return zir::SquareTool(target, RecordAt(line1), RecordAt(line2), NumberAt(mode), NumberAt(size),
                           ColourAt(colour));
}

std::int32_t ZIRD_COMPASSTOOL(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* b,
                              double legLength, const std::uint32_t* colour) {
    return zir::CompassTool(target, RecordAt(a), RecordAt(b), legLength, ColourAt(colour));
}

std::int32_t ZIRD_PROTRACTORTOOL(ZirImageHandle* target, const ZirPoint* c, const ZirLine* line,
                                 const std::int32_t* side, const double* diameter,
                                 const std::uint32_t* colour) {
    return zir::ProtractorTool(target, RecordAt(c), RecordAt(line), NumberAt(side),
                               NumberAt(diameter), ColourAt(colour));
}

std::int32_t ZIRD_PENCILTOOL(ZirImageHandle* target, const ZirPoint* p, double angle, double length,
                             const std::uint32_t* colour) {
    return zir::PencilTool(target, RecordAt(p), angle, length, ColourAt(colour));
}

std::int32_t ZIRD_MARKPOINT(ZirImageHandle* target, const ZirPoint* point, const char* label,
                            const ZirByteList* glyphs, const ZirIntList* offsets,
                            const std::int32_t* flags) {
    return zir::MarkPoint(target, RecordAt(point), Text(label), ViewOf(glyphs, offsets),
                          NumberAt(flags));
}

std::int32_t ZIRD_MARKLINE(ZirImageHandle* target, const ZirPoint* p1, const ZirPoint* p2,
                           const char* label, const ZirByteList* glyphs, const ZirIntList* offsets,
                           const std::int32_t* side) {
    return zir::MarkLine(target, RecordAt(p1), RecordAt(p2), Text(label), ViewOf(glyphs, offsets),
                         NumberAt(side));
}

std::int32_t ZIRD_MARKANDNUMBERLINE(ZirImageHandle* target, const ZirPoint* p1, const ZirPoint* p2,
                                    const char* prefix, const ZirByteList* glyphs,
                                    const ZirIntList* offsets, const std::int32_t* flags,
                                    const std::int32_t* unit) {
    return zir::MarkAndNumberLine(target, RecordAt(p1), RecordAt(p2), Text(prefix),
                                  ViewOf(glyphs, offsets), NumberAt(flags), NumberAt(unit));
}

std::int32_t ZIRD_MARKANGLE(ZirImageHandle* target, const ZirLine* line1, const ZirLine* line2,
                            const char* label, const ZirByteList* glyphs, const ZirIntList* offsets,
                            const std::int32_t* mode, const double* radius) {
    return zir::MarkAngle(target, RecordAt(line1), RecordAt(line2), Text(label),
                          ViewOf(glyphs, offsets), NumberAt(mode), NumberAt(radius));
}

std::int32_t ZIRD_MARKANDNUMBERANGLE(ZirImageHandle* target, const ZirLine* line1,
                                     const ZirLine* line2, const char* prefix,
                                     const ZirByteList* glyphs, const ZirIntList* offsets,
                                     const std::int32_t* mode, const double* radius) {
    return zir::MarkAndNumberAngle(target, RecordAt(line1), RecordAt(line2), Text(prefix),
                                   ViewOf(glyphs, offsets), NumberAt(mode), NumberAt(radius));
}

std::int32_t ZIRD_MARKANGLEPT(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* vertex,
                              const ZirPoint* b, const char* label, const ZirByteList* glyphs,
                              const ZirIntList* offsets, const double* radius) {
    return zir::MarkAnglePt(target, RecordAt(a), RecordAt(vertex), RecordAt(b), Text(label),
                            ViewOf(glyphs, offsets), NumberAt(radius));
}

std::int32_t ZIRD_MARKANDNUMBERANGLEPT(ZirImageHandle* target, const ZirPoint* a,
                                       const ZirPoint* vertex, const ZirPoint* b,
                                       const char* prefix, const ZirByteList* glyphs,
                                       const ZirIntList* offsets, const double* radius) {
    return zir::MarkAndNumberAnglePt(target, RecordAt(a), RecordAt(vertex), RecordAt(b),
                                     Text(prefix), ViewOf(glyphs, offsets), NumberAt(radius));
}

std::int32_t ZIRD_MARKRIGHTANGLE(ZirImageHandle* target, const ZirLine* line1, const ZirLine* line2,
                                 const std::int32_t* mode, const double* size) {
    return zir::MarkRightAngle(target, RecordAt(line1), RecordAt(line2), NumberAt(mode),
                               NumberAt(size));
}

std::int32_t ZIRD_MARKRIGHTANGLEPT(ZirImageHandle* target, const ZirPoint* a,
                                   const ZirPoint* vertex, const ZirPoint* b,
                                   const std::int32_t* mode, const double* size) {
    return zir::MarkRightAnglePt(target, RecordAt(a), RecordAt(vertex), RecordAt(b), NumberAt(mode),
                                 NumberAt(size));
}

}  // extern "C"
