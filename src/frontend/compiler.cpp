#include "frontend/compiler.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "frontend/pass1.h"
#include "frontend/pass2.h"

namespace zir {

std::int32_t ParseScript(const ScriptLines& lines, InstructionTable& table,
                         std::vector<CompileError>& errors, NameTable& names,
                         StatementObserver* observer) {
    std::vector<ScriptLine> constructionLines;
    if (RunPass1(lines, table, errors, names, &constructionLines) > 0) return FailedInPass1;
    if (RunPass2(lines, table, errors, names, constructionLines, observer) > 0) {
        return FailedInPass2;
    }
    return CompiledOk;
}

std::int32_t ParseScript(const ScriptLines& lines, InstructionTable& table,
                         std::vector<CompileError>& errors, NameTable& names) {
    return ParseScript(lines, table, errors, names, nullptr);
}

std::int32_t ParseScript(std::span<const std::string_view> lines, InstructionTable& table,
                         std::vector<CompileError>& errors, NameTable& names) {
    return ParseScript(ScriptLines(lines), table, errors, names);
}

std::int32_t ParseScript(std::span<const std::string> lines, InstructionTable& table,
                         std::vector<CompileError>& errors, NameTable& names) {
    std::vector<std::string_view> views(lines.begin(), lines.end());
    return ParseScript(views, table, errors, names);
}

namespace {

template <typename T>
T* Allocate(std::size_t count) {
    return static_cast<T*>(std::malloc(std::max<std::size_t>(count, 1) * sizeof(T)));
}

void ReplaceIntList(ZirIntList* list, const std::vector<std::int32_t>& values) {
    std::free(list->items);
    list->items = Allocate<std::int32_t>(values.size());
    list->count = list->items ? static_cast<std::int32_t>(values.size()) : 0;
    if (list->items && !values.empty()) {
        std::memcpy(list->items, values.data(), values.size() * sizeof(std::int32_t));
    }
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

}  // namespace zir

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
        if (errorCodes) ReplaceIntList(errorCodes, codes);
        if (errorLines) ReplaceIntList(errorLines, lineNumbers);
    }
    if (names) {
        for (int t = 0; t < NameRowCount; ++t)
            ReplaceStringList(&names->rows[t], nameTable.rows[t]);
    }
    if (counts) {
        std::vector<std::int32_t> values;
        for (int t = 0; t < NameRowCount; ++t) values.push_back(NameCount(nameTable, t));
        ReplaceIntList(counts, values);
    }
    return result;
}
