#include "frontend/symbols.h"

#include "frontend/errorcode.h"
#include "frontend/keywords.h"
#include "frontend/lexer.h"

namespace zir {

std::string_view TypeName(int type) {
    static constexpr std::string_view Names[] = {
        "Keiner",       "Punkt",    "Gerade",     "Kreis", "Zahl",
        "Direkte Zahl", "Etikette", "Subroutine", "Text",  "Schl\xFCsselwort",
    };
    return type >= 0 && type < 10 ? Names[type] : std::string_view{};
}

Symbol SymbolLookup(std::string_view token, const NameTable& names) {
    int keyword = KeywordLookup(token);
    if (keyword > 0) return {TypeKeyword, keyword};
    if (keyword == 0) {
        auto it = names.nameIndex.find(token);
        return it == names.nameIndex.end() ? Symbol{} : it->second;
    }
    switch (ClassifyToken(token)) {
        case TokenClass::Number:
            return {TypeDirectNumber, 0};
        case TokenClass::Text: {
            auto it = names.textIndex.find(TextOfToken(token));
            return {TypeText, it == names.textIndex.end() ? NoIndex : it->second};
        }
        default:
            return {TypeComment, 0};
    }
}

int Declare(NameTable& names, int type, std::string_view token) {
    std::vector<std::string>& row = names.rows[type];
    if (row.size() >= MaxNamesPerRow) return -1;
    int index = static_cast<int>(row.size());
    if (type == TypeText) {
        row.emplace_back(TextOfToken(token));
        names.textIndex.try_emplace(row.back(), index);
        return index;
    }
    row.emplace_back(token);
    auto [it, inserted] = names.nameIndex.try_emplace(row.back(), Symbol{type, index});
    // A name declared in two rows (possible within one statement) is found in the lower one.
    if (!inserted && it->second.type > type) it->second = Symbol{type, index};
    return index;
}

std::int32_t CheckArgument(std::string_view token, Symbol sym, int expected, NameTable& names,
                           int* index) {
    int found = sym.index;
    if (sym.type == TypeNone) {
        found = Declare(names, expected, token);
        if (found < 0) return ErrorCode(MsgInternal);
    } else if (sym.type != expected) {
        return ErrorCode(MsgTypeMismatch, sym.type, expected);
    }
    if (index) *index = found;
    return 0;
}

std::int32_t CheckText(std::string_view token, Symbol sym, NameTable& names) {
    if (sym.type != TypeText) return ErrorCode(MsgTypeMismatch, TypeText, sym.type);
    if (sym.index == NoIndex && Declare(names, TypeText, token) < 0) {
        return ErrorCode(MsgInternal);
    }
    return 0;
}

}  // namespace zir
