#include "frontend/symbols.h"

#include <algorithm>

#include "frontend/errorcode.h"
#include "frontend/keywords.h"
#include "frontend/lexer.h"

namespace zir {

namespace {

// A name's first eight bytes, zero after its end.
std::uint64_t HeadOf(std::string_view s) {
    std::uint64_t head = 0;
    const std::size_t n = std::min<std::size_t>(s.size(), 8);
    for (std::size_t i = 0; i < n; ++i) {
        head |= static_cast<std::uint64_t>(static_cast<unsigned char>(s[i])) << (8 * i);
    }
    return head;
}

std::uint32_t HashOf(std::string_view s, std::uint64_t head) {
    // Most names are short: their head and length are the whole key. Longer ones add the
    // rest by FNV-1a. A final mix spreads the low bits that choose the bucket.
    std::uint64_t h = head ^ (static_cast<std::uint64_t>(s.size()) << 59);
    for (std::size_t i = 8; i < s.size(); ++i) {
        h = (h ^ static_cast<unsigned char>(s[i])) * 1099511628211ull;
    }
    h *= 0x9E3779B97F4A7C15ull;
    h ^= h >> 29;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 32;
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

// A name index key: the text with its head and hash.
struct Key {
    std::string_view text;
    std::uint64_t head;
    std::uint32_t hash;
};

Key KeyOf(std::string_view text) {
    const std::uint64_t head = HeadOf(text);
    return Key{text, head, HashOf(text, head)};
}

bool Matches(const NameIndexEntry& e, const NameTable& table, const Key& key) {
    if (e.hash != key.hash || e.head != key.head || e.length != key.text.size()) return false;
    return key.text.size() <= 8 || SameText(table.rows[e.type][e.index], key.text);
}

// The position of key's entry, or of the free entry where it belongs.
std::size_t Probe(const NameIndex& index, const NameTable& table, const Key& key) {
    std::size_t mask = index.entries.size() - 1;
    for (std::size_t i = key.hash & mask;; i = (i + 1) & mask) {
        const NameIndexEntry& e = index.entries[i];
        if (e.type == TypeComment || Matches(e, table, key)) return i;
    }
}

const NameIndexEntry* Find(const NameIndex& index, const NameTable& table, std::string_view text) {
    if (index.entries.empty()) return nullptr;
    const NameIndexEntry& e = index.entries[Probe(index, table, KeyOf(text))];
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
    const Key k = KeyOf(key);
    NameIndexEntry& e = index.entries[Probe(index, table, k)];
    if (e.type == TypeComment) {
        e = NameIndexEntry{k.head, k.hash, static_cast<std::uint32_t>(key.size()), type, i};
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
