#include "frontend/compiler.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "frontend/pass1.h"

namespace zir {

std::int32_t ParseScript(std::span<const std::string> lines, InstructionTable& table,
                         std::vector<CompileError>& errors, NameTable& names) {
    if (RunPass1(lines, table, errors, names) > 0) return FailedInPass1;
    // Stand-in: pass 2 joins here; until then the provisional opcodes of pass 1 stand.
    return CompiledOk;
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

void ReplaceTable(ZirInstructionTable* program, const InstructionTable& table) {
    std::size_t slots = 0;
    for (const auto& block : table.blocks) slots = std::max(slots, block.size());
    std::size_t words = table.blocks.size() * slots * 8;
    std::free(program->words);
    program->words = Allocate<std::int32_t>(words);
    program->blocks = program->slots = 0;
    if (!program->words) return;
    std::memset(program->words, 0, std::max<std::size_t>(words, 1) * sizeof(std::int32_t));
    for (std::size_t b = 0; b < table.blocks.size(); ++b) {
        for (std::size_t s = 0; s < table.blocks[b].size(); ++s) {
            std::memcpy(program->words + (b * slots + s) * 8, table.blocks[b][s].data(),
                        8 * sizeof(std::int32_t));
        }
    }
    program->blocks = static_cast<std::int32_t>(table.blocks.size());
    program->slots = static_cast<std::int32_t>(slots);
}

}  // namespace

}  // namespace zir

extern "C" int32_t ZIRS_PARSESCRIPT(const ZirStringList* lines, ZirInstructionTable* program,
                                    ZirIntList* errorCodes, ZirIntList* errorLines,
                                    ZirNameTable* names, ZirIntList* counts) {
    using namespace zir;
    std::vector<std::string> script;
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
