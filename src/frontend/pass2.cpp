#include "frontend/pass2.h"

#include <algorithm>

#include "frontend/keywords.h"
#include "frontend/lexer.h"
#include "frontend/statement.h"

namespace zir {

namespace {

constexpr int P = TypePoint;
constexpr int L = TypeLine;
constexpr int C = TypeCircle;

std::int32_t Mismatch(int found, int expected) {
    return ErrorCode(MsgTypeMismatch, found, expected);
}
std::int32_t TooFew() {
    return ErrorCode(MsgTooFewArguments);
}
std::int32_t PassMismatch() {
    return ErrorCode(MsgPassMismatch);
}
std::int32_t NotHere(int kind) {
    return ErrorCode(MsgInvalidStatementInBlock, kind);
}

// Where the scan stands: the block and slot the statement goes to.
struct Position {
    int block = 0;
    int slot = 1;
};

// What compiling one statement gave.
struct Outcome {
    std::int32_t code = 0;  // 0, 255 for an empty statement, or an error code word
    Op op = Op::None;       // the final opcode; None when nothing was compiled
    int block = 0;          // the block a subroutine header opens, or a call calls
};

Outcome Fail(std::int32_t code) {
    return Outcome{code};
}

// For each slot of the main block, the first slot from there on that holds a menu entry
// (MENUITEM, EXITMENU, ENDMENU or REPEATMENU) on the level of a menu that starts before it:
// a nested MENU is passed over up to the first ENDMENU or REPEATMENU after it. The end of
// the main program stands for "none". Built once from the provisional opcodes, whose
// opcode bits the linking keeps, so a menu's scan costs its entries, not its slots.
struct MenuIndex {
    bool built = false;
    int end = 0;                 // one past the main program's last slot
    std::vector<int> nextEntry;  // size end + 1
};

bool IsMenuEnd(int op) {
    return op == OpcodeNumber(Op::EndMenu) || op == OpcodeNumber(Op::RepeatMenu);
}
bool IsMenuEntry(int op) {
    return op >= OpcodeNumber(Op::MenuItem) && op <= OpcodeNumber(Op::RepeatMenu);
}

void BuildMenuIndex(const InstructionBlock& main, int end, MenuIndex& index) {
    index.built = true;
    index.end = end;
    index.nextEntry.assign(end + 1, end);
    int nextEnd = end;  // the first ENDMENU or REPEATMENU after the slot being looked at
    for (int j = end - 1; j >= 0; --j) {
        int op = OpcodeOf(main[j][0]);
        if (IsMenuEntry(op)) {
            index.nextEntry[j] = j;
        } else if (op == OpcodeNumber(Op::Menu)) {
            index.nextEntry[j] = nextEnd == end ? end : index.nextEntry[nextEnd + 1];
        } else {
            index.nextEntry[j] = index.nextEntry[j + 1];
        }
        if (IsMenuEnd(op)) nextEnd = j;
    }
}

struct Pass2 {
    InstructionTable& table;
    const NameTable& names;
    // The first block headed by each subroutine name (row 7 index); 0 when none.
    std::vector<int> blockOfName;
    // Main block slots that a MENU has linked.
    std::vector<bool> linked;
    MenuIndex menus;
};

// The block of the subroutine named by token 1, or 0.
int CalledBlock(const Pass2& p, const Statement& s) {
    if (TypeAt(s, 1) != TypeSubroutine) return 0;
    int name = s.symbols[1].index;
    return name < static_cast<int>(p.blockOfName.size()) ? p.blockOfName[name] : 0;
}

// ---- values of tokens ------------------------------------------------------------------

// The value of one word of the layout, or an error code word.
std::int32_t Encode(const Statement& s, Operand o, std::int32_t& value) {
    value = 0;
    if (o.field == Field::None) return 0;
    bool present = o.token >= 0 && o.token < s.count;
    std::string_view token = present ? s.tokens[o.token] : std::string_view{};
    switch (o.field) {
        case Field::Point:
        case Field::Line:
        case Field::Circle: {
            int expected = o.field == Field::Point ? P : o.field == Field::Line ? L : C;
            if (!present) return TooFew();
            // Every object index must be one of its type's, so that it lies inside the
            // interpreter's table of that type.
            if (s.symbols[o.token].type != expected) {
                return Mismatch(s.symbols[o.token].type, expected);
            }
            value = s.symbols[o.token].index;
            return 0;
        }
        case Field::OptText:
            if (!present) {
                value = -1;
                return 0;
            }
            [[fallthrough]];
        case Field::Text:
            if (!present) return TooFew();
            if (s.symbols[o.token].type != TypeText) {
                return ErrorCode(MsgTypeMismatch, TypeText, s.symbols[o.token].type);
            }
            if (s.symbols[o.token].index == NoIndex) return ErrorCode(MsgInternal);
            value = s.symbols[o.token].index;
            return 0;
        case Field::Fixed:
            if (!present) return TooFew();
            value = FixedFromNumber(ReadNumber(token));
            return 0;
        case Field::OptFixed:
            value = present ? FixedFromNumber(ReadNumber(token)) : -1;
            return 0;
        case Field::Angle:
            if (!present) return TooFew();
            value = AngleFromDegrees(ReadNumber(token));
            return 0;
        case Field::OptAngle:
            value = present ? OptionalAngleFromDegrees(ReadNumber(token)) : -1;
            return 0;
        case Field::Int:
            value = present ? RoundToInt32(ReadNumber(token)) : -1;
            return 0;
        case Field::PlainInt:
            if (!present) return TooFew();
            value = RoundToInt32(ReadNumber(token));
            return 0;
        case Field::Colour:
            value = present ? ReadColour(token) : -1;
            return 0;
        default:
            // The fields of an opcode's own rule are filled by that rule.
            return 0;
    }
}

// Fills the words of an instruction field by field from its layout.
std::int32_t FillByLayout(const Statement& s, const OpcodeInfo& info, Instruction& out) {
    for (int w = 0; w < 8; ++w) {
        std::int32_t value = 0;
        if (std::int32_t e = Encode(s, info.layout[w], value)) return e;
        out[w] = value;
    }
    out[0] = InstructionWord0(info.op, s.invisible, out[0]);
    return 0;
}

// ---- the opcode of a statement ---------------------------------------------------------

// Keywords whose statements share their opcodes: pass 1 may have recorded either spelling's.
Keyword OpcodeFamily(Keyword k) {
    switch (k) {
        case Keyword::AdvanceOn:
            return Keyword::AdvanceTo;
        case Keyword::Fill:
        case Keyword::FillCircle:
            return Keyword::FillTriangle;
        case Keyword::FrameSpeed:
            return Keyword::Speed;
        case Keyword::WaitAlways:
            return Keyword::Wait;
        default:
            return k;
    }
}

// Whether the provisional opcode that pass 1 recorded (opcode bits and invisible flag) is
// one that the statement's keyword can have: both passes must see the same statement.
bool ProvisionalFits(const Statement& s, int provisional) {
    if (((provisional & InvisibleFlag) != 0) != s.invisible) return false;
    const OpcodeInfo* info = FindOpcode(provisional & ~InvisibleFlag);
    return info && OpcodeFamily(info->keyword) == OpcodeFamily(s.keyword);
}

// The final opcode of a statement whose provisional opcode fits it, decided by the types
// its names have after pass 1; or an error code word.
std::int32_t FinalOpcode(const Statement& s, int provisional, Op& op) {
    op = static_cast<Op>(provisional & OpcodeMask);
    int at = s.keywordPosition;
    switch (s.keyword) {
        case Keyword::Copy: {
            int copy = TypeAt(s, 0);
            if (copy == TypeAt(s, 2) && (copy == P || copy == L || copy == C)) {
                op = static_cast<Op>(OpcodeNumber(Op::CopyPoint) + copy - P);
                return 0;
            }
            return Mismatch(copy, (provisional & OpcodeMask) - 4);
        }
        case Keyword::Cross: {
            if (at != 2) return 0;
            int first = TypeAt(s, 3), second = TypeAt(s, 4);
            if (first == C && second == C) {
                op = Op::CrossCircles;
            } else if (first == C && second == L) {
                op = Op::CrossCircleLine;
            } else if (first == L && second == C) {
                op = Op::CrossLineCircle;
            } else {
                return Mismatch(first, C);
            }
            return 0;
        }
        case Keyword::Circle: {
            if (at != 1) return 0;
            int through = TypeAt(s, 3);
            if (through == P) {
                op = Op::CircleThrough;
            } else if (through == L) {
                op = Op::CircleTouching;
            } else {
                return Mismatch(through, P);
            }
            return 0;
        }
        case Keyword::Midline: {
            int first = TypeAt(s, 2), second = TypeAt(s, 3);
            if (first == P && second == P) {
                op = Op::Midline;
            } else if (first == L && second == L) {
                op = Op::Bisector;
            } else {
                return Mismatch(first, P);
            }
            return 0;
        }
        case Keyword::Arc: {
            int first = TypeAt(s, 2), second = TypeAt(s, 3);
            if (first == P && second == P) {
                op = Op::ArcPoints;
            } else if (first == L && second == L) {
                op = Op::ArcLines;
                if (s.count < 5) return TooFew();
            } else {
                return Mismatch(first, P);
            }
            return 0;
        }
        case Keyword::MarkLine:
        case Keyword::MarkNumberLine: {
            int first = TypeAt(s, 2);
            if (s.count <= 2 || first == TypeDirectNumber) return 0;
            if (first != P) return Mismatch(first, P);
            return TypeAt(s, 3) == P ? 0 : Mismatch(TypeAt(s, 3), P);
        }
        case Keyword::Step: {
            int moving = TypeAt(s, 1);
            if (moving == P) {
                op = Op::StepPoint;
            } else if (moving == C) {
                op = Op::StepCircle;
            } else {
                return Mismatch(moving, P);
            }
            return 0;
        }
        case Keyword::StepAlong: {
            int moving = TypeAt(s, 1), path = TypeAt(s, 3);
            if ((moving != P && moving != C) || (path != L && path != C)) {
                return Mismatch(moving, P);
            }
            bool circle = moving == C;
            if (path == L) {
                op = circle ? Op::StepCircleAlongLine : Op::StepPointAlongLine;
            } else {
                op = circle ? Op::StepCircleAlongCircle : Op::StepPointAlongCircle;
            }
            return 0;
        }
        case Keyword::ClickableAlong: {
            int path = TypeAt(s, 3);
            if (path == L) {
                op = Op::ClickableAlongLine;
            } else if (path == C) {
                op = Op::ClickableAlongCircle;
            } else {
                return Mismatch(L, path);
            }
            return 0;
        }
        default:
            return 0;
    }
}

// ---- statements with rules of their own ------------------------------------------------

// MARKLINE and MARKNUMBERLINE: the points form by the layout; with a number, or nothing,
// in place of the first point, up to three numbers with operand 1 marked in its high half.
std::int32_t FillMarkLine(const Statement& s, const OpcodeInfo& info, Instruction& out) {
    if (s.count > 2 && TypeAt(s, 2) == P) return FillByLayout(s, info, out);
    std::int32_t target = 0;
    if (std::int32_t e = Encode(s, info.layout[0], target)) return e;
    out[0] = InstructionWord0(info.op, false, target);
    for (int k = 0; k < 3; ++k) Encode(s, {Field::Int, 2 + k}, out[1 + k]);
    out[1] = static_cast<std::int32_t>(static_cast<std::uint32_t>(out[1]) | 0xFFFF0000u);
    return 0;
}

// CLICKABLE and TRACE: the number of points and each point's index in a half word.
std::int32_t FillPointList(const Statement& s, Op op, Instruction& out) {
    int n = s.count - 1;
    if (n > MaxPointList) return ErrorCode(MsgTooManyParameters);
    out[0] = InstructionWord0(op, false, n);
    for (int k = 0; k < n; ++k) {
        std::int32_t index = 0;
        if (std::int32_t e = Encode(s, {Field::Point, k + 1}, index)) return e;
        int w = PointListWord(k);
        out[w] = WithHalf(out[w], HalfInWord(k), index);
    }
    return 0;
}

// DEFAULTS: each value goes to its word or half word; what is not given stays all ones.
void FillDefaults(const Statement& s, Instruction& out) {
    out.fill(-1);
    out[0] = InstructionWord0(Op::Defaults);
    struct Place {
        int word;
        int half;  // -1: the whole word, a colour
    };
    static constexpr Place Places[] = {{2, -1}, {5, -1}, {3, -1}, {1, -1}, {6, 0},
                                       {4, 1},  {7, 1},  {4, 0},  {6, 1},  {7, 0}};
    int given = std::min(s.count - 1, 10);
    for (int t = 1; t <= given; ++t) {
        Place place = Places[t - 1];
        std::string_view token = s.tokens[t];
        if (place.half < 0) {
            out[place.word] = ReadColour(token);
            continue;
        }
        // These numbers are rounded down; the last is an angle in whole degrees.
        std::int32_t value = FloorToInt32(ReadNumber(token));
        if (t == 10) value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) << 8);
        out[place.word] = WithHalf(out[place.word], place.half, value);
    }
}

// TOOLDEFAULTS: three numbers in half words, then five colours; the target counts the
// values given.
void FillToolDefaults(const Statement& s, Instruction& out) {
    out[0] = InstructionWord0(Op::ToolDefaults, false, s.count - 1);
    int given = std::min(s.count - 1, 8);
    for (int t = 1; t <= given; ++t) {
        std::string_view token = s.tokens[t];
        if (t <= 3) {
            int word = t == 3 ? 2 : 1;
            out[word] = WithHalf(out[word], t == 2 ? 1 : 0, FloorToInt32(ReadNumber(token)));
        } else {
            out[t - 1] = ReadColour(token);
        }
    }
}

// MENU at slot m of the main block: finds its entries up to its ENDMENU or REPEATMENU,
// writes their links, and fills the MENU instruction itself.
std::int32_t LinkMenu(Pass2& p, const Statement& s, int m, Instruction& out) {
    InstructionBlock& main = p.table.blocks[0];
    int end = std::min<int>(main[0][HeaderEnd], static_cast<int>(main.size()));
    if (!p.menus.built) BuildMenuIndex(main, std::max(end, 0), p.menus);
    end = p.menus.end;

    int items[MaxMenuEntries], exits[MaxMenuEntries];
    int itemCount = 0, exitCount = 0;
    int j = m + 1 <= end ? p.menus.nextEntry[m + 1] : end;
    for (;; j = p.menus.nextEntry[j + 1]) {
        if (j >= end) return ErrorCode(MsgMenuWithoutEnd);
        int op = OpcodeOf(main[j][0]);
        if (IsMenuEnd(op)) break;
        int& count = op == OpcodeNumber(Op::MenuItem) ? itemCount : exitCount;
        if (count == MaxMenuEntries) return ErrorCode(MsgTooManyMenuItems);
        (op == OpcodeNumber(Op::MenuItem) ? items : exits)[count++] = j;
    }
    bool repeats = OpcodeOf(main[j][0]) == OpcodeNumber(Op::RepeatMenu);
    int itemLink = repeats ? m - 1 : j;
    int exitSlot = j;
    // Links are targets, read as signed 16-bit values.
    if (std::max(itemLink, exitCount > 0 ? exitSlot : 0) > MaxTarget) {
        return ErrorCode(MsgInternal);
    }
    if (p.linked.size() < main.size()) p.linked.resize(main.size());
    for (int k = 0; k < itemCount; ++k) {
        main[items[k]][0] = InstructionWord0(Op::MenuItem, false, itemLink);
        p.linked[items[k]] = true;
    }
    for (int k = 0; k < exitCount; ++k) {
        main[exits[k]][0] = InstructionWord0(Op::ExitMenu, false, exitSlot);
        p.linked[exits[k]] = true;
    }
    main[j][0] = repeats ? InstructionWord0(Op::RepeatMenu, false, itemLink)
                         : InstructionWord0(Op::EndMenu, false, j);
    p.linked[j] = true;

    out[0] = InstructionWord0(Op::Menu, false, itemCount);
    Encode(s, {Field::Colour, 1}, out[1]);
    Encode(s, {Field::Colour, 2}, out[2]);
    out[3] = exitSlot;
    return 0;
}

// MENUITEM, EXITMENU, ENDMENU, REPEATMENU: only their MENU gives them their links; a
// MENUITEM adds its text.
Outcome CompileMenuEntry(Pass2& p, const Statement& s, Position at) {
    if (at.block != 0) return Fail(NotHere(BlockKind(p.table, at.block)));
    Instruction& slot = p.table.blocks[0][at.slot];
    Op op = static_cast<Op>(KeywordCode(s.keyword));
    if (OpcodeOf(slot[0]) != OpcodeNumber(op)) return Fail(PassMismatch());
    if (at.slot >= static_cast<int>(p.linked.size()) || !p.linked[at.slot]) {
        return Fail(ErrorCode(MsgMenuEntryWithoutMenu));
    }
    if (op == Op::MenuItem) {
        std::int32_t text = 0;
        if (std::int32_t e = Encode(s, {Field::Text, 1}, text)) return Fail(e);
        slot[1] = text;
    }
    return Outcome{0, op};
}

// CONSTRUCTION, INTERACTION, ANIMATION: finds the header's block and, for a CONSTRUCTION,
// enters the types and indexes of its parameters into the block's parameter list. The
// values are ORed in, so compiling a header twice gives the same list.
Outcome CompileHeader(Pass2& p, const Statement& s, Position at) {
    if (at.block != 0) return Fail(NotHere(BlockKind(p.table, at.block)));
    Op op = static_cast<Op>(KeywordCode(s.keyword));
    int b = CalledBlock(p, s);
    if (b == 0) return Fail(ErrorCode(MsgNoSubroutineForName));
    Instruction& header = p.table.blocks[b][0];
    if (header[HeaderKind] != OpcodeNumber(op) - 56) {
        return Fail(ErrorCode(MsgNoSubroutineForName));
    }
    if (op == Op::Construction) {
        int count = header[HeaderParameters];
        if (count != s.count - 2) return Fail(ErrorCode(MsgParameterCountMismatch));
        Instruction& list = SlotForWriting(p.table, b, ParameterSlot);
        for (int k = 0; k < MaxParameters; ++k) {
            int token = k + 2;
            std::uint32_t type = static_cast<std::uint32_t>(TypeAt(s, token)) & 15;
            int index = k < count ? s.symbols[token].index : AbsentIndex;
            std::int32_t& types = list[ParameterTypeWord(k)];
            types = static_cast<std::int32_t>(static_cast<std::uint32_t>(types) |
                                              (type << (4 * (k % 8))));
            std::int32_t& indexes = list[ParameterIndexWord(k)];
            indexes = indexes | WithHalf(0, HalfInWord(k), index);
        }
    }
    return Outcome{0, op, b};
}

// CALL, CONSTRUCT, INTERACT, ANIMATE: the called block as target and, for a CONSTRUCTION,
// the arguments checked against its parameter list.
Outcome CompileCall(Pass2& p, const Statement& s, Position at) {
    int b = CalledBlock(p, s);
    if (b == 0) return Fail(ErrorCode(MsgNoSubroutineForName));
    int calleeKind = p.table.blocks[b][0][HeaderKind];

    std::string_view word = s.tokens[0];
    auto is = [word](std::string_view name) {
        return word.size() == name.size() &&
               std::equal(word.begin(), word.end(), name.begin(), [](char a, char b) {
                   return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) == b;
               });
    };
    int needed = is("CONSTRUCT")  ? KindConstruction
                 : is("INTERACT") ? KindInteraction
                 : is("ANIMATE")  ? KindAnimation
                                  : -1;
    if (needed >= 0 && needed != calleeKind) return Fail(ErrorCode(MsgWrongSubroutineKind));

    // A CONSTRUCTION binds its objects to its caller's; only one without parameters may
    // hand them on, and only to another CONSTRUCTION.
    if (BlockKind(p.table, at.block) == KindConstruction &&
        (calleeKind != KindConstruction || p.table.blocks[at.block][0][HeaderParameters] != 0)) {
        return Fail(NotHere(KindConstruction));
    }

    Op op = static_cast<Op>(KeywordCode(s.keyword));
    Instruction out{};
    out[0] = InstructionWord0(op, false, b);
    if (calleeKind == KindConstruction) {
        int count = p.table.blocks[b][0][HeaderParameters];
        int first = op == Op::Call ? 2 : 3;
        if (s.count != first + count) {
            return Fail(ErrorCode(MsgCallArgumentCount, count));
        }
        const Instruction& list = p.table.blocks[b][ParameterSlot];
        for (int k = 0; k < MaxParameters; ++k) {
            int index = AbsentIndex;
            if (k < count) {
                int expected = ParameterType(list, k);
                if (TypeAt(s, first + k) != expected) {
                    return Fail(ErrorCode(MsgCallArgumentType, k, expected));
                }
                index = s.symbols[first + k].index;
            }
            int w = ParameterIndexWord(k);
            out[w] = WithHalf(out[w], HalfInWord(k), index);
        }
    }
    p.table.blocks[at.block][at.slot] = out;
    return Outcome{0, op, b};
}

bool IsHeader(Keyword k) {
    return k == Keyword::Construction || k == Keyword::Interaction || k == Keyword::Animation;
}
bool IsCall(Keyword k) {
    return k == Keyword::Call || k == Keyword::Fast || k == Keyword::Pace || k == Keyword::Slow;
}
bool IsMenuEntryKeyword(Keyword k) {
    return k == Keyword::MenuItem || k == Keyword::ExitMenu || k == Keyword::EndMenu ||
           k == Keyword::RepeatMenu;
}

// ---- one statement ---------------------------------------------------------------------

Outcome CompileStatement(Pass2& p, std::string_view line, Position at, Statement& s) {
    if (!HasSlot(p.table, at.block, at.slot)) return Outcome{};
    if (std::int32_t code = ReadStatement(line, p.names, 2, s)) return Fail(code);
    if (IsHeader(s.keyword)) return CompileHeader(p, s, at);
    if (IsCall(s.keyword)) return CompileCall(p, s, at);
    if (IsMenuEntryKeyword(s.keyword)) return CompileMenuEntry(p, s, at);

    Instruction& slot = p.table.blocks[at.block][at.slot];
    int provisional = slot[0] & 0xFFFF;
    if (s.keyword != Keyword::Copy && !ProvisionalFits(s, provisional)) {
        return Fail(PassMismatch());
    }
    Op op = Op::None;
    if (std::int32_t e = FinalOpcode(s, provisional, op)) return Fail(e);
    const OpcodeInfo* info = FindOpcode(OpcodeNumber(op));
    if (!info) return Fail(PassMismatch());

    int kind = BlockKind(p.table, at.block);
    if ((info->allowedIn & (1u << kind)) == 0) return Fail(NotHere(kind));

    Instruction out{};
    std::int32_t error = 0;
    switch (op) {
        case Op::MarkLine:
        case Op::MarkNumberLine:
            error = FillMarkLine(s, *info, out);
            break;
        case Op::Clickable:
        case Op::Trace:
            error = FillPointList(s, op, out);
            break;
        case Op::Defaults:
            FillDefaults(s, out);
            break;
        case Op::ToolDefaults:
            FillToolDefaults(s, out);
            break;
        case Op::Menu:
            error = LinkMenu(p, s, at.slot, out);
            break;
        default:
            // An opcode with a rule of its own that has no case here would be written wrong.
            error = info->ownRule ? ErrorCode(MsgInternal) : FillByLayout(s, *info, out);
            break;
    }
    if (error) return Fail(error);
    slot = out;
    return Outcome{0, op};
}

}  // namespace

int RunPass2(const ScriptLines& lines, InstructionTable& table, std::vector<CompileError>& errors,
             const NameTable& names, std::span<const ScriptLine> constructionLines,
             StatementObserver* observer) {
    Pass2 p{table, names, {}, {}, {}};
    p.blockOfName.assign(NameCount(names, TypeSubroutine), 0);
    for (int b = static_cast<int>(table.blocks.size()) - 1; b >= 1; --b) {
        int name = HasSlot(table, b, 0) ? table.blocks[b][0][HeaderName] : -1;
        if (name >= 0 && name < static_cast<int>(p.blockOfName.size())) p.blockOfName[name] = b;
    }

    // Every CONSTRUCTION's parameter list first, so that calls written before the
    // construction they call can be checked. Errors are reported where the header stands.
    Statement s;
    for (const ScriptLine& line : constructionLines) {
        CompileStatement(p, line.text, Position{0, 0}, s);
    }

    std::size_t before = errors.size();
    Position at;
    int mainEnd = 0;
    ScriptLine line;
    for (ScriptLines::Cursor cursor(lines); cursor.Next(line);) {
        Outcome r = CompileStatement(p, line.text, at, s);
        if (r.code == 255) continue;
        if (r.code != 0) {
            errors.push_back(CompileError{r.code, line.index + 1});
            ++at.slot;
            continue;
        }
        if (observer && r.op != Op::None) {
            bool call = r.op == Op::Call || r.op == Op::CallFast || r.op == Op::CallPace ||
                        r.op == Op::CallSlow;
            observer->Compiled(CompiledStatement{line.index, &s, r.op, BlockKind(table, at.block),
                                                 call ? BlockKind(table, r.block) : -1, at.block,
                                                 at.slot});
        }
        switch (r.op) {
            case Op::None:
                break;
            case Op::Construction:
            case Op::Interaction:
            case Op::Animation:
                mainEnd = at.slot - 1;
                at.block = r.block;
                at.slot = r.op == Op::Construction ? ParameterSlot + 1 : 1;
                break;
            case Op::Repeat:
                at = Position{0, mainEnd + 1};
                break;
            default:
                ++at.slot;
                break;
        }
    }
    return static_cast<int>(errors.size() - before);
}

int RunPass2(std::span<const std::string_view> lines, InstructionTable& table,
             std::vector<CompileError>& errors, const NameTable& names,
             std::span<const int> constructionLines) {
    std::vector<ScriptLine> found;
    for (int i : constructionLines) {
        if (i >= 0 && i < static_cast<int>(lines.size())) found.push_back({i, lines[i]});
    }
    return RunPass2(ScriptLines(lines), table, errors, names, found);
}

}  // namespace zir
