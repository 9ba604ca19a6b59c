// The exported run-cycle procedures: the C lists of include/zirkula.h translated to and
// from the program's own.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "driver/runcycle.h"
#include "zirkula.h"

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

// Copies the values back, resizing the caller's list with realloc where the count changed.
// If memory runs out the list keeps as many values as fit.
void CopyBack(const std::vector<std::int32_t>& values, ZirIntList* list) {
    if (!list) return;
    auto count = static_cast<std::int32_t>(values.size());
    if (count != list->count || !list->items) {
        void* grown = std::realloc(list->items, std::max<std::size_t>(values.size(), 1) * 4);
        if (grown) {
            list->items = static_cast<std::int32_t*>(grown);
        } else {
            count = list->items ? std::min(count, list->count) : 0;
        }
    }
    if (count > 0) std::memcpy(list->items, values.data(), static_cast<std::size_t>(count) * 4);
    list->count = count;
}

void ReturnErrors(const ErrorList& errors, ZirIntList* codes, ZirIntList* lines) {
    CopyBack(errors.codes, codes);
    CopyBack(errors.lines, lines);
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
