// The common first steps of both compiler passes for one line: its tokens, the symbol of
// each token, and the statement keyword with its position.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "frontend/keywords.h"
#include "frontend/symbols.h"

namespace zir {

inline constexpr int MaxTokens = 20;

struct Statement {
    // The tokens before any comment; a DEFAULT token reads "-1" and is a direct number.
    std::array<std::string_view, MaxTokens> tokens{};
    // Each token's symbol as it was before the statement declared anything.
    std::array<Symbol, MaxTokens> symbols{};
    int count = 0;
    // The statement keyword without the invisible flag; combinations with ALONG or a call
    // modifier give ClickableAlong, StepAlong or the modifier's code.
    Keyword keyword = Keyword::End;
    bool invisible = false;
    int keywordPosition = -1;
    // The token that began a comment and ended the statement; empty when there was none.
    std::string_view comment;
};

// The type of token i, TypeNone when the statement has no such token.
inline int TypeAt(const Statement& s, int i) {
    return i < s.count ? s.symbols[i].type : TypeNone;
}

// Reads one line: 0 when it is a statement with a keyword, 255 when it is empty (no tokens
// before a comment), else the error code word (11 more than 20 tokens; 13 no keyword or
// keyword after position 2; 14 or, in pass 2, 15 a second keyword out of place).
std::int32_t ReadStatement(std::string_view line, const NameTable& names, int pass,
                           Statement& statement);

}  // namespace zir
