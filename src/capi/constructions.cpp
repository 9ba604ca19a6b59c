// The exported named constructions (ZIRS_MAKE...): each draws and paces as the statements do.
#include "constructions/constructions.h"

#include "capi/arguments.h"

using namespace zir;
using namespace zir::capi;

namespace {

zir::PaceMode ModeAt(const std::int32_t* mode) {
    return static_cast<zir::PaceMode>(NumberAt(mode));
}

zir::LineOperands LineLook(const std::int32_t* style, const std::int32_t* colour,
                           const std::int32_t* width) {
    return zir::LineOperands{NumberAt(style), NumberAt(colour), NumberAt(width)};
}

zir::CircleOperands CircleLook(const std::int32_t* colour, const std::int32_t* width,
                               const std::int32_t* start, const std::int32_t* end) {
    return zir::CircleOperands{NumberAt(colour), NumberAt(width), NumberAt(start), NumberAt(end)};
}

}  // namespace

extern "C" {

ZirLine ZIRS_MAKELINE(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                      const ZirPoint* p1, const ZirPoint* p2, const std::int32_t* style,
                      const std::int32_t* colour, const std::int32_t* width,
                      const std::int32_t* mode, std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Line l =
        zir::ConstructLine(buffer, NumberAt(x), NumberAt(y), RecordAt(p1), RecordAt(p2),
                           LineLook(style, colour, width), ModeAt(mode), e);
    Give(event, e);
    return l;
}

ZirLine ZIRS_MAKELINEPOLAR(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                           const ZirPoint* p, const ZirLine* l, const std::int32_t* angle,
                           const std::int32_t* style, const std::int32_t* colour,
                           const std::int32_t* width, const std::int32_t* mode,
                           std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Line r =
        zir::ConstructLinePolar(buffer, NumberAt(x), NumberAt(y), RecordAt(p), RecordAt(l),
                                NumberAt(angle), LineLook(style, colour, width), ModeAt(mode), e);
    Give(event, e);
    return r;
}

ZirLine ZIRS_MAKESTARTLINE(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                           const ZirPoint* p, ZirPoint* q, const std::int32_t* angle,
                           const std::int32_t* length, const std::int32_t* style,
                           const std::int32_t* colour, const std::int32_t* width,
                           const std::int32_t* mode, std::int32_t* event) {
    zir::InputEvent e = 0;
    zir::Point end = zir::UndefinedPoint();
    const zir::Line r =
        zir::ConstructStartLine(buffer, NumberAt(x), NumberAt(y), RecordAt(p), end, NumberAt(angle),
                                NumberAt(length), LineLook(style, colour, width), ModeAt(mode), e);
    if (q) *q = end;
    Give(event, e);
    return r;
}

ZirCircle ZIRS_MAKECIRCLEP(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                           const ZirPoint* m, const ZirPoint* p, const std::int32_t* colour,
                           const std::int32_t* width, const std::int32_t* start,
                           const std::int32_t* end, const std::int32_t* mode, std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Circle c =
        zir::ConstructCircleThrough(buffer, NumberAt(x), NumberAt(y), RecordAt(m), RecordAt(p),
                                    CircleLook(colour, width, start, end), ModeAt(mode), e);
    Give(event, e);
    return c;
}

ZirCircle ZIRS_MAKECIRCLETANGENT(ZirImageHandle* buffer, const std::int32_t* x,
                                 const std::int32_t* y, const ZirPoint* m, const ZirLine* l,
                                 const std::int32_t* colour, const std::int32_t* width,
                                 const std::int32_t* start, const std::int32_t* end,
                                 const std::int32_t* mode, std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Circle c =
        zir::ConstructCircleTangent(buffer, NumberAt(x), NumberAt(y), RecordAt(m), RecordAt(l),
                                    CircleLook(colour, width, start, end), ModeAt(mode), e);
    Give(event, e);
    return c;
}

ZirCircle ZIRS_MAKEARC(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                       const ZirPoint* m, const ZirPoint* p, const std::int32_t* colour,
                       const std::int32_t* width, const std::int32_t* angularWidth,
                       const std::int32_t* mode, std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Circle c = zir::ConstructArc(
        buffer, NumberAt(x), NumberAt(y), RecordAt(m), RecordAt(p), NumberAt(angularWidth),
        CircleLook(colour, width, nullptr, nullptr), ModeAt(mode), e);
    Give(event, e);
    return c;
}

ZirCircle ZIRS_MAKEARCLINES(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                            const ZirLine* l1, const ZirLine* l2, const std::int32_t* radius,
                            const std::int32_t* colour, const std::int32_t* width,
                            const std::int32_t* mode, std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Circle c = zir::ConstructArcLines(
        buffer, NumberAt(x), NumberAt(y), RecordAt(l1), RecordAt(l2), NumberAt(radius),
        CircleLook(colour, width, nullptr, nullptr), ModeAt(mode), e);
    Give(event, e);
    return c;
}

ZirLine ZIRS_MAKEMIDLINE(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                         const ZirPoint* a, const ZirPoint* b, const std::int32_t* style,
                         const std::int32_t* colour, const std::int32_t* width,
                         const std::int32_t* mode, std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Line r =
        zir::ConstructMidLine(buffer, NumberAt(x), NumberAt(y), RecordAt(a), RecordAt(b),
                              LineLook(style, colour, width), ModeAt(mode), e);
    Give(event, e);
    return r;
}

ZirLine ZIRS_MAKEBISECTOR(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                          const ZirLine* l1, const ZirLine* l2, const std::int32_t* style,
                          const std::int32_t* colour, const std::int32_t* width,
                          const std::int32_t* mode, std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Line r =
        zir::ConstructBisector(buffer, NumberAt(x), NumberAt(y), RecordAt(l1), RecordAt(l2),
                               LineLook(style, colour, width), ModeAt(mode), e);
    Give(event, e);
    return r;
}

ZirLine ZIRS_MAKETANGENT(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                         const ZirPoint* p, const ZirCircle* c, ZirLine* t2,
                         const std::int32_t* style, const std::int32_t* colour,
                         const std::int32_t* width, const std::int32_t* mode, std::int32_t* event) {
    zir::InputEvent e = 0;
    zir::Line second = zir::UndefinedLine();
    const zir::Line first =
        zir::ConstructTangent(buffer, NumberAt(x), NumberAt(y), RecordAt(p), RecordAt(c), second,
                              LineLook(style, colour, width), ModeAt(mode), e);
    if (t2) *t2 = second;
    Give(event, e);
    return first;
}

}  // extern "C"
