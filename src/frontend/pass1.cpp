#include "frontend/pass1.h"

#include <algorithm>

#include "frontend/keywords.h"
#include "frontend/lexer.h"
#include "frontend/statement.h"

namespace zir {

namespace {

// Where the scan stands: the block and slot the next statement goes to, the slot of the
// last main statement before the latest header, and the headers seen so far.
struct Pass1Position {
    int block = 0;
    int slot = 1;
    int mainEnd = 0;
    int headers = 0;
    // Names (row 7 indexes) that already head a block.
    std::vector<bool> headerNames;
};

// What recognition decided for one statement.
struct Recognised {
    std::int32_t error = 0;
    Op op = Op::None;
    int parameters = 0;  // CONSTRUCTION
    int nameIndex = 0;   // subroutine headers
};

Recognised Fail(std::int32_t error) {
    return Recognised{error};
}
Recognised Accept(Op op) {
    return Recognised{0, op};
}

std::int32_t TooFew() {
    return ErrorCode(MsgTooFewArguments);
}
std::int32_t TooMany() {
    return ErrorCode(MsgTooManyArguments);
}
std::int32_t Mismatch(int found, int expected) {
    return ErrorCode(MsgTypeMismatch, found, expected);
}

// Token count rules: fewer than min gives message 12, more than max message 11.
std::int32_t CountBetween(const Statement& s, int min, int max) {
    if (s.count < min) return TooFew();
    if (s.count > max) return TooMany();
    return 0;
}
std::int32_t CountAtLeast(const Statement& s, int min) {
    return CountBetween(s, min, MaxTokens);
}

// The argument checks of one statement, in order, stopping at the first failure.
struct Checker {
    const Statement& s;
    NameTable& names;

    std::int32_t Arg(int i, int type, int* index = nullptr) const {
        return CheckArgument(s.tokens[i], s.symbols[i], type, names, index);
    }
    std::int32_t Args(std::initializer_list<std::pair<int, int>> checks) const {
        for (auto [i, type] : checks) {
            if (std::int32_t e = Arg(i, type)) return e;
        }
        return 0;
    }
    std::int32_t Text(int i) const { return CheckText(s.tokens[i], s.symbols[i], names); }
};

constexpr int P = TypePoint;
constexpr int L = TypeLine;
constexpr int C = TypeCircle;
constexpr int S = TypeSubroutine;

Recognised Result(std::int32_t error, Op op) {
    return error ? Fail(error) : Accept(op);
}

Recognised Simple(const Checker& c, std::int32_t countError,
                  std::initializer_list<std::pair<int, int>> checks, Op op) {
    if (countError) return Fail(countError);
    return Result(c.Args(checks), op);
}

Recognised Copy(const Checker& c) {
    const Statement& s = c.s;
    if (std::int32_t e = CountBetween(s, 3, 3)) return Fail(e);
    int copy = TypeAt(s, 0);
    Op op = Op::CopyPoint;
    if (copy == L) {
        op = Op::CopyLine;
    } else if (copy == C) {
        op = Op::CopyCircle;
    } else if (copy != P && copy != TypeNone) {
        return Fail(Mismatch(copy, P));
    }
    int kind = static_cast<int>(op) - 4;
    int source = TypeAt(s, 2);
    bool wrong = false;
    if (source == P) {
        wrong = op != Op::CopyPoint;
    } else if (source == L) {
        wrong = op == Op::CopyCircle || copy == P;
    } else if (source == C) {
        wrong = op == Op::CopyLine || copy == P;
    } else {
        wrong = source != TypeNone;
    }
    return wrong ? Fail(Mismatch(source, kind)) : Accept(op);
}

Recognised CrossTwo(const Checker& c) {
    const Statement& s = c.s;
    if (std::int32_t e = CountAtLeast(s, 5)) return Fail(e);
    if (std::int32_t e = c.Args({{0, P}, {1, P}})) return Fail(e);
    Op op = Op::CrossCircles;
    int first = TypeAt(s, 3);
    if (first == L) {
        op = Op::CrossLineCircle;
    } else if (first != C && first != TypeNone) {
        return Fail(Mismatch(first, C));
    }
    int second = TypeAt(s, 4);
    if (second == L) {
        if (first == L) return Fail(Mismatch(L, C));
        op = Op::CrossLineCircle;
    } else if (second != C && second != TypeNone) {
        return Fail(Mismatch(second, C));
    }
    return Accept(op);
}

Recognised Midline(const Checker& c) {
    const Statement& s = c.s;
    if (std::int32_t e = CountAtLeast(s, 4)) return Fail(e);
    if (std::int32_t e = c.Arg(0, L)) return Fail(e);
    int first = TypeAt(s, 2);
    Op op = Op::Midline;
    if (first == L) {
        op = Op::Bisector;
    } else if (first != P && first != TypeNone) {
        return Fail(Mismatch(first, P));
    }
    int second = TypeAt(s, 3);
    bool wrong = (second == P && first == L) || (second == L && first == P) ||
                 (second != TypeNone && second != P && second != L);
    return wrong ? Fail(Mismatch(second, static_cast<int>(op) - 12)) : Accept(op);
}

Recognised FillTriangle(const Checker& c) {
    return Simple(c, CountAtLeast(c.s, 4), {{1, P}, {2, P}, {3, P}}, Op::FillTriangle);
}
Recognised FillCircle(const Checker& c) {
    return Simple(c, CountAtLeast(c.s, 2), {{1, C}}, Op::FillCircle);
}

Recognised Fill(const Checker& c) {
    const Statement& s = c.s;
    int first = TypeAt(s, 1);
    if (first == P) return FillTriangle(c);
    if (first == C) return FillCircle(c);
    if (first != TypeNone) return Fail(Mismatch(first, P));
    int second = TypeAt(s, 2);
    bool triangle =
        second == P || TypeAt(s, 3) == P || (second != TypeNumber && second != TypeDirectNumber);
    return triangle ? FillTriangle(c) : FillCircle(c);
}

Recognised MarkLine(const Checker& c, Op op) {
    const Statement& s = c.s;
    if (std::int32_t e = CountAtLeast(s, 2)) return Fail(e);
    if (std::int32_t e = c.Arg(1, L)) return Fail(e);
    if (s.count <= 2) return Accept(op);
    int second = TypeAt(s, 2);
    if (second == TypeNone || second == P) {
        // The points form: both end points; a new name is declared as a point.
        if (second == TypeNone) {
            if (std::int32_t e = c.Arg(2, P)) return Fail(e);
        }
        if (std::int32_t e = CountAtLeast(s, 4)) return Fail(e);
        return Result(c.Arg(3, P), op);
    }
    if (second != TypeDirectNumber) return Fail(Mismatch(second, P));
    if (s.count > 3 && TypeAt(s, 3) != TypeDirectNumber) {
        return Fail(Mismatch(TypeAt(s, 3), TypeDirectNumber));
    }
    return Accept(op);
}

Recognised MarkAngle(const Checker& c, bool withNumber) {
    const Statement& s = c.s;
    int first = TypeAt(s, 1);
    bool points = first == P;
    bool lines = first == L;
    if (first == TypeNone) {
        points = TypeAt(s, 2) == P || TypeAt(s, 3) == P;
        lines = !points && TypeAt(s, 2) == L;
        if (!points && !lines) {
            // Neither form can be told: the statement is rejected here, so that both passes
            // keep giving every later statement the same slot.
            int needed = withNumber ? 3 : 4;
            return Fail(s.count < needed ? TooFew() : Mismatch(TypeNone, P));
        }
    } else if (!points && !lines) {
        return Fail(Mismatch(first, P));
    }
    if (points) {
        int needed = withNumber ? 4 : 5;
        if (std::int32_t e = CountAtLeast(s, needed)) return Fail(e);
        if (std::int32_t e = c.Args({{1, P}, {2, P}, {3, P}})) return Fail(e);
        if (!withNumber || s.count > 4) {
            if (std::int32_t e = c.Text(4)) return Fail(e);
        }
        return Accept(withNumber ? Op::MarkNumberAnglePoints : Op::MarkAnglePoints);
    }
    int needed = withNumber ? 3 : 4;
    if (std::int32_t e = CountAtLeast(s, needed)) return Fail(e);
    if (std::int32_t e = c.Args({{1, L}, {2, L}})) return Fail(e);
    if (!withNumber || s.count > 3) {
        if (std::int32_t e = c.Text(3)) return Fail(e);
    }
    return Accept(withNumber ? Op::MarkNumberAngleLines : Op::MarkAngleLines);
}

Recognised Step(const Checker& c) {
    const Statement& s = c.s;
    if (std::int32_t e = CountAtLeast(s, 4)) return Fail(e);
    int moving = TypeAt(s, 1);
    if (moving == P) return Result(CountBetween(s, 4, 4), Op::StepPoint);
    if (moving == C || moving == TypeNone) return Result(CountBetween(s, 4, 5), Op::StepCircle);
    return Fail(Mismatch(P, moving));
}

Recognised StepAlong(const Checker& c) {
    const Statement& s = c.s;
    if (std::int32_t e = CountBetween(s, 4, 6)) return Fail(e);
    int moving = TypeAt(s, 1);
    int path = TypeAt(s, 3);
    if (path != L && path != C && path != TypeNone) return Fail(Mismatch(L, path));
    bool onCircle = path == C;
    if (moving == P || moving == TypeNone) {
        return Accept(onCircle ? Op::StepPointAlongCircle : Op::StepPointAlongLine);
    }
    if (moving == C) return Accept(onCircle ? Op::StepCircleAlongCircle : Op::StepCircleAlongLine);
    return Fail(Mismatch(P, moving));
}

Recognised Header(const Checker& c, const Pass1Position& position, Op op) {
    const Statement& s = c.s;
    bool construction = op == Op::Construction;
    if (std::int32_t e = CountBetween(s, 2, construction ? MaxTokens : 2)) return Fail(e);
    if (position.block != 0) return Fail(ErrorCode(MsgNestedSubroutines));
    int name = 0;
    if (std::int32_t e = c.Arg(1, S, &name)) return Fail(e);
    if (s.count > 14) return Fail(ErrorCode(MsgTooManyParameters));
    if (name < static_cast<int>(position.headerNames.size()) && position.headerNames[name]) {
        return Fail(ErrorCode(MsgSubroutineExists));
    }
    // A block number is a call's target, so there can be no more blocks than it can hold.
    if (position.headers >= MaxTarget) return Fail(ErrorCode(MsgInternal));
    Recognised r = Accept(op);
    r.parameters = construction ? s.count - 2 : 0;
    r.nameIndex = name;
    return r;
}

Recognised Classify(const Statement& s, NameTable& names, const Pass1Position& position) {
    Checker c{s, names};
    int at = s.keywordPosition;
    Recognised wrongPosition = Fail(ErrorCode(MsgSyntaxInArgument, at + 1));
    switch (s.keyword) {
        case Keyword::Point:
            if (at != 0) return wrongPosition;
            return Simple(c, CountAtLeast(s, 4), {{1, P}}, Op::Point);
        case Keyword::Line:
            if (at == 0) return Simple(c, CountAtLeast(s, 6), {{1, L}}, Op::LineCoords);
            if (at == 1) {
                return Simple(c, CountAtLeast(s, 4), {{0, L}, {2, P}, {3, P}}, Op::LineThrough);
            }
            return wrongPosition;
        case Keyword::LinePolar:
            if (at == 0) return Simple(c, CountAtLeast(s, 5), {{1, L}}, Op::LinePolarCoords);
            if (at == 1) {
                return Simple(c, CountAtLeast(s, 5), {{0, L}, {2, P}, {3, L}}, Op::LinePolarFrom);
            }
            return wrongPosition;
        case Keyword::Circle: {
            if (at == 0) return Simple(c, CountAtLeast(s, 5), {{1, C}}, Op::CircleCoords);
            if (at != 1) return wrongPosition;
            if (std::int32_t e = CountAtLeast(s, 4)) return Fail(e);
            if (std::int32_t e = c.Args({{0, C}, {2, P}})) return Fail(e);
            int through = TypeAt(s, 3);
            if (through == L) return Accept(Op::CircleTouching);
            if (through == P || through == TypeNone) return Accept(Op::CircleThrough);
            return Fail(Mismatch(through, P));
        }
        case Keyword::Copy:
            if (at != 1) return wrongPosition;
            return Copy(c);
        case Keyword::Cross:
            if (at == 1) {
                return Simple(c, CountAtLeast(s, 4), {{0, P}, {2, L}, {3, L}}, Op::CrossLines);
            }
            if (at == 2) return CrossTwo(c);
            return wrongPosition;
        case Keyword::Middle:
            if (at != 1) return wrongPosition;
            return Simple(c, CountAtLeast(s, 4), {{0, P}, {2, P}, {3, P}}, Op::Middle);
        case Keyword::MoveCircle:
            if (at != 0) return wrongPosition;
            return Simple(c, CountAtLeast(s, 3), {{1, C}, {2, P}}, Op::MoveCircle);
        case Keyword::Revert:
            if (at != 0) return wrongPosition;
            return Simple(c, CountBetween(s, 2, 2), {{1, L}}, Op::Revert);
        case Keyword::Midline:
            if (at != 1) return wrongPosition;
            return Midline(c);
        case Keyword::Tangent:
            if (at != 2) return wrongPosition;
            return Simple(c, CountAtLeast(s, 5), {{0, L}, {1, L}, {3, P}, {4, C}}, Op::Tangent);
        case Keyword::AdvanceTo:
            if (at != 1) return wrongPosition;
            return Simple(c, CountAtLeast(s, 5), {{0, P}, {2, P}, {3, P}}, Op::AdvanceTo);
        case Keyword::AdvanceOn:
            if (at != 1) return wrongPosition;
            return Simple(c, CountAtLeast(s, 5), {{0, P}, {2, P}, {3, L}}, Op::AdvanceOn);
        case Keyword::CircleEnd:
            if (at != 2) return wrongPosition;
            return Simple(c, CountAtLeast(s, 4), {{0, P}, {1, P}, {3, C}}, Op::CircleEnd);
        case Keyword::Arc: {
            if (at != 1) return wrongPosition;
            if (std::int32_t e = CountAtLeast(s, 4)) return Fail(e);
            if (std::int32_t e = c.Arg(0, C)) return Fail(e);
            int from = TypeAt(s, 2);
            if (from == L) return Accept(Op::ArcLines);
            if (from == P || from == TypeNone) return Accept(Op::ArcPoints);
            return Fail(Mismatch(from, P));
        }
        case Keyword::StartLine:
            if (at != 2) return wrongPosition;
            return Simple(c, CountAtLeast(s, 6), {{0, L}, {1, P}, {3, P}}, Op::StartLine);
        case Keyword::FillTriangle:
            if (at != 0) return wrongPosition;
            return FillTriangle(c);
        case Keyword::FillCircle:
            if (at != 0) return wrongPosition;
            return FillCircle(c);
        case Keyword::Fill:
            if (at != 0) return wrongPosition;
            return Fill(c);
        case Keyword::OrderLines:
            if (at != 0) return wrongPosition;
            return Simple(c, CountBetween(s, 3, 3), {{1, L}, {2, L}}, Op::OrderLines);
        case Keyword::MarkPoint:
            if (at != 0) return wrongPosition;
            return Simple(c, CountAtLeast(s, 2), {{1, P}}, Op::MarkPoint);
        case Keyword::MarkLine:
        case Keyword::MarkNumberLine:
            if (at != 0) return wrongPosition;
            return MarkLine(c, s.keyword == Keyword::MarkLine ? Op::MarkLine : Op::MarkNumberLine);
        case Keyword::MarkAngle:
        case Keyword::MarkNumberAngle:
            if (at != 0) return wrongPosition;
            return MarkAngle(c, s.keyword == Keyword::MarkNumberAngle);
        case Keyword::Call:
            if (at != 0) return wrongPosition;
            return Simple(c, CountAtLeast(s, 2), {{1, S}}, Op::Call);
        case Keyword::Fast:
        case Keyword::Pace:
        case Keyword::Slow:
            // Only as the third token of a call; standing first it is no statement.
            if (s.symbols[at].index != KeywordCode(Keyword::Call)) {
                return Fail(ErrorCode(MsgSyntaxInArgument, 0));
            }
            return Simple(c, 0, {{1, S}}, static_cast<Op>(KeywordCode(s.keyword)));
        case Keyword::Repeat:
            if (at != 0) return wrongPosition;
            return Result(CountBetween(s, 1, 2), Op::Repeat);
        case Keyword::Clickable:
        case Keyword::Trace: {
            if (at != 0) return wrongPosition;
            if (std::int32_t e = CountAtLeast(s, 2)) return Fail(e);
            for (int i = 1; i < s.count; ++i) {
                if (std::int32_t e = c.Arg(i, P)) return Fail(e);
            }
            return Accept(s.keyword == Keyword::Clickable ? Op::Clickable : Op::Trace);
        }
        case Keyword::ClickableAlong: {
            if (std::int32_t e = CountBetween(s, 4, 4)) return Fail(e);
            if (std::int32_t e = c.Arg(1, P)) return Fail(e);
            int path = TypeAt(s, 3);
            if (path == L || path == TypeNone) return Accept(Op::ClickableAlongLine);
            if (path == C) return Accept(Op::ClickableAlongCircle);
            return Fail(Mismatch(L, path));
        }
        case Keyword::Construction:
        case Keyword::Interaction:
        case Keyword::Animation:
            if (at != 0) return wrongPosition;
            return Header(c, position, static_cast<Op>(KeywordCode(s.keyword)));
        case Keyword::Cls:
            if (at != 0) return wrongPosition;
            return Result(CountBetween(s, 1, 2), Op::Cls);
        case Keyword::Screen:
            if (at != 0) return wrongPosition;
            return Result(CountBetween(s, 3, 5), Op::Screen);
        case Keyword::Window:
            if (at != 0) return wrongPosition;
            return Result(CountBetween(s, 3, 3), Op::Window);
        case Keyword::TextWindow:
            if (at != 0) return wrongPosition;
            return Result(CountBetween(s, 5, 5), Op::TextWindow);
        case Keyword::Text:
            if (at != 0) return wrongPosition;
            if (std::int32_t e = CountBetween(s, 2, 5)) return Fail(e);
            return Result(c.Text(1), Op::Text);
        case Keyword::Title:
        case Keyword::MenuItem:
            if (at != 0) return wrongPosition;
            if (std::int32_t e = CountBetween(s, 2, 2)) return Fail(e);
            return Result(c.Text(1), s.keyword == Keyword::Title ? Op::Title : Op::MenuItem);
        case Keyword::Speed:
        case Keyword::FrameSpeed:
            if (at != 0) return wrongPosition;
            return Result(CountBetween(s, 2, 2), static_cast<Op>(KeywordCode(s.keyword)));
        case Keyword::Defaults:
        case Keyword::ToolDefaults:
        case Keyword::Menu:
        case Keyword::End:
            if (at != 0) return wrongPosition;
            return Accept(static_cast<Op>(KeywordCode(s.keyword)));
        case Keyword::ExitMenu:
        case Keyword::EndMenu:
        case Keyword::RepeatMenu:
            if (at != 0) return wrongPosition;
            return Result(CountBetween(s, 1, 1), static_cast<Op>(KeywordCode(s.keyword)));
        case Keyword::Step:
            if (at != 0) return wrongPosition;
            return Step(c);
        case Keyword::StepAlong:
            return StepAlong(c);
        case Keyword::Wait:
        case Keyword::WaitAlways: {
            if (at != 0) return wrongPosition;
            if (std::int32_t e = CountBetween(s, 1, 2)) return Fail(e);
            bool always = s.keyword == Keyword::WaitAlways;
            if (s.count == 1) return Accept(always ? Op::WaitAlways : Op::Wait);
            if (TypeAt(s, 1) != TypeDirectNumber) {
                return Fail(Mismatch(TypeDirectNumber, TypeAt(s, 1)));
            }
            return Accept(always ? Op::WaitAlwaysFor : Op::WaitFor);
        }
        case Keyword::Along:
        case Keyword::Default:
            return Fail(ErrorCode(MsgSyntaxInArgument, 0));
    }
    return Fail(ErrorCode(MsgSyntaxInArgument, 0));
}

// Recognises the statement of one line and records its provisional opcode (and, for a
// subroutine header, its parameter count and name) in the current slot. Returns 0, 255 for
// an empty statement, or an error code word.
std::int32_t Recognise(std::string_view line, const Pass1Position& position,
                       InstructionTable& table, NameTable& names) {
    Statement s;
    if (std::int32_t code = ReadStatement(line, names, 1, s)) return code;
    Recognised r = Classify(s, names, position);
    if (r.error) return r.error;
    Instruction& slot = SlotForWriting(table, position.block, position.slot);
    slot = Instruction{};
    slot[0] = InstructionWord0(r.op, s.invisible);
    slot[HeaderParameters] = r.parameters;
    slot[HeaderName] = r.nameIndex;
    return 0;
}

bool IsHeaderCode(int code) {
    return code == KeywordCode(Keyword::Construction) ||
           code == KeywordCode(Keyword::Interaction) || code == KeywordCode(Keyword::Animation);
}

bool IsSeparator(char c) {
    return c == ' ' || c == ',' || c == '=';
}

// The keyword code of a line whose first token is one of the words that lay out the blocks
// (CONSTRUCTION, INTERACTION, ANIMATION, REPEAT, END), else 0. The pre-scan reads no more
// of a line than this needs: a longer first token, or one of another length, is none.
int LayoutKeyword(std::string_view line) {
    std::size_t start = 0;
    while (start < line.size() && IsSeparator(line[start])) ++start;
    std::size_t end = start;
    while (end < line.size() && end - start <= 12 && !IsSeparator(line[end])) ++end;
    const std::size_t length = end - start;
    if (length != 3 && length != 6 && length != 9 && length != 11 && length != 12) return 0;
    const int code = KeywordLookup(line.substr(start, length));
    bool layout = IsHeaderCode(code) || code == KeywordCode(Keyword::Repeat) ||
                  code == KeywordCode(Keyword::End);
    return layout ? code : 0;
}

}  // namespace

int RunPass1(const ScriptLines& lines, InstructionTable& table, std::vector<CompileError>& errors,
             NameTable& names, std::vector<ScriptLine>* constructionLines) {
    table = InstructionTable{};
    names = NameTable{};
    errors.clear();
    if (constructionLines) constructionLines->clear();

    // Pre-scan: the number of subroutines, the slots the blocks need, and whether the main
    // program has an END.
    int headers = 0;
    int latestHeader = 0;
    int mainLines = 0;           // lines outside the subroutines: at most one main slot each
    bool inBody = false;         // between a header and its REPEAT
    std::vector<int> bodyLines;  // per subroutine: the lines up to its REPEAT, to reserve for
    bool mainHasEnd = false;
    ScriptLine line;
    for (ScriptLines::Cursor cursor(lines); cursor.Next(line);) {
        int code = LayoutKeyword(line.text);
        if (IsHeaderCode(code)) {
            if (constructionLines && code == KeywordCode(Keyword::Construction)) {
                constructionLines->push_back(line);
            }
            ++headers;
            latestHeader = line.index;
            bodyLines.push_back(0);
            inBody = true;
        } else if (code == KeywordCode(Keyword::Repeat)) {
            if (!bodyLines.empty()) bodyLines.back() = line.index - latestHeader;
            if (!inBody) ++mainLines;
            inBody = false;
        } else {
            if (code == KeywordCode(Keyword::End) && headers == 0) mainHasEnd = true;
            if (!inBody) ++mainLines;
        }
    }
    if (!mainHasEnd) {
        errors.push_back(CompileError{ErrorCode(MsgNoEnd), 0});
        return 1;
    }
    // Every block is reserved at once for the statements it can hold, and grows as its
    // statements are written: growing a block of many statements step by step copies it
    // again and again, and sizing it beyond its statements touches memory nobody reads.
    table.blocks.reserve(headers + 1);
    table.blocks.resize(1);
    table.blocks[0].reserve(static_cast<std::size_t>(mainLines) + 3);
    SlotForWriting(table, 0, 0);

    Pass1Position at;
    for (ScriptLines::Cursor cursor(lines); cursor.Next(line);) {
        std::int32_t result = Recognise(line.text, at, table, names);
        if (result == 255) continue;
        if (result != 0) {
            errors.push_back(CompileError{result, line.index + 1});
            continue;
        }
        Instruction recorded = table.blocks[at.block][at.slot];
        int op = OpcodeOf(recorded[0]);
        if (IsHeaderCode(op)) {
            at.mainEnd = at.slot - 1;
            at.block = at.headers + 1;
            at.headers = at.block;
            Instruction header{};
            header[HeaderKind] = op - 56;
            header[HeaderParameters] = recorded[HeaderParameters];
            header[HeaderName] = recorded[HeaderName];
            if (at.block - 1 < static_cast<int>(bodyLines.size())) {
                SlotForWriting(table, at.block, 0);
                table.blocks[at.block].reserve(static_cast<std::size_t>(bodyLines[at.block - 1]) +
                                               3);
            }
            SlotForWriting(table, at.block, 1);
            table.blocks[at.block][0] = header;
            table.blocks[0][0][HeaderBlockCount] = at.block;
            int name = recorded[HeaderName];
            if (name >= static_cast<int>(at.headerNames.size())) {
                at.headerNames.resize(name + 1);
            }
            at.headerNames[name] = true;
            at.slot = op == static_cast<int>(Op::Construction) ? 2 : 1;
        } else if (op == static_cast<int>(Op::Repeat) && at.block != 0) {
            table.blocks[at.block][0][HeaderEnd] = at.slot + 1;
            at.block = 0;
            at.slot = at.mainEnd + 1;
        } else if (op != 0) {
            // A REPEAT in the main program only takes its slot here, so that pass 2 meets
            // it in the same place and rejects it there.
            ++at.slot;
        }
    }

    std::int32_t& mainEnd = table.blocks[0][0][HeaderEnd];
    mainEnd = at.block == 0 && at.mainEnd < at.slot ? at.slot : at.mainEnd + 1;
    // A subroutine left open at the end of the script runs to its last statement.
    if (at.block != 0) table.blocks[at.block][0][HeaderEnd] = at.slot;
    // The slot at a block's end is read as an empty statement, so it must exist.
    for (std::size_t b = 0; b < table.blocks.size(); ++b) {
        SlotForWriting(table, static_cast<int>(b), std::max(table.blocks[b][0][HeaderEnd], 1));
    }
    return static_cast<int>(errors.size());
}

int RunPass1(std::span<const std::string_view> lines, InstructionTable& table,
             std::vector<CompileError>& errors, NameTable& names,
             std::vector<int>* constructionLines) {
    std::vector<ScriptLine> found;
    int result = RunPass1(ScriptLines(lines), table, errors, names, &found);
    if (constructionLines) {
        constructionLines->clear();
        for (const ScriptLine& l : found) constructionLines->push_back(l.index);
    }
    return result;
}

std::int32_t RecogniseLine(std::string_view line, NameTable& names, Statement& statement, Op& op) {
    op = Op::None;
    if (std::int32_t code = ReadStatement(line, names, 1, statement)) return code;
    Recognised r = Classify(statement, names, Pass1Position{});
    op = r.op;
    return r.error;
}

}  // namespace zir
