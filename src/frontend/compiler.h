// The compiler's entry point: both passes over a script's lines.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "frontend/errorcode.h"
#include "frontend/instructions.h"
#include "frontend/symbols.h"
#include "zirkula.h"

namespace zir {

inline constexpr std::int32_t CompiledOk = 0;
inline constexpr std::int32_t FailedInPass1 = -1;
inline constexpr std::int32_t FailedInPass2 = -2;

// Compiles the lines into table and names (both replaced): CompiledOk, FailedInPass1 or
// FailedInPass2. errors is replaced by exactly the errors found, in line order; it is empty
// after a successful compile.
std::int32_t ParseScript(std::span<const std::string> lines, InstructionTable& table,
                         std::vector<CompileError>& errors, NameTable& names);

}  // namespace zir

// The exported form, written in plain C so that it can stand in include/zirkula.h.
//
// Memory: every pointer that the procedure replaces (the words of the table, the items of
// the error lists and counts, each name and each row of the name table) must be null or
// come from malloc; the procedure frees it and stores new storage from malloc, which the
// caller releases with free. The script lines are only read.
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ZirIntList {
    int32_t* items;
    int32_t count;
} ZirIntList;

typedef struct ZirStringList {
    char** items; /* NUL-terminated Latin-1 strings */
    int32_t count;
} ZirStringList;

/* Word w of slot s of block b is words[(b * slots + s) * 8 + w]. */
typedef struct ZirInstructionTable {
    int32_t* words;
    int32_t blocks;
    int32_t slots;
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

#ifdef __cplusplus
}
#endif
