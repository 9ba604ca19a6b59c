#include "frontend/statement.h"

#include "frontend/errorcode.h"
#include "frontend/lexer.h"

namespace zir {

namespace {

// The keyword code of a statement whose keyword at position 0 is followed by the second
// keyword at position 2, or 0 when the two do not combine.
int Combination(int first, int second) {
    if (second == KeywordCode(Keyword::Along)) {
        if (first == KeywordCode(Keyword::Clickable)) return KeywordCode(Keyword::ClickableAlong);
        if (first == KeywordCode(Keyword::Step)) return KeywordCode(Keyword::StepAlong);
        return 0;
    }
    bool modifier = second == KeywordCode(Keyword::Fast) || second == KeywordCode(Keyword::Pace) ||
                    second == KeywordCode(Keyword::Slow);
    return modifier && first == KeywordCode(Keyword::Call) ? second : 0;
}

}  // namespace

std::int32_t ReadStatement(std::string_view line, const NameTable& names, int pass, Statement& s) {
    s.count = 0;
    s.keywordPosition = -1;
    s.invisible = false;
    s.comment = {};
    TokenCursor cursor{line};
    std::string_view token;
    while (NextToken(cursor, token)) {
        if (s.count == MaxTokens) return ErrorCode(MsgTooManyArguments);
        Symbol sym = SymbolLookup(token, names);
        if (sym.type == TypeKeyword && sym.index == KeywordCode(Keyword::Default)) {
            token = "-1";
            sym = Symbol{TypeDirectNumber, 0};
        }
        if (sym.type == TypeComment) {
            s.comment = token;
            break;
        }
        s.tokens[s.count] = token;
        s.symbols[s.count] = sym;
        ++s.count;
    }

    int code = 0;
    for (int i = 0; i < s.count; ++i) {
        if (s.symbols[i].type != TypeKeyword) continue;
        if (s.keywordPosition < 0) {
            code = s.symbols[i].index;
            s.keywordPosition = i;
            continue;
        }
        int combined = i == 2 && s.keywordPosition == 0 ? Combination(code, s.symbols[i].index) : 0;
        if (combined == 0) {
            int message = pass == 1 ? MsgKeywordAsArgument : MsgInvalidArgumentName;
            return ErrorCode(message, i + 1);
        }
        code = combined;
    }
    if (s.count == 0) return 255;
    if (s.keywordPosition < 0 || s.keywordPosition > 2) return ErrorCode(MsgNoKeyword);
    s.invisible = (code & InvisibleKeyword) != 0;
    s.keyword = static_cast<Keyword>(code & ~InvisibleKeyword);
    return 0;
}

}  // namespace zir
