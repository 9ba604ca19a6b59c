// The exported script procedures: running and compiling a script, its messages, menus; the
// C lists of the exported interface translated to and from the program's own.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "capi/arguments.h"
#include "frontend/compiler.h"
#include "interp/menus.h"
#include "session/errors.h"
#include "session/runcycle.h"

using namespace zir;
using namespace zir::capi;

extern "C" int32_t ZIRS_MENU(const ZirStringList* items) {
    std::vector<std::string> texts;
    if (items && items->items) {
        for (int32_t k = 0; k < items->count; ++k) {
            texts.emplace_back(items->items[k] ? items->items[k] : "");
        }
    }
    return zir::ShowMenu(texts);
}

namespace {

template <typename T>
T* Allocate(std::size_t count) {
    return static_cast<T*>(std::malloc(std::max<std::size_t>(count, 1) * sizeof(T)));
}

void FreeStringList(ZirStringList* list) {
    for (std::int32_t i = 0; list->items && i < list->count; ++i) std::free(list->items[i]);
    std::free(list->items);
    list->items = nullptr;
    list->count = 0;
}

void ReplaceStringList(ZirStringList* list, const std::vector<std::string>& values) {
    FreeStringList(list);
    list->items = Allocate<char*>(values.size());
    if (!list->items) return;
    for (const std::string& value : values) {
        char* copy = Allocate<char>(value.size() + 1);
        if (!copy) break;
        std::memcpy(copy, value.c_str(), value.size() + 1);
        list->items[list->count++] = copy;
    }
}

// The exported table holds the slots of a block as one run of words.
static_assert(sizeof(Instruction) == 8 * sizeof(std::int32_t));

// The caller's storage resized to count items; its old contents count for nothing. A
// caller that compiles again reuses its storage, which for a large script spares mapping
// and clearing fresh memory for every compile. Null when there is no memory.
template <typename T>
T* Resize(T* old, std::size_t count) {
    void* resized = std::realloc(old, std::max<std::size_t>(count, 1) * sizeof(T));
    if (!resized) std::free(old);
    return static_cast<T*>(resized);
}

void ReplaceTable(ZirInstructionTable* program, const InstructionTable& table) {
    std::vector<std::int32_t> starts(table.blocks.size() + 1, 0);
    for (std::size_t b = 0; b < table.blocks.size(); ++b) {
        starts[b + 1] = starts[b] + static_cast<std::int32_t>(table.blocks[b].size());
    }
    program->blocks = 0;
    program->words = Resize(program->words, static_cast<std::size_t>(starts.back()) * 8);
    program->starts = Resize(program->starts, starts.size());
    if (!program->words || !program->starts) return;
    std::memcpy(program->starts, starts.data(), starts.size() * sizeof(std::int32_t));
    for (std::size_t b = 0; b < table.blocks.size(); ++b) {
        if (table.blocks[b].empty()) continue;
        std::memcpy(program->words + static_cast<std::size_t>(starts[b]) * 8,
                    table.blocks[b].data(), table.blocks[b].size() * sizeof(Instruction));
    }
    program->blocks = static_cast<std::int32_t>(table.blocks.size());
}

}  // namespace

extern "C" int32_t ZIRS_PARSESCRIPT(const ZirStringList* lines, ZirInstructionTable* program,
                                    ZirIntList* errorCodes, ZirIntList* errorLines,
                                    ZirNameTable* names, ZirIntList* counts) {
    using namespace zir;
    std::vector<std::string_view> script;
    if (lines && lines->items) {
        script.reserve(static_cast<std::size_t>(std::max(lines->count, 0)));
        for (std::int32_t i = 0; i < lines->count; ++i) {
            script.emplace_back(lines->items[i] ? lines->items[i] : "");
        }
    }
    InstructionTable table;
    std::vector<CompileError> errors;
    NameTable nameTable;
    std::int32_t result = ParseScript(script, table, errors, nameTable);

    if (program) ReplaceTable(program, table);
    if (result != CompiledOk) {
        std::vector<std::int32_t> codes, lineNumbers;
        for (const CompileError& e : errors) {
            codes.push_back(e.code);
            lineNumbers.push_back(e.line);
        }
        CopyInto(codes, errorCodes);
        CopyInto(lineNumbers, errorLines);
    }
    if (names) {
        for (int t = 0; t < NameRowCount; ++t)
            ReplaceStringList(&names->rows[t], nameTable.rows[t]);
    }
    if (counts) {
        std::vector<std::int32_t> values;
        for (int t = 0; t < NameRowCount; ++t) values.push_back(NameCount(nameTable, t));
        CopyInto(values, counts);
    }
    return result;
}

namespace zir {
namespace {

ErrorList ErrorsFrom(const ZirIntList* codes, const ZirIntList* lines) {
    ErrorList errors;
    if (codes && codes->items && codes->count > 0) {
        errors.codes.assign(codes->items, codes->items + codes->count);
    }
    if (lines && lines->items && lines->count > 0) {
        errors.lines.assign(lines->items, lines->items + lines->count);
    }
    return errors;
}

void ReturnErrors(const ErrorList& errors, ZirIntList* codes, ZirIntList* lines) {
    CopyInto(errors.codes, codes);
    CopyInto(errors.lines, lines);
}

}  // namespace
}  // namespace zir

extern "C" int32_t ZIR_INIT(void) {
    return zir::ZirInit();
}

extern "C" int32_t ZIRS_RUNSCRIPTFILE(const char* path, ZirIntList* errorCodes,
                                      ZirIntList* errorLines) {
    zir::ErrorList errors = zir::ErrorsFrom(errorCodes, errorLines);
    std::int32_t result = zir::RunScriptFile(path ? path : "", errors);
    zir::ReturnErrors(errors, errorCodes, errorLines);
    return result;
}

extern "C" int32_t ZIRS_RUNSCRIPT(const ZirStringList* lines, ZirIntList* errorCodes,
                                  ZirIntList* errorLines) {
    std::vector<std::string> text;
    if (lines && lines->items) {
        for (std::int32_t i = 0; i < lines->count; ++i) {
            text.emplace_back(lines->items[i] ? lines->items[i] : "");
        }
    }
    zir::ErrorList errors = zir::ErrorsFrom(errorCodes, errorLines);
    std::int32_t result = zir::RunScript(text, errors);
    zir::ReturnErrors(errors, errorCodes, errorLines);
    return result;
}

extern "C" char* ZIRS_ERRORMSG(const int32_t* code) {
    std::string text = ErrorMessage(code ? *code : 0);
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}
