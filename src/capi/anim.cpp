// The exported animations: the C interface of include/zirkula.h over the procedures of this
// folder. A null record pointer is an undefined record, a null number pointer 0, a null look
// record draws no segment, and null out pointers (step, event) are not written.
#include "anim/arcs.h"
#include "anim/lines.h"
#include "anim/protractor.h"
#include "anim/setsquare.h"
#include "capi/arguments.h"

using namespace zir::capi;

namespace {

std::uint32_t Word(const std::int32_t* v) {
    return static_cast<std::uint32_t>(NumberAt(v));
}

float Seconds(const float* duration) {
    return duration ? *duration : 0.0f;
}

zir::Line Look(const ZirLine* look) {
    return look ? *look : zir::Line{};
}

}  // namespace

extern "C" {

std::int32_t ZIRA_PARTIALLINE(ZirImageHandle* buffer, const ZirPoint* p1, const ZirPoint* p2,
                              const ZirLine* look, std::int32_t* step, const std::int32_t* steps,
                              const double* pencilSize, const std::int32_t* word) {
    std::int32_t counter = NumberAt(step);
    const std::int32_t result =
        zir::PartialLine(buffer, RecordAt(p1), RecordAt(p2), Look(look), counter, NumberAt(steps),
                         NumberAt(pencilSize), Word(word));
    if (step) *step = counter;
    return result;
}

std::int32_t ZIRA_ANIMATELINE(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                              const ZirPoint* p1, const ZirPoint* p2, const ZirLine* look,
                              const float* duration, const double* pencilSize,
                              const std::int32_t* word) {
    return static_cast<std::int32_t>(
        zir::AnimateLine(buffer, NumberAt(x), NumberAt(y), RecordAt(p1), RecordAt(p2), Look(look),
                         Seconds(duration), NumberAt(pencilSize), Word(word)));
}

std::int32_t ZIRA_STARTLINE(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                            const ZirPoint* p1, const ZirPoint* p2, const ZirLine* look,
                            const float* duration, const double* pencilSize,
                            const std::int32_t* word) {
    return static_cast<std::int32_t>(
        zir::AnimateStartLine(buffer, NumberAt(x), NumberAt(y), RecordAt(p1), RecordAt(p2),
                              Look(look), Seconds(duration), NumberAt(pencilSize), Word(word)));
}

std::int32_t ZIRA_PARTIALARC(ZirImageHandle* buffer, const ZirCircle* arc, std::int32_t* step,
                             const std::int32_t* steps, const double* compassSize,
                             const std::int32_t* word) {
    std::int32_t counter = NumberAt(step);
    const std::int32_t result = zir::PartialArc(buffer, RecordAt(arc), counter, NumberAt(steps),
                                                NumberAt(compassSize), Word(word));
    if (step) *step = counter;
    return result;
}

std::int32_t ZIRA_ANIMATEARC(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                             const ZirCircle* arc, const float* duration, const double* compassSize,
                             const std::int32_t* word) {
    return static_cast<std::int32_t>(zir::AnimateArc(buffer, NumberAt(x), NumberAt(y),
                                                     RecordAt(arc), Seconds(duration),
                                                     NumberAt(compassSize), Word(word)));
}

ZirLine ZIRA_ANIMATERIGHTANGLE(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                               const ZirLine* l, const ZirPoint* p, const float* duration,
                               double size, double rulerWidth, const std::int32_t* squareColour,
                               const std::int32_t* rulerColour, std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Line r = zir::AnimateRightAngle(buffer, NumberAt(x), NumberAt(y), RecordAt(l),
                                               RecordAt(p), Seconds(duration), size, rulerWidth,
                                               ColourAt(squareColour), ColourAt(rulerColour), e);
    Give(event, e);
    return r;
}

ZirLine ZIRA_ANIMATEDRAWRIGHTANGLE(ZirImageHandle* buffer, const std::int32_t* x,
                                   const std::int32_t* y, const ZirLine* l, const ZirPoint* p,
                                   const float* duration, const ZirLine* look, double size,
                                   double rulerWidth, const std::int32_t* squareColour,
                                   const std::int32_t* rulerColour, const std::int32_t* word,
                                   std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Line r = zir::AnimateDrawRightAngle(
        buffer, NumberAt(x), NumberAt(y), RecordAt(l), RecordAt(p), Seconds(duration), Look(look),
        size, rulerWidth, ColourAt(squareColour), ColourAt(rulerColour), Word(word), e);
    Give(event, e);
    return r;
}

ZirLine ZIRA_ANIMATEPARALLEL(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                             const ZirLine* l, const ZirPoint* p, const float* duration,
                             double size, double rulerWidth, const std::int32_t* squareColour,
                             const std::int32_t* rulerColour, std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Line r = zir::AnimateParallel(buffer, NumberAt(x), NumberAt(y), RecordAt(l),
                                             RecordAt(p), Seconds(duration), size, rulerWidth,
                                             ColourAt(squareColour), ColourAt(rulerColour), e);
    Give(event, e);
    return r;
}

ZirLine ZIRA_ANIMATEDRAWPARALLEL(ZirImageHandle* buffer, const std::int32_t* x,
                                 const std::int32_t* y, const ZirLine* l, const ZirPoint* p,
                                 const float* duration, const ZirLine* look, double size,
                                 double rulerWidth, const std::int32_t* squareColour,
                                 const std::int32_t* rulerColour, const std::int32_t* word,
                                 std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Line r = zir::AnimateDrawParallel(
        buffer, NumberAt(x), NumberAt(y), RecordAt(l), RecordAt(p), Seconds(duration), Look(look),
        size, rulerWidth, ColourAt(squareColour), ColourAt(rulerColour), Word(word), e);
    Give(event, e);
    return r;
}

ZirLine ZIRA_ANIMATEPROTRACTOR(ZirImageHandle* buffer, const std::int32_t* x, const std::int32_t* y,
                               const ZirLine* l, const ZirPoint* p, const double* angle,
                               const float* duration, double size, const ZirLine* look,
                               const std::int32_t* word, std::int32_t* event) {
    zir::InputEvent e = 0;
    const zir::Line r =
        zir::AnimateProtractor(buffer, NumberAt(x), NumberAt(y), RecordAt(l), RecordAt(p),
                               NumberAt(angle), Seconds(duration), size, Look(look), Word(word), e);
    Give(event, e);
    return r;
}

}  // extern "C"
