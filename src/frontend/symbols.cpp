#include "frontend/symbols.h"

#include "frontend/errorcode.h"
#include "frontend/keywords.h"
#include "frontend/lexer.h"

namespace zir {

namespace {

std::uint32_t HashOf(std::string_view s) {
    // FNV-1a, then a final mix so that the low bits used for the bucket are well spread.
    std::uint64_t h = 14695981039346656037ull;
    for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
}

// Names are short, so comparing them in place beats calling memcmp.
bool SameText(const std::string& a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

// The position of key's entry, or of the free entry where it belongs.
std::size_t Probe(const NameIndex& index, const NameTable& table, std::string_view key,
                  std::uint32_t hash) {
    std::size_t mask = index.entries.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const NameIndexEntry& e = index.entries[i];
        if (e.type == TypeComment) return i;
        if (e.hash == hash && SameText(table.rows[e.type][e.index], key)) return i;
    }
}

const NameIndexEntry* Find(const NameIndex& index, const NameTable& table, std::string_view key) {
    if (index.entries.empty()) return nullptr;
    const NameIndexEntry& e = index.entries[Probe(index, table, key, HashOf(key))];
    return e.type == TypeComment ? nullptr : &e;
}

void Grow(NameIndex& index) {
    std::vector<NameIndexEntry> old = std::move(index.entries);
    index.entries.assign(old.empty() ? 64 : old.size() * 2, NameIndexEntry{});
    std::size_t mask = index.entries.size() - 1;
    for (const NameIndexEntry& e : old) {
        if (e.type == TypeComment) continue;
        std::size_t i = e.hash & mask;
        while (index.entries[i].type != TypeComment) i = (i + 1) & mask;
        index.entries[i] = e;
    }
}

// Enters row entry (type, i) under key unless the key is there already; an entry of a
// lower row replaces one of a higher row.
void Enter(NameIndex& index, const NameTable& table, std::string_view key, int type, int i) {
    if ((index.used + 1) * 2 > index.entries.size()) Grow(index);
    std::uint32_t hash = HashOf(key);
    NameIndexEntry& e = index.entries[Probe(index, table, key, hash)];
    if (e.type == TypeComment) {
        e = NameIndexEntry{hash, type, i};
        ++index.used;
    } else if (e.type > type) {
        e.type = type;
        e.index = i;
    }
}

}  // namespace

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
        const NameIndexEntry* e = Find(names.names, names, token);
        return e ? Symbol{e->type, e->index} : Symbol{};
    }
    switch (ClassifyToken(token)) {
        case TokenClass::Number:
            return {TypeDirectNumber, 0};
        case TokenClass::Text: {
            const NameIndexEntry* e = Find(names.texts, names, TextOfToken(token));
            return {TypeText, e ? e->index : NoIndex};
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
        Enter(names.texts, names, row.back(), type, index);
        return index;
    }
    row.emplace_back(token);
    // A name declared in two rows (possible within one statement) is found in the lower one.
    Enter(names.names, names, row.back(), type, index);
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
