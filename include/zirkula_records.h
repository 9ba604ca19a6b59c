/* Zirkula: the geometry records of the exported C interface, which the program's own code
   uses as they are. Outside programs build these records byte for byte, so their layout
   never moves. */
#ifndef ZIRKULA_RECORDS_H
#define ZIRKULA_RECORDS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZIR_UNDEFINED 1e308
/* The integer result of an operation that was given an undefined object (0xFFFF0000). */
#define ZIR_UNDEFINED_RESULT (-65536)

typedef struct ZirPoint {
    double x; /* ZIR_UNDEFINED = undefined */
    double y;
    uint32_t colour; /* 0x00RRGGBB */
    int16_t size;
    int16_t shape;
} ZirPoint;

typedef struct ZirLine {
    double x, y;   /* base point; x = ZIR_UNDEFINED = undefined */
    double dx, dy; /* direction, not normalised; its sign gives the line a direction */
    uint32_t colour;
    uint16_t style; /* dash mask, 0xFFFF solid */
    int16_t width;
} ZirLine;

/* A circle or an arc from start counter-clockwise to end; start = end = 0 is the whole circle. */
typedef struct ZirCircle {
    double cx, cy; /* cx = ZIR_UNDEFINED = undefined */
    double r;
    double start, end; /* radians in [0, 2 pi] */
    uint32_t colour;
    int32_t width;
} ZirCircle;

/* y = m x + b; m = ZIR_UNDEFINED for a vertical line, whose x is then b. Width comes before
   style here, the other way round from the line. */
typedef struct ZirEquation {
    double m;
    double b; /* ZIR_UNDEFINED = undefined */
    uint32_t colour;
    int16_t width;
    uint16_t style;
} ZirEquation;

#ifdef __cplusplus
}
#endif

#endif
