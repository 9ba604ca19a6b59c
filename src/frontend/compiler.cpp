#include "frontend/compiler.h"

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

}  // namespace zir
