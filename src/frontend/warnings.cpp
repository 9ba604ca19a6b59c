#include "frontend/warnings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <unordered_map>

#include "frontend/compiler.h"
#include "frontend/lexer.h"
#include "frontend/pass1.h"
#include "frontend/statement.h"

namespace zir {

namespace {

// German quotation marks around a word of the script (Windows-1252).
std::string Quoted(std::string_view word) {
    return "\x84" + std::string(word) + "\x93";
}

// "„a“", "„a“ und „b“", "„a“, „b“ und „c“".
std::string QuotedList(const std::vector<std::string_view>& words) {
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) out += i + 1 == words.size() ? " und " : ", ";
        out += Quoted(words[i]);
    }
    return out;
}

std::string Upper(std::string_view word) {
    std::string out(word);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// The statement's keyword as the script wrote it, in capitals as the documentation does.
std::string KeywordOf(const Statement& s) {
    return Upper(s.tokens[s.keywordPosition]);
}

bool IsSeparator(char c) {
    return c == ' ' || c == ',' || c == '=';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number written with a leading "." or "+" (".5", "+5", "+.5"): by the rules of the
// language it begins a comment.
bool LooksLikeNumber(std::string_view comment) {
    if (comment.size() < 2) return false;
    if (comment[0] == '.') return IsDigit(comment[1]);
    if (comment[0] != '+') return false;
    return IsDigit(comment[1]) || (comment[1] == '.' && comment.size() > 2 && IsDigit(comment[2]));
}

void CommentNumberWarning(std::string_view comment, int line, std::vector<Warning>& out) {
    if (!LooksLikeNumber(comment)) return;
    std::string meant(comment[0] == '+' ? comment.substr(1) : comment);
    if (meant[0] == '.') meant.insert(0, "0");
    out.push_back({line, Quoted(comment) +
                             " beginnt einen Kommentar, keine Zahl: der Rest der Zeile wird "
                             "\xFC"
                             "bergangen. Schreiben Sie " +
                             meant + "."});
}

// ---- what a statement reads ------------------------------------------------------------

bool IsNumberField(Field f) {
    switch (f) {
        case Field::Fixed:
        case Field::OptFixed:
        case Field::Angle:
        case Field::OptAngle:
        case Field::Int:
        case Field::PlainInt:
        case Field::Colour:
            return true;
        default:
            return false;
    }
}

// The tokens a statement reads as numbers (one bit per token) and the last token it reads
// at all; the tokens after that one are passed over.
struct TokensRead {
    std::uint32_t numbers = 0;
    int last = 0;
};

TokensRead NumbersFrom(int first, int last) {
    TokensRead r;
    for (int t = first; t <= last; ++t) r.numbers |= 1u << t;
    r.last = last;
    return r;
}

// What the opcode table says each opcode reads, worked out once.
const std::array<TokensRead, OpcodeMask + 1>& LayoutReads() {
    static const std::array<TokensRead, OpcodeMask + 1> reads = [] {
        std::array<TokensRead, OpcodeMask + 1> r{};
        for (const OpcodeInfo& info : Opcodes) {
            TokensRead& read = r[static_cast<std::size_t>(info.op)];
            for (const Operand& o : info.layout) {
                if (o.token < 0) continue;
                read.last = std::max(read.last, o.token);
                if (IsNumberField(o.field)) read.numbers |= 1u << o.token;
            }
        }
        return r;
    }();
    return reads;
}

TokensRead ReadBy(const Statement& s, Op op, int calleeKind) {
    switch (op) {
        case Op::MarkLine:
        case Op::MarkNumberLine:
            // With a number, or nothing, in place of the first point: up to three numbers.
            if (s.count <= 2 || TypeAt(s, 2) == TypeDirectNumber) return NumbersFrom(2, 4);
            break;
        case Op::Clickable:
        case Op::Trace:
        case Op::Construction:
            return TokensRead{0, s.count - 1};
        case Op::Interaction:
        case Op::Animation:
            return TokensRead{0, 1};
        case Op::Call:
        case Op::CallFast:
        case Op::CallPace:
        case Op::CallSlow:
            // Only a CONSTRUCTION takes arguments; the others are called by name alone.
            if (calleeKind == KindInteraction || calleeKind == KindAnimation) {
                return TokensRead{0, op == Op::Call ? 1 : 2};
            }
            return TokensRead{0, s.count - 1};
        case Op::Defaults:
            return NumbersFrom(1, 10);
        case Op::ToolDefaults:
            return NumbersFrom(1, 8);
        case Op::Menu:
            return NumbersFrom(1, 2);
        default:
            break;
    }
    if (!FindOpcode(OpcodeNumber(op))) return TokensRead{0, s.count - 1};
    return LayoutReads()[static_cast<std::size_t>(OpcodeNumber(op))];
}

// A word of hexadecimal digits with an H at its end, as a colour written without its
// leading 0.
bool IsHexWithoutDigitFirst(std::string_view word) {
    if (word.size() < 2 || std::toupper(static_cast<unsigned char>(word.back())) != 'H') {
        return false;
    }
    return std::all_of(word.begin(), word.end() - 1,
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

std::string CommentAdvice(std::string_view word) {
    return " Ist es ein Kommentar, setzen Sie einen Apostroph davor: ' " + std::string(word);
}

// Words where numbers are read (they count as 0), and anything after what the statement
// reads (it is passed over).
void ValueWarnings(const Statement& s, Op op, int calleeKind, int line, std::vector<Warning>& out) {
    const TokensRead read = ReadBy(s, op, calleeKind);
    // Most statements read every word they have and numbers where numbers are read.
    bool suspect = s.count - 1 > read.last;
    for (int t = 0; !suspect && t < s.count; ++t) {
        suspect = (read.numbers >> t & 1u) && ClassifyToken(s.tokens[t]) != TokenClass::Number;
    }
    if (!suspect) return;
    std::vector<std::string_view> words, extra;
    bool extraWordsOnly = true;
    for (int t = 0; t < s.count; ++t) {
        const TokenClass kind = ClassifyToken(s.tokens[t]);
        const bool word = kind == TokenClass::Word || kind == TokenClass::Text;
        if (t > read.last) {
            extra.push_back(s.tokens[t]);
            extraWordsOnly = extraWordsOnly && word;
        } else if ((read.numbers >> t & 1u) && word) {
            words.push_back(s.tokens[t]);
        }
    }
    const std::string keyword = KeywordOf(s);
    if (!words.empty()) {
        const bool one = words.size() == 1;
        std::string text = QuotedList(words) + (one ? " steht" : " stehen") + ", wo " + keyword +
                           (one ? " eine Zahl" : " Zahlen") + " erwartet, und " +
                           (one ? "z\xE4hlt" : "z\xE4hlen") + " als 0.";
        auto hex = std::find_if(words.begin(), words.end(), IsHexWithoutDigitFirst);
        if (hex != words.end()) {
            std::string digits(hex->substr(0, hex->size() - 1));
            text += " Eine Zahl mit H am Ende muss mit einer Ziffer beginnen: schreiben Sie 0" +
                    digits + "H oder &H" + digits + ".";
        } else {
            text += CommentAdvice(words.front());
        }
        out.push_back({line, text});
    }
    if (!extra.empty()) {
        const bool one = extra.size() == 1;
        std::string text = QuotedList(extra) + (one ? " steht" : " stehen") +
                           " nach den Angaben, die " + keyword + " liest, und " +
                           (one ? "wird" : "werden") + " \xFC" + "bergangen.";
        text += extraWordsOnly ? CommentAdvice(extra.front())
                               : std::string(
                                     " Pr\xFC"
                                     "fen Sie Zahl und Reihenfolge der Angaben.");
        out.push_back({line, text});
    }
}

// DEFAULTS with fewer than ten values sets the others to -1 instead of keeping them.
void DefaultsWarning(const Statement& s, int line, std::vector<Warning>& out) {
    const int given = s.count - 1;
    if (given >= 10) return;
    std::vector<std::string> effects;
    if (given < 5)
        effects.push_back(
            "Linien werden unsichtbar, Kreise \xFC"
            "bermalen alles");
    if (given < 8) effects.push_back("Punkte werden ein Pixel klein");
    effects.push_back("Zirkelb\xF6gen werden fast ganze Kreise");
    std::string list;
    for (std::size_t i = 0; i < effects.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == effects.size() ? " und " : ", ") + effects[i];
    }
    out.push_back({line, "DEFAULTS hat nur " + std::to_string(given) + " Werte: die Vorgaben " +
                             std::to_string(given + 1) +
                             " bis 10 bleiben nicht, wie sie sind, sondern werden -1 (" + list +
                             "). Geben Sie alle zehn Werte an."});
}

// ---- the warnings of compiled statements ------------------------------------------------

bool IsObjectType(int type) {
    return type == TypePoint || type == TypeLine || type == TypeCircle;
}

// The tokens whose objects a statement gives a value: its target, and for the statements
// with two results the second one; -1 for none.
void GivenTokens(Op op, int& first, int& second) {
    first = second = -1;
    // The construction statements are the opcodes up to ARC between lines; of them only
    // these act on objects that must exist already.
    const OpcodeInfo* info = FindOpcode(OpcodeNumber(op));
    if (!info || OpcodeNumber(op) > OpcodeNumber(Op::ArcLines) || op == Op::MoveCircle ||
        op == Op::Revert || op == Op::FillTriangle || op == Op::FillCircle) {
        return;
    }
    first = info->layout[0].token;
    if (op == Op::Tangent || op == Op::CrossCircleLine || op == Op::CrossLineCircle ||
        op == Op::CrossCircles || op == Op::CircleEnd || op == Op::StartLine) {
        second = info->layout[1].token;
    }
}

template <typename T>
T& Grown(std::vector<T>& list, int index) {
    if (index >= static_cast<int>(list.size())) list.resize(index + 1);
    return list[index];
}

}  // namespace

void WarningFinder::NoteNames(const Statement& s, Op op, int line) {
    int first = -1, second = -1;
    bool allGiven = false;  // parameters are bound by the call, arguments may be results
    if (op == Op::Construction || op == Op::Call || op == Op::CallFast || op == Op::CallPace ||
        op == Op::CallSlow) {
        allGiven = true;
    } else {
        GivenTokens(op, first, second);
    }
    for (int t = 0; t < s.count; ++t) {
        const Symbol sym = s.symbols[t];
        if (!IsObjectType(sym.type) || sym.index < 0) continue;
        if (allGiven || t == first || t == second) {
            Grown(given_[sym.type], sym.index) = 1;
        } else if (Grown(firstUse_[sym.type], sym.index) == 0) {
            firstUse_[sym.type][sym.index] = line;
        }
    }
}

void WarningFinder::Compiled(const CompiledStatement& c) {
    const Statement& s = *c.statement;
    const int line = c.lineIndex + 1;
    Grown(compiled_, c.lineIndex) = 1;
    NoteNames(s, c.op, line);
    ValueWarnings(s, c.op, c.calleeKind, line, found_);
    if (s.count > 0) CommentNumberWarning(s.comment, line, found_);
    switch (c.op) {
        case Op::Construction:
            for (int t = 2; t < s.count; ++t) {
                if (TypeAt(s, t) != TypeNone) continue;
                found_.push_back(
                    {line, "Der Parameter " + Quoted(s.tokens[t]) + " der CONSTRUCTION " +
                               Quoted(s.tokens[1]) +
                               " bekommt im Rumpf keine Art (Punkt, Gerade oder Kreis): Aufrufe "
                               "und Anweisungen mit ihm melden dann Fehler 29 oder 10. Benutzen "
                               "Sie " +
                               Quoted(s.tokens[t]) +
                               " im Rumpf so, dass seine Art feststeht, etwa als Ergebnis (" +
                               std::string(s.tokens[t]) + " = \x85) oder mit MARKPOINT " +
                               std::string(s.tokens[t]) + "."});
            }
            break;
        case Op::Defaults:
            DefaultsWarning(s, line, found_);
            break;
        case Op::ToolDefaults:
            if (s.count == 2) {
                found_.push_back({line,
                                  "TOOLDEFAULTS mit nur einem Wert setzt die Gr\xF6\xDF"
                                  "e von Geodreieck und Winkelmesser auf 0: der Winkelmesser "
                                  "ist im langsamen Modus nicht zu sehen. Geben Sie beide "
                                  "Gr\xF6\xDF"
                                  "en an."});
            }
            break;
        case Op::StepPointAlongLine:
        case Op::StepCircleAlongLine:
        case Op::StepPointAlongCircle:
        case Op::StepCircleAlongCircle:
            if (s.count == 4) {
                const std::string moved(s.tokens[1]), path(s.tokens[3]);
                found_.push_back({line, "STEP " + moved + " ALONG " + path +
                                            " ohne Entfernung: " + Quoted(moved) +
                                            " r\xFC"
                                            "ckt je Bild nur 1/65536 Pixel weiter und scheint "
                                            "stillzustehen. Geben Sie die Entfernung an, etwa "
                                            "STEP " +
                                            moved + " ALONG " + path + ", 4."});
            }
            break;
        default:
            break;
    }
}

std::vector<Warning> WarningFinder::Finish(const ScriptLines& lines, const NameTable& names,
                                           std::int32_t result) {
    std::vector<Warning> out = std::move(found_);
    std::vector<Warning> more;

    // Lines that pass 2 did not compile: a line hidden by its tab, and the numbers that
    // begin comments also where a statement failed (they are often why it failed).
    std::unique_ptr<NameTable> scratch;
    ScriptLine line;
    for (ScriptLines::Cursor cursor(lines); cursor.Next(line);) {
        if (line.index < static_cast<int>(compiled_.size()) && compiled_[line.index]) continue;
        std::string_view text = line.text;
        std::size_t start = 0;
        while (start < text.size() && IsSeparator(text[start])) ++start;
        if (start == text.size()) continue;
        if (text[start] == '\t') {
            // Would the line be a statement without its tab? Only one that reads cleanly
            // counts, so that text meant as a comment is left alone.
            while (start < text.size() && (IsSeparator(text[start]) || text[start] == '\t')) {
                ++start;
            }
            if (!scratch) scratch = std::make_unique<NameTable>(names);
            Statement s;
            Op op = Op::None;
            if (RecogniseLine(text.substr(start), *scratch, s, op) != 0) continue;
            std::vector<Warning> unclean;
            ValueWarnings(s, op, -1, line.index + 1, unclean);
            if (!unclean.empty()) continue;
            more.push_back({line.index + 1,
                            "Die Zeile beginnt mit einem Tabulator und gilt darum ganz als "
                            "Kommentar: die Anweisung " +
                                KeywordOf(s) +
                                " wird nicht ausgef\xFChrt. R\xFC"
                                "cken Sie mit Leerzeichen ein."});
            continue;
        }
        if (ClassifyToken(text.substr(start)) == TokenClass::Comment) continue;
        TokenCursor tokens{text};
        std::string_view token;
        int before = 0;
        while (NextToken(tokens, token)) {
            if (ClassifyToken(token) == TokenClass::Comment) {
                if (before > 0) CommentNumberWarning(token, line.index + 1, more);
                break;
            }
            ++before;
        }
    }

    // Names that no statement gives a value, once the whole script has compiled (a failed
    // statement may be the one that would have given it).
    if (result == CompiledOk) {
        for (int type : {TypePoint, TypeLine, TypeCircle}) {
            std::unordered_map<std::string, int> givenByCapitals;
            bool looked = false;
            for (std::size_t i = 0; i < firstUse_[type].size(); ++i) {
                if (firstUse_[type][i] == 0 || (i < given_[type].size() && given_[type][i])) {
                    continue;
                }
                if (i >= names.rows[type].size()) continue;
                if (!looked) {
                    looked = true;
                    for (std::size_t j = 0; j < names.rows[type].size(); ++j) {
                        if (j < given_[type].size() && given_[type][j]) {
                            givenByCapitals.emplace(Upper(names.rows[type][j]),
                                                    static_cast<int>(j));
                        }
                    }
                }
                const std::string& name = names.rows[type][i];
                std::string text = Quoted(name) + " bekommt nirgends einen Wert: Zirkula nimmt ";
                if (type == TypePoint) {
                    text +=
                        "daf\xFCr den Punkt (0, 0) in der linken oberen Ecke. Legen Sie den "
                        "Punkt an, etwa mit POINT " +
                        name + ", x, y";
                } else if (type == TypeLine) {
                    text +=
                        "daf\xFCr eine Gerade ohne Richtung im Punkt (0, 0). Legen Sie die "
                        "Gerade an, etwa mit " +
                        name + " = LINE A, B";
                } else {
                    text +=
                        "daf\xFCr einen Kreis mit dem Radius 0 um (0, 0). Legen Sie den "
                        "Kreis an, etwa mit " +
                        name + " = CIRCLE M, P";
                }
                auto similar = givenByCapitals.find(Upper(name));
                if (similar != givenByCapitals.end()) {
                    text += " \x96 oder meinten Sie " + Quoted(names.rows[type][similar->second]) +
                            "? Gro\xDF- und Kleinschreibung z\xE4hlt";
                }
                more.push_back({firstUse_[type][i], text + "."});
            }
        }
    }

    out.insert(out.end(), more.begin(), more.end());
    std::stable_sort(out.begin(), out.end(),
                     [](const Warning& a, const Warning& b) { return a.line < b.line; });
    return out;
}

std::vector<Warning> FindWarnings(const ScriptLines& lines) {
    InstructionTable table;
    NameTable names;
    std::vector<CompileError> errors;
    WarningFinder finder;
    const std::int32_t result = ParseScript(lines, table, errors, names, &finder);
    return finder.Finish(lines, names, result);
}

std::vector<Warning> FindWarnings(std::span<const std::string_view> lines) {
    return FindWarnings(ScriptLines(lines));
}

}  // namespace zir
