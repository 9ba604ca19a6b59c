// The exported geometry: the kernel operations and the crossings, pointers in and out. The
// lines the kernel makes from nothing take the script's default style and width, as the
// exported interface promises.
#include "capi/arguments.h"
#include "geometry/crossings.h"
#include "runtime/runstate.h"

using namespace zir;
using namespace zir::capi;

extern "C" {

ZirLine ZIR_MAKELINE(const ZirPoint* p1, const ZirPoint* p2) {
    return WithDefaultStyle(MakeLine(RecordAt(p1), RecordAt(p2)));
}

ZirLine ZIR_MAKELINEPOLAR(const ZirPoint* p, const double* a) {
    return WithDefaultStyle(MakeLinePolar(RecordAt(p), NumberAt(a)));
}

double ZIR_DISTANCE(const ZirPoint* p1, const ZirPoint* p2) {
    return Distance(RecordAt(p1), RecordAt(p2));
}

double ZIR_LINEDISTANCE(const ZirPoint* p, const ZirLine* l) {
    return LineDistance(RecordAt(p), RecordAt(l));
}

ZirPoint ZIR_ADVANCEONLINE(const ZirPoint* p, const ZirLine* l, const double* d) {
    return AdvanceOnLine(RecordAt(p), RecordAt(l), NumberAt(d));
}

ZirPoint ZIR_ADVANCETOPOINT(const ZirPoint* p1, const ZirPoint* p2, const double* d) {
    return AdvanceToPoint(RecordAt(p1), RecordAt(p2), NumberAt(d));
}

ZirLine ZIR_MAKERIGHTANGLE(const ZirPoint* p, const ZirLine* l) {
    return MakeRightAngle(RecordAt(p), RecordAt(l));
}

int32_t ZIR_RECTOVER(const ZirPoint* a, const ZirPoint* b, const double* h, ZirPoint* c,
                     ZirPoint* d) {
    Point cornerC = RecordAt(c), cornerD = RecordAt(d);
    std::int32_t result = RectOver(RecordAt(a), RecordAt(b), NumberAt(h), cornerC, cornerD);
    if (c) *c = cornerC;
    if (d) *d = cornerD;
    return result;
}

ZirLine ZIR_MAKEANGLE(const ZirPoint* p, const ZirLine* l, const double* a) {
    return WithDefaultStyle(MakeAngle(RecordAt(p), RecordAt(l), NumberAt(a)));
}

ZirPoint ZIR_ROTATEPOINT(const ZirPoint* p, const ZirPoint* centre, const double* a) {
    return RotatePoint(RecordAt(p), RecordAt(centre), NumberAt(a));
}

double ZIR_ABSANGLE(const ZirLine* l) {
    return AbsAngle(RecordAt(l));
}

double ZIR_ANGLE(const ZirLine* l1, const ZirLine* l2) {
    return Angle(RecordAt(l1), RecordAt(l2));
}

ZirCircle ZIR_MAKEARC(const ZirPoint* centre, const ZirPoint* p, const double* w) {
    return MakeArc(RecordAt(centre), RecordAt(p), NumberAt(w));
}

ZirLine ZIR_EQUATTOVECTORIAL(const ZirEquation* e) {
    return EquatToVectorial(RecordAt(e));
}

ZirEquation ZIR_VECTORIALTOEQUAT(const ZirLine* l) {
    return VectorialToEquat(RecordAt(l));
}

double ZIR_LINEDISTANCEEQUAT(const ZirPoint* p, const ZirEquation* e) {
    return LineDistanceEquat(RecordAt(p), RecordAt(e));
}

ZirPoint ZIR_LINECROSS(const ZirLine* l1, const ZirLine* l2) {
    return LineCross(RecordAt(l1), RecordAt(l2));
}

int32_t ZIR_LINECIRCLECROSS(const ZirLine* l, const ZirCircle* c, ZirPoint* s1, ZirPoint* s2) {
    Point cross1 = RecordAt(s1), cross2 = RecordAt(s2);
    std::int32_t count = LineCircleCross(RecordAt(l), RecordAt(c), cross1, cross2);
    if (s1) *s1 = cross1;
    if (s2) *s2 = cross2;
    return count;
}

int32_t ZIR_SOLVEEQUATION2(const double* a, const double* b, const double* c, double* x1,
                           double* x2) {
    double root1 = NumberAt(x1), root2 = NumberAt(x2);
    std::int32_t count = SolveEquation2(NumberAt(a), NumberAt(b), NumberAt(c), root1, root2);
    if (x1 && count >= 1) *x1 = root1;
    if (x2 && count == 2) *x2 = root2;
    return count;
}

int32_t ZIR_CIRCLECROSS(const ZirCircle* c1, const ZirCircle* c2, ZirPoint* s1, ZirPoint* s2) {
    Point cross1 = RecordAt(s1), cross2 = RecordAt(s2);
    std::int32_t count = CircleCross(RecordAt(c1), RecordAt(c2), cross1, cross2);
    if (s1) *s1 = cross1;
    if (s2) *s2 = cross2;
    return count;
}

int32_t ZIR_ISBETWEEN(const ZirPoint* a, const ZirPoint* p, const ZirPoint* b) {
    return IsBetween(RecordAt(a), RecordAt(p), RecordAt(b));
}

int32_t ZIR_LINEISBETWEEN(const ZirLine* l, const ZirPoint* p1, const ZirPoint* p2) {
    return LineIsBetween(RecordAt(l), RecordAt(p1), RecordAt(p2));
}

int32_t ZIR_SETFIRST(ZirPoint* a, ZirPoint* b, const ZirLine* l) {
    Point first = RecordAt(a), second = RecordAt(b);
    std::int32_t result = SetFirst(first, second, RecordAt(l));
    if (a) *a = first;
    if (b) *b = second;
    return result;
}

int32_t ZIR_SETFIRSTANGLE(ZirPoint* a, ZirPoint* b, const ZirLine* l) {
    Point first = RecordAt(a), second = RecordAt(b);
    std::int32_t result = SetFirstAngle(first, second, RecordAt(l));
    if (a) *a = first;
    if (b) *b = second;
    return result;
}

int32_t ZIR_SETSMALLERANGLE(ZirLine* l1, ZirLine* l2) {
    Line first = RecordAt(l1), second = RecordAt(l2);
    std::int32_t result = SetSmallerAngle(first, second);
    if (l1) *l1 = first;
    if (l2) *l2 = second;
    return result;
}

}  // extern "C"
