/* Zirkula: the exported C interface of libzirkula.so.

   Strings are NUL-terminated; text the program shows is Windows-1252 (Latin-1) bytes.
   Arguments the procedures take "by reference" are pointers. */
#ifndef ZIRKULA_H
#define ZIRKULA_H

#include <stdint.h>

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

/* A list of NUL-terminated strings, such as the lines of a script; only read. */
typedef struct ZirTextList {
    char** items;
    int32_t count;
} ZirTextList;

/* ---- The run cycle ---------------------------------------------------------------- */

/* Prepares a run: resets the run-time settings; on the first call also loads the fonts,
   the icon, the logo and the message tables. Returns 0. */
ZIR_API int32_t ZIR_INIT(void);

/* Runs a script file: reads its lines, sets the window title to the path followed by
   " - Zirkula", compiles and runs it, deletes an old "Zir-Fehler.txt" beside it, and
   prints (and for compile errors writes) what went wrong, then waits for Enter.
   Returns 0 when the run ended normally, else the run result of ZIRS_RUNSCRIPT. */
ZIR_API int32_t ZIRS_RUNSCRIPTFILE(const char* path, ZirIntList* errorCodes,
                                   ZirIntList* errorLines);

/* Compiles and runs script lines and shows the closing logo. Returns 0 (ran to the end),
   255 (END), -1 or -2 (compile failed in pass 1 or 2; the two lists then hold one entry
   per error), or a run-time error: the subroutine number in bits 16 to 31, the error code
   word in bits 0 to 15. */
ZIR_API int32_t ZIRS_RUNSCRIPT(const ZirTextList* lines, ZirIntList* errorCodes,
                               ZirIntList* errorLines);

/* ---- The command-line program ------------------------------------------------------ */

/* Parses argv as `zirkula --help` describes and runs it. Returns the process exit code. */
ZIR_API int ZirkulaMain(int argc, char** argv);

#ifdef __cplusplus
}
#endif

#endif
