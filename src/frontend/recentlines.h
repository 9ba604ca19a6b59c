// The results of the latest lines compiled, found again by their text. Generated scripts
// repeat many lines word for word (a mark of the same point, a side through the same two
// vertices), and a statement whose result depends only on its text and a small key need not
// be compiled again. A fixed number of places, each keeping the latest line whose text falls
// there, so that the memory does not grow with the script.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace zir {

template <typename Result>
class RecentLines {
  public:
    struct Entry {
        std::string_view text;  // a view of the script, which outlives the compile
        std::uint32_t key = 0;
        bool used = false;
        Result result{};

        bool Holds(std::string_view line, std::uint32_t lineKey) const {
            return used && key == lineKey && text == line;
        }
        void Keep(std::string_view line, std::uint32_t lineKey, const Result& lineResult) {
            text = line;
            key = lineKey;
            used = true;
            result = lineResult;
        }
    };

    RecentLines() : entries_(Places) {}

    // The place of a line's text: the entry that holds it, if any line's does.
    Entry& PlaceOf(std::string_view line) { return entries_[Hash(line) & (Places - 1)]; }

  private:
    static constexpr std::size_t Places = 256;  // a power of two

    static std::uint64_t Hash(std::string_view s) {
        std::uint64_t h = s.size() * 0x9E3779B97F4A7C15ull;
        std::size_t i = 0;
        for (; i + 8 <= s.size(); i += 8) {
            std::uint64_t word;
            std::memcpy(&word, s.data() + i, 8);
            h = (h ^ word) * 0xff51afd7ed558ccdull;
            h ^= h >> 29;
        }
        std::uint64_t tail = 0;
        for (; i < s.size(); ++i) tail = (tail << 8) | static_cast<unsigned char>(s[i]);
        h = (h ^ tail) * 0xc4ceb9fe1a85ec53ull;
        return h ^ (h >> 32);
    }

    std::vector<Entry> entries_;
};

}  // namespace zir
