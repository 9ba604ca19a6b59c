/* A plain C caller of the library: compiling it proves the header is C, running it proves the
   records cross the boundary with the layout C gives them. */
#include <stddef.h>
#include <stdio.h>

#include "zirkula.h"

_Static_assert(sizeof(ZirPoint) == 24 && offsetof(ZirPoint, shape) == 22, "point layout");
_Static_assert(sizeof(ZirLine) == 40 && offsetof(ZirLine, width) == 38, "line layout");
_Static_assert(sizeof(ZirCircle) == 48 && offsetof(ZirCircle, width) == 44, "circle layout");
_Static_assert(sizeof(ZirEquation) == 24 && offsetof(ZirEquation, style) == 22, "equation layout");

int main(void) {
    ZirLine xAxis = {0, 0, 1, 0, 0x00FF00, 0xFFFF, 2};
    ZirLine vertical = {5, 10, 0, 1, 0xFF0000, 0xFFFF, 1};
    ZirPoint s = ZIR_LINECROSS(&xAxis, &vertical);
    if (s.x != 5 || s.y != 0 || s.colour != 0x00FF00 || s.size != 2 || s.shape != 0) {
        printf("ZIR_LINECROSS gave (%g, %g) colour %06X size %d shape %d\n", s.x, s.y,
               (unsigned)s.colour, s.size, s.shape);
        return 1;
    }
    ZirPoint a = {1, 1, 0, 0, 0}, b = {4, 5, 0, 0, 0};
    double d = ZIR_DISTANCE(&a, &b);
    if (d != 5) {
        printf("ZIR_DISTANCE gave %g\n", d);
        return 1;
    }
    return 0;
}
