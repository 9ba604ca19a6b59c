/* Zirkula: the exported C interface of libzirkula.so.

   Strings are NUL-terminated; text the program shows is Windows-1252 (Latin-1) bytes.
   Arguments the procedures take "by reference" are pointers. */
#ifndef ZIRKULA_H
#define ZIRKULA_H

#include <stdint.h>

#include "zirkula_records.h"

#ifdef __cplusplus
extern "C" {
#endif

#define ZIR_API __attribute__((visibility("default")))

/* A list of 32-bit integers that a procedure may rewrite and resize, such as the error
   codes and error line numbers of a run. items is memory from malloc (or NULL while count
   is 0); a procedure that resizes the list does so with realloc, and the caller releases
   items with free(). */
typedef struct ZirIntList {
    int32_t* items;
    int32_t count;
} ZirIntList;

/* A list of bytes with the same rules, such as the glyph bytes of a font. */
typedef struct ZirByteList {
    uint8_t* items;
    int32_t count;
} ZirByteList;

/* A list of NUL-terminated strings (Latin-1 bytes), such as the lines of a script. */
typedef struct ZirStringList {
    char** items;
    int32_t count;
} ZirStringList;

/* An image: the address of its first header byte (u16 width * 8 + bytes per pixel, u16
   height, then the pixels row by row, little-endian). Drawing procedures take a pointer to
   such a handle; a null handle (or a null pointer) draws on the screen. */
typedef uint8_t* ZirImageHandle;

/* ---- Geometry: records, kernel operations and crossings ------------------------------------
   Coordinates are pixels of the drawing buffer, x to the right and y down; angles are radians
   counter-clockwise as seen on the screen, 0 along +x, so angle a points along (cos a, -sin a).
   A record whose first coordinate is ZIR_UNDEFINED (exactly) is undefined: point x, line x,
   circle cx, equation b. Every operation passes undefinedness on instead of computing.
   Records and numbers are passed by pointer: a null record pointer counts as an undefined
   record, a null number pointer as 0, and a null result pointer is not written. Records come
   back by value. */

/* The line from p1 towards p2 (a horizontal one when they are equal), in p1's colour with the
   current default line style and width. */
ZIR_API ZirLine ZIR_MAKELINE(const ZirPoint* p1, const ZirPoint* p2);
/* The line through p at the absolute angle a, direction of length 100. */
ZIR_API ZirLine ZIR_MAKELINEPOLAR(const ZirPoint* p, const double* a);
/* 0.0 when a point is undefined. */
ZIR_API double ZIR_DISTANCE(const ZirPoint* p1, const ZirPoint* p2);
ZIR_API double ZIR_LINEDISTANCE(const ZirPoint* p, const ZirLine* l);
/* p moved by the signed distance d along l's direction. */
ZIR_API ZirPoint ZIR_ADVANCEONLINE(const ZirPoint* p, const ZirLine* l, const double* d);
/* p1 moved by the signed distance d towards p2; undefined when they are equal. */
ZIR_API ZirPoint ZIR_ADVANCETOPOINT(const ZirPoint* p1, const ZirPoint* p2, const double* d);
/* The perpendicular to l through p, l's direction turned a quarter clockwise on the screen. */
ZIR_API ZirLine ZIR_MAKERIGHTANGLE(const ZirPoint* p, const ZirLine* l);
/* The far corners c (over a) and d (over b) of the rectangle of height h on the side ab,
   offset along (-(b.y - a.y), b.x - a.x). Returns 0 or ZIR_UNDEFINED_RESULT. */
ZIR_API int32_t ZIR_RECTOVER(const ZirPoint* a, const ZirPoint* b, const double* h, ZirPoint* c,
                             ZirPoint* d);
/* The line through p at l's absolute angle plus a. */
ZIR_API ZirLine ZIR_MAKEANGLE(const ZirPoint* p, const ZirLine* l, const double* a);
/* p turned about centre by a, counter-clockwise on the screen. */
ZIR_API ZirPoint ZIR_ROTATEPOINT(const ZirPoint* p, const ZirPoint* centre, const double* a);
/* The angle of l's direction in [0, 2 pi); ZIR_UNDEFINED for an undefined line. */
ZIR_API double ZIR_ABSANGLE(const ZirLine* l);
/* The counter-clockwise angle from l1's direction to l2's. */
ZIR_API double ZIR_ANGLE(const ZirLine* l1, const ZirLine* l2);
/* The arc about centre through p with the angular width w, centred on p. */
ZIR_API ZirCircle ZIR_MAKEARC(const ZirPoint* centre, const ZirPoint* p, const double* w);
ZIR_API ZirLine ZIR_EQUATTOVECTORIAL(const ZirEquation* e);
ZIR_API ZirEquation ZIR_VECTORIALTOEQUAT(const ZirLine* l);
ZIR_API double ZIR_LINEDISTANCEEQUAT(const ZirPoint* p, const ZirEquation* e);

/* The crossing of two lines, on l2's parametrisation; parallel lines give a far point in
   the transparent colour 0xFF00FF. */
ZIR_API ZirPoint ZIR_LINECROSS(const ZirLine* l1, const ZirLine* l2);
/* Returns the number of crossings (0, 1 or 2); s1 is the one met first along l. */
ZIR_API int32_t ZIR_LINECIRCLECROSS(const ZirLine* l, const ZirCircle* c, ZirPoint* s1,
                                    ZirPoint* s2);
/* The real roots of a x^2 + b x + c = 0; returns their number and writes only that many. */
ZIR_API int32_t ZIR_SOLVEEQUATION2(const double* a, const double* b, const double* c, double* x1,
                                   double* x2);
/* Returns the number of crossings; s1 lies on the right of the direction from c1's centre to
   c2's centre as seen on the screen. */
ZIR_API int32_t ZIR_CIRCLECROSS(const ZirCircle* c1, const ZirCircle* c2, ZirPoint* s1,
                                ZirPoint* s2);
/* -1 when p lies strictly inside the box spanned by a and b, else 0. */
ZIR_API int32_t ZIR_ISBETWEEN(const ZirPoint* a, const ZirPoint* p, const ZirPoint* b);
/* 1, 2 or 3 when p1, p2 or both lie on l; otherwise -1 when l passes between them, else 0. */
ZIR_API int32_t ZIR_LINEISBETWEEN(const ZirLine* l, const ZirPoint* p1, const ZirPoint* p2);
/* Orders a and b along l's direction; -1 or -2 when one or both are undefined. */
ZIR_API int32_t ZIR_SETFIRST(ZirPoint* a, ZirPoint* b, const ZirLine* l);
/* Orders a and b by the counter-clockwise turn from l's direction about its base point. */
ZIR_API int32_t ZIR_SETFIRSTANGLE(ZirPoint* a, ZirPoint* b, const ZirLine* l);
/* Orders two lines so that l2 follows l1 within a half turn. */
ZIR_API int32_t ZIR_SETSMALLERANGLE(ZirLine* l1, ZirLine* l2);

/* ---- End of geometry ------------------------------------------------------------------------ */

/* ---- Text ------------------------------------------------------------------------------
   A font is a pair of lists: the glyph bytes and 256 offsets (the glyph of code c starts at
   byte 0 for c = 0, at offsets[c - 1] otherwise, and ends at offsets[c]); each glyph is a
   one-bit image: u16 width * 8 + 1, u16 height, rows of (width + 7) / 8 bytes. */

/* Reads a font file into the two lists (resized with realloc). Returns 0, or -1 when the
   file is missing, short or malformed; the lists are then unchanged. */
ZIR_API int32_t ZIRD_LOADFONT(const char* fileName, ZirByteList* glyphs, ZirIntList* offsets);
/* Draws a one-bit image at (x, y): ink in the foreground colour, the rest in the background
   colour, which leaves the target showing when it is the target's transparent colour. */
ZIR_API int32_t ZIRD_PUTBN(ZirImageHandle* target, const uint8_t* bitmap, const int32_t* x,
                           const int32_t* y, const uint32_t* foreground,
                           const uint32_t* background);
/* Draws the text on one line, its top-left corner at (x, y). */
ZIR_API int32_t ZIRD_PRINT(ZirImageHandle* target, const char* text, const ZirByteList* glyphs,
                           const ZirIntList* offsets, const int32_t* x, const int32_t* y,
                           const uint32_t* foreground, const uint32_t* background);
/* The text's width in pixels. */
ZIR_API int32_t ZIRD_STRINGW(const char* text, const ZirByteList* glyphs,
                             const ZirIntList* offsets);
/* Draws the text wrapped at blanks and carriage returns into the box at (x, y). */
ZIR_API int32_t ZIRD_LINEWRAP(ZirImageHandle* target, const char* text, const ZirByteList* glyphs,
                              const ZirIntList* offsets, const int32_t* x, const int32_t* y,
                              const int32_t* width, const int32_t* height,
                              const uint32_t* foreground, const uint32_t* background);

/* ---- Drawing: figures, marks and fills -------------------------------------------------
   Every procedure draws on *target (a null handle or null pointer: the screen) and returns 0,
   ZIR_UNDEFINED_RESULT when an object it needs is undefined (nothing is drawn), or -1 where
   noted. Colours, line styles and widths come from the records. A width w is drawn as w
   one-pixel copies at the offsets -w/2 ... -w/2 + w - 1; a width of 0 or less draws nothing. */

/* The point in its shape: 0 cross, 2 disc, 3 circle, 4 filled square, 5 square, 8 to 11
   arrowheads pointing left, right, up and down, anything else a single pixel. -1 when the
   point lies left of or above the target or beyond its width or height. */
ZIR_API int32_t ZIRD_POINT(ZirImageHandle* target, const ZirPoint* point);
/* The whole infinite line across the target. */
ZIR_API int32_t ZIRD_LINE(ZirImageHandle* target, const ZirLine* line);
/* The segment p1-p2 in the line record's colour, style and width. */
ZIR_API int32_t ZIRD_LINEP(ZirImageHandle* target, const ZirPoint* p1, const ZirPoint* p2,
                           const ZirLine* line);
/* A full circle when start and end are both 0, else the arc counter-clockwise from start to
   end. */
ZIR_API int32_t ZIRD_CIRCLE(ZirImageHandle* target, const ZirCircle* circle);
/* The rectangle of the given height on the side ab, drawn as four ZIRD_LINEP sides. */
ZIR_API int32_t ZIRD_RECT(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* b,
                          const double* height, const ZirLine* line);

/* Labels are drawn in the font (glyph bytes and offsets, as for ZIRD_PRINT) on a transparent
   background, in the colour of the point, of the first point or of the first line. */

/* The point and its label; flags: 1 above, 2 below, 4 left, 8 right, else centred. */
ZIR_API int32_t ZIRD_MARKPOINT(ZirImageHandle* target, const ZirPoint* point, const char* label,
                               const ZirByteList* glyphs, const ZirIntList* offsets,
                               const int32_t* flags);
/* A label beside the middle of p1-p2: above (left of a steep segment) for side 0, below
   (right) otherwise. */
ZIR_API int32_t ZIRD_MARKLINE(ZirImageHandle* target, const ZirPoint* p1, const ZirPoint* p2,
                              const char* label, const ZirByteList* glyphs,
                              const ZirIntList* offsets, const int32_t* side);
/* prefix + "=" + the length: whole pixels for a unit below 2, else length / unit with up to
   two decimals. Flags 0 above or left, any other value below or right; 0x100 negates. */
ZIR_API int32_t ZIRD_MARKANDNUMBERLINE(ZirImageHandle* target, const ZirPoint* p1,
                                       const ZirPoint* p2, const char* prefix,
                                       const ZirByteList* glyphs, const ZirIntList* offsets,
                                       const int32_t* flags, const int32_t* unit);
/* An arc of the radius around the lines' crossing with the label inside it. Mode 0 from line 1
   to line 2, 1 and 3 the adjacent angles, 2 the opposite one (an angle above 180 degrees is
   first turned into the one towards the reversed line 2); 4 and above from line 1 to line 2
   counter-clockwise, reflex angles included. A right angle also gets its square corner. */
ZIR_API int32_t ZIRD_MARKANGLE(ZirImageHandle* target, const ZirLine* line1, const ZirLine* line2,
                               const char* label, const ZirByteList* glyphs,
                               const ZirIntList* offsets, const int32_t* mode,
                               const double* radius);
/* The same with prefix + "=" + whole degrees + the degree sign (byte 0xB0). */
ZIR_API int32_t ZIRD_MARKANDNUMBERANGLE(ZirImageHandle* target, const ZirLine* line1,
                                        const ZirLine* line2, const char* prefix,
                                        const ZirByteList* glyphs, const ZirIntList* offsets,
                                        const int32_t* mode, const double* radius);
/* The angle a-vertex-b counter-clockwise from the ray towards a (mode 4), in the vertex's
   colour. */
ZIR_API int32_t ZIRD_MARKANGLEPT(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* vertex,
                                 const ZirPoint* b, const char* label, const ZirByteList* glyphs,
                                 const ZirIntList* offsets, const double* radius);
ZIR_API int32_t ZIRD_MARKANDNUMBERANGLEPT(ZirImageHandle* target, const ZirPoint* a,
                                          const ZirPoint* vertex, const ZirPoint* b,
                                          const char* prefix, const ZirByteList* glyphs,
                                          const ZirIntList* offsets, const double* radius);
/* The square corner of side size at the lines' crossing; mode bit 0 reverses line 1's
   direction, bit 1 line 2's. */
ZIR_API int32_t ZIRD_MARKRIGHTANGLE(ZirImageHandle* target, const ZirLine* line1,
                                    const ZirLine* line2, const int32_t* mode, const double* size);
ZIR_API int32_t ZIRD_MARKRIGHTANGLEPT(ZirImageHandle* target, const ZirPoint* a,
                                      const ZirPoint* vertex, const ZirPoint* b,
                                      const int32_t* mode, const double* size);

/* Fills blend the shape, outline included, over the target with the opacity alpha (0 to 255);
   nothing outside the shape changes. */

/* An alpha of -1 is taken as 255 and written back as 255. */
ZIR_API int32_t ZIRD_FILLTRIANGLE(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* b,
                                  const ZirPoint* c, const uint32_t* colour, int32_t* alpha);
/* A disc, or the sector from start to end; negative angles are brought into [0, 2 pi) in the
   caller's record. */
ZIR_API int32_t ZIRD_FILLCIRCLE(ZirImageHandle* target, ZirCircle* circle, const uint32_t* colour,
                                const int32_t* alpha);
/* The rectangle of the given height on the side ab. */
ZIR_API int32_t ZIRD_FILLRECT(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* b,
                              const double* height, const uint32_t* colour, const int32_t* alpha);

/* ---- End of drawing ------------------------------------------------------------------------ */

/* ---- Drawing instruments ---------------------------------------------------------------
   Each draws its instrument once, a line drawing in one colour, where its arguments place it
   on *target (a null handle or null pointer: the screen). Returns 0, ZIR_UNDEFINED_RESULT
   when a position record is undefined (nothing drawn), or -1 where noted. Null pointers as
   in the geometry; a null colour pointer is black. */

/* A ruler of the given width along a-b: its edge 2 pixels beside the segment, reaching width
   pixels beyond both ends, on the side of (-e.y, e.x) (e the direction from a to b) for side
   0, else on the other side. A tick spacing above 0 draws a scale from a: ticks 0.2 of the
   width long, every fifth 0.35, every tenth 0.5. */
ZIR_API int32_t ZIRD_RULERTOOL(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* b,
                               const int32_t* side, const double* width, const uint32_t* colour,
                               const int32_t* tickSpacing);
/* A set square with legs of the given size in the corner of the two lines, its right angle 2
   pixels off both at their crossing; mode bit 0 reverses line 1's direction, bit 1 line 2's.
   -1 for a line without direction. */
ZIR_API int32_t ZIRD_SQUARETOOL(ZirImageHandle* target, const ZirLine* line1, const ZirLine* line2,
                                const int32_t* mode, const double* size, const uint32_t* colour);
/* A compass with its needle at a and its pencil at b, legs at least 0.55 of their distance
   long. -1 (nothing drawn) when a and b are less than 0.5 pixels apart. */
ZIR_API int32_t ZIRD_COMPASSTOOL(ZirImageHandle* target, const ZirPoint* a, const ZirPoint* b,
                                 double legLength, const uint32_t* colour);
/* A half-circle protractor of the given diameter centred at c with its base along the line's
   direction, the half disc counter-clockwise of it for side 0, else on the other side; 19
   ticks every 10 degrees. -1 for a line without direction. */
ZIR_API int32_t ZIRD_PROTRACTORTOOL(ZirImageHandle* target, const ZirPoint* c, const ZirLine* line,
                                    const int32_t* side, const double* diameter,
                                    const uint32_t* colour);
/* A pencil of the given length with its point at p, lying at the angle (radians,
   counter-clockwise) from the point towards its end. */
ZIR_API int32_t ZIRD_PENCILTOOL(ZirImageHandle* target, const ZirPoint* p, double angle,
                                double length, const uint32_t* colour);

/* ---- End of drawing instruments ------------------------------------------------------------ */

/* ---- Animations ------------------------------------------------------------------------
   The animated construction steps. They draw into *buffer (the drawing buffer; a null
   handle: the screen) and show it by copying it whole onto the screen at (*x, *y). Each takes
   a snapshot of the buffer and starts every frame from it, so no instrument stays behind;
   when it ends, by running out or at the first key or click, the finished figure stands in
   the buffer and is shown. Frames last the current frame period; a duration (seconds) gives
   round(duration / period) frames, halves to even. The look record gives a drawn segment its
   colour, style and width (a null look draws no segment).
   Instrument word: the low 24 bits are the instrument's colour; 0x01000000 shows the pencil
   (lines) or the compass (arcs); 0x02000000 the ruler (lines); bits 26 to 31 the ruler's tick
   spacing in pixels. The animations that return an event give 0 when they ran to their end,
   or the input event that ended them (a key: 0x40000000 | its characters; a click:
   0x80000000 | buttons << 24 | y << 12 | x). Null pointers as in the geometry; null step and
   event pointers are not written. */

/* One frame of the segment p1-p2 grown to *step / *steps of its length (whole at the last
   step), with the pencil at its end when the word asks for it; advances *step. Returns 0,
   -1 when *step > *steps, or ZIR_UNDEFINED_RESULT. */
ZIR_API int32_t ZIRA_PARTIALLINE(ZirImageHandle* buffer, const ZirPoint* p1, const ZirPoint* p2,
                                 const ZirLine* look, int32_t* step, const int32_t* steps,
                                 const double* pencilSize, const int32_t* word);
/* The segment p1-p2 drawn with pencil and ruler over the duration. */
ZIR_API int32_t ZIRA_ANIMATELINE(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                 const ZirPoint* p1, const ZirPoint* p2, const ZirLine* look,
                                 const float* duration, const double* pencilSize,
                                 const int32_t* word);
/* The same; afterwards ruler and pencil stay shown for the current step wait, and the end
   point p2 is drawn. */
ZIR_API int32_t ZIRA_STARTLINE(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                               const ZirPoint* p1, const ZirPoint* p2, const ZirLine* look,
                               const float* duration, const double* pencilSize,
                               const int32_t* word);
/* One frame of the arc grown to *step / *steps of its sweep (a whole circle: a full turn from
   angle 0), with the compass when the word asks for it. Arcs under a third of a radian jump
   ahead: *step becomes round(*step / (3 sweep)). Returns 0, -1 or ZIR_UNDEFINED_RESULT. */
ZIR_API int32_t ZIRA_PARTIALARC(ZirImageHandle* buffer, const ZirCircle* arc, int32_t* step,
                                const int32_t* steps, const double* compassSize,
                                const int32_t* word);
/* The arc drawn by the compass over the duration. */
ZIR_API int32_t ZIRA_ANIMATEARC(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                const ZirCircle* arc, const float* duration,
                                const double* compassSize, const int32_t* word);
/* The set square laid on l, the ruler against it, each shown for the instrument wait, then
   the square slid along the ruler until its leg runs through p. Leaves both instruments in
   the buffer. Returns the perpendicular to l through p. */
ZIR_API ZirLine ZIRA_ANIMATERIGHTANGLE(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                       const ZirLine* l, const ZirPoint* p, const float* duration,
                                       double size, double rulerWidth, const int32_t* squareColour,
                                       const int32_t* rulerColour, int32_t* event);
/* The perpendicular erected as above and drawn with the pencil from its foot through p (at
   least size long); returns it in the look's appearance. */
ZIR_API ZirLine ZIRA_ANIMATEDRAWRIGHTANGLE(ZirImageHandle* buffer, const int32_t* x,
                                           const int32_t* y, const ZirLine* l, const ZirPoint* p,
                                           const float* duration, const ZirLine* look, double size,
                                           double rulerWidth, const int32_t* squareColour,
                                           const int32_t* rulerColour, const int32_t* word,
                                           int32_t* event);
/* The set square with its hypotenuse parallel to l slid along a ruler until it nearly
   reaches p; returns the parallel to l through p. With p on l nothing is drawn. */
ZIR_API ZirLine ZIRA_ANIMATEPARALLEL(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                     const ZirLine* l, const ZirPoint* p, const float* duration,
                                     double size, double rulerWidth, const int32_t* squareColour,
                                     const int32_t* rulerColour, int32_t* event);
/* The parallel found as above and drawn with the pencil as a segment centred on p; returns it
   in the look's appearance. */
ZIR_API ZirLine ZIRA_ANIMATEDRAWPARALLEL(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                         const ZirLine* l, const ZirPoint* p, const float* duration,
                                         const ZirLine* look, double size, double rulerWidth,
                                         const int32_t* squareColour, const int32_t* rulerColour,
                                         const int32_t* word, int32_t* event);
/* The line through the foot of p on l (p itself when on l) at the angle (radians) to l,
   measured with a protractor of diameter size and drawn with the pencil; an angle above pi
   or below 0 lays the protractor on the other side. A word of 0 animates the ray alone.
   Returns the line in the look's appearance. */
ZIR_API ZirLine ZIRA_ANIMATEPROTRACTOR(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                       const ZirLine* l, const ZirPoint* p, const double* angle,
                                       const float* duration, double size, const ZirLine* look,
                                       const int32_t* word, int32_t* event);

/* ---- End of animations --------------------------------------------------------------------- */

/* ---- Named constructions ---------------------------------------------------------------
   The line, circle and arc statements: each computes its object from the input records,
   gives it the attributes, and draws it into *buffer (a null handle or null pointer: the
   screen) in the drawing mode: 0 plainly; 1 with the construction marks (compass arcs, the
   Thales circle, right-angle corners), each stage shown by copying the buffer to the screen
   at (*x, *y) and followed by a pause of the current step wait; 2 animated with the drawing
   instruments (ruler, set square, compass, protractor, pencil); any other value computes
   without drawing. *event is set to the input that ended the last pause or animation, or 0;
   once input has arrived the remaining pauses are
   skipped. An undefined input gives the undefined result (x = y = ZIR_UNDEFINED, the rest 0)
   and undefined out records, and draws nothing.
   Attribute operands of -1 take the current defaults (line style, drawing colour, line
   width); angles are in 1/256 degree, lengths and radii 16.16 fixed point. Pointers as in
   the geometry: a null record pointer is an undefined record, a null number pointer 0 (so a
   null mode draws plainly), and a null out pointer (q, t2, event) is not written. */

/* The line through p1 and p2, drawn as the segment p1-p2. */
ZIR_API ZirLine ZIRS_MAKELINE(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                              const ZirPoint* p1, const ZirPoint* p2, const int32_t* style,
                              const int32_t* colour, const int32_t* width, const int32_t* mode,
                              int32_t* event);
/* The line through p at the angle counter-clockwise from l; 90 and 270 degrees get a
   right-angle corner. */
ZIR_API ZirLine ZIRS_MAKELINEPOLAR(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                   const ZirPoint* p, const ZirLine* l, const int32_t* angle,
                                   const int32_t* style, const int32_t* colour,
                                   const int32_t* width, const int32_t* mode, int32_t* event);
/* The segment of the given length from p at the absolute angle; its end point goes to *q
   (in p's appearance), also in a mode that draws nothing. */
ZIR_API ZirLine ZIRS_MAKESTARTLINE(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                   const ZirPoint* p, ZirPoint* q, const int32_t* angle,
                                   const int32_t* length, const int32_t* style,
                                   const int32_t* colour, const int32_t* width, const int32_t* mode,
                                   int32_t* event);
/* The circle about m through p; a start of -1 gives the whole circle, otherwise the arc from
   start to end. */
ZIR_API ZirCircle ZIRS_MAKECIRCLEP(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                   const ZirPoint* m, const ZirPoint* p, const int32_t* colour,
                                   const int32_t* width, const int32_t* start, const int32_t* end,
                                   const int32_t* mode, int32_t* event);
/* The circle about m touching l. */
ZIR_API ZirCircle ZIRS_MAKECIRCLETANGENT(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                         const ZirPoint* m, const ZirLine* l, const int32_t* colour,
                                         const int32_t* width, const int32_t* start,
                                         const int32_t* end, const int32_t* mode, int32_t* event);
/* The arc about m through p with the angular width, centred on p. */
ZIR_API ZirCircle ZIRS_MAKEARC(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                               const ZirPoint* m, const ZirPoint* p, const int32_t* colour,
                               const int32_t* width, const int32_t* angularWidth,
                               const int32_t* mode, int32_t* event);
/* The arc of the radius about the crossing of l1 and l2, from l1's direction to l2's. */
ZIR_API ZirCircle ZIRS_MAKEARCLINES(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                    const ZirLine* l1, const ZirLine* l2, const int32_t* radius,
                                    const int32_t* colour, const int32_t* width,
                                    const int32_t* mode, int32_t* event);
/* The perpendicular bisector of a and b; a colour of -1 is the auxiliary colour. */
ZIR_API ZirLine ZIRS_MAKEMIDLINE(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                 const ZirPoint* a, const ZirPoint* b, const int32_t* style,
                                 const int32_t* colour, const int32_t* width, const int32_t* mode,
                                 int32_t* event);
/* The bisector of the counter-clockwise angle from l1 to l2, pointing into it. */
ZIR_API ZirLine ZIRS_MAKEBISECTOR(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                  const ZirLine* l1, const ZirLine* l2, const int32_t* style,
                                  const int32_t* colour, const int32_t* width, const int32_t* mode,
                                  int32_t* event);
/* The tangents from p to c: returns the one touching on the left of the direction from the
   centre to p as seen on the screen and writes the one on the right to *t2. With p on the
   circle *t2 is the tangent at p and the result undefined; with p inside both are undefined
   (with the attributes still written). */
ZIR_API ZirLine ZIRS_MAKETANGENT(ZirImageHandle* buffer, const int32_t* x, const int32_t* y,
                                 const ZirPoint* p, const ZirCircle* c, ZirLine* t2,
                                 const int32_t* style, const int32_t* colour, const int32_t* width,
                                 const int32_t* mode, int32_t* event);

/* ---- End of named constructions --------------------------------------------------------- */

/* ---- Menus ------------------------------------------------------------------------------ */

/* Shows the texts as a menu at the screen's top-left corner, lets the viewer choose one with
   the mouse or Up, Down and Enter, and puts the screen back as it was. Returns the index of
   the chosen text, or -1 when the viewer cancelled (Esc, a click outside the menu), when the
   list is empty or when no screen is open. */
ZIR_API int32_t ZIRS_MENU(const ZirStringList* items);

/* ---- The compiler ----------------------------------------------------------------------
   Memory: every pointer that a procedure replaces (the words and block starts of the table,
   the items of the error lists and counts, each name and each row of the name table) must be
   null or come from malloc; the procedure frees or reallocates it and stores new storage from
   malloc, which the caller releases with free. The script lines are only read. */

/* The blocks one after another, each as many slots of 8 words as it needs: block b holds
   slots 0 to starts[b + 1] - starts[b] - 1, and word w of its slot s is
   words[(starts[b] + s) * 8 + w]. starts has blocks + 1 entries. */
typedef struct ZirInstructionTable {
    int32_t* words;
    int32_t* starts;
    int32_t blocks;
} ZirInstructionTable;

/* Row t holds the names of type t (0 to 8) in the order of their declaration. */
typedef struct ZirNameTable {
    ZirStringList rows[9];
} ZirNameTable;

/* Compiles the script lines. Returns 0, -1 (errors in pass 1) or -2 (errors in pass 2).
   After a failed compile the two error lists hold exactly one entry per error (code word and
   line number); after a successful one they are left as they were. counts receives the
   nine name counts. */
ZIR_API int32_t ZIRS_PARSESCRIPT(const ZirStringList* lines, ZirInstructionTable* program,
                                 ZirIntList* errorCodes, ZirIntList* errorLines,
                                 ZirNameTable* names, ZirIntList* counts);
/* The German text of an error code word (a run result's subroutine bits are ignored), as a
   NUL-terminated Latin-1 string from malloc that the caller releases with free. */
ZIR_API char* ZIRS_ERRORMSG(const int32_t* code);

/* ---- The run cycle ----------------------------------------------------------------- */

/* Prepares a run: resets the run-time settings; on the first call also loads the fonts,
   the icon, the logo and the message tables. Returns 0. */
ZIR_API int32_t ZIR_INIT(void);

/* Runs a script file: reads its lines, sets the window title to the path followed by
   " - Zirkula", compiles and runs it, deletes an old "Zir-Fehler.txt" beside it, and
   prints (and for compile errors writes) what went wrong, then waits for Enter.
   Returns 0 when the run ended normally, else the run result of ZIRS_RUNSCRIPT. The error
   lists follow the compiler's memory rules. */
ZIR_API int32_t ZIRS_RUNSCRIPTFILE(const char* path, ZirIntList* errorCodes,
                                   ZirIntList* errorLines);

/* Compiles and runs script lines and shows the closing logo. Returns 0 (ran to the end),
   255 (END), -1 or -2 (compile failed in pass 1 or 2; the two lists then hold one entry
   per error), or a run-time error: the subroutine number in bits 16 to 31, the error code
   word in bits 0 to 15. */
ZIR_API int32_t ZIRS_RUNSCRIPT(const ZirStringList* lines, ZirIntList* errorCodes,
                               ZirIntList* errorLines);

/* ---- The command-line program ------------------------------------------------------ */

/* Parses argv as `zirkula --help` describes and runs it. Returns the process exit code. */
ZIR_API int ZirkulaMain(int argc, char** argv);

#ifdef __cplusplus
}
#endif

#endif
