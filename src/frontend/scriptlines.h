// A script's lines as the compiler walks them: either a list of lines, or one text that is
// cut at its line ends while it is walked, so that a large script needs no list of its lines.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace zir {

// One line with its index (counting from 0).
struct ScriptLine {
    int index = 0;
    std::string_view text;
};

class ScriptLines {
  public:
    explicit ScriptLines(std::span<const std::string_view> lines) : list_(lines) {}
    // The lines of a text: cut at every "\n", each without its "\n" and without one "\r"
    // before it; a last line without "\n" counts, an empty text has no lines.
    static ScriptLines OfText(std::string_view text) {
        ScriptLines lines{{}};
        lines.text_ = text;
        lines.isText_ = true;
        return lines;
    }

    class Cursor;

  private:
    std::span<const std::string_view> list_;
    std::string_view text_;
    bool isText_ = false;
};

// Walks the lines in order; it keeps its own copy of what it walks.
class ScriptLines::Cursor {
  public:
    explicit Cursor(const ScriptLines& lines) : lines_(lines) {}
    // The next line, or false after the last.
    bool Next(ScriptLine& line) {
        if (!lines_.isText_) {
            if (next_ >= lines_.list_.size()) return false;
            line = ScriptLine{static_cast<int>(next_), lines_.list_[next_]};
            ++next_;
            return true;
        }
        const std::string_view all = lines_.text_;
        if (position_ >= all.size()) return false;
        std::size_t end = all.find('\n', position_);
        if (end == std::string_view::npos) end = all.size();
        std::size_t cut = end > position_ && all[end - 1] == '\r' ? end - 1 : end;
        line = ScriptLine{static_cast<int>(next_), all.substr(position_, cut - position_)};
        position_ = end + 1;
        ++next_;
        return true;
    }

  private:
    const ScriptLines lines_;
    std::size_t next_ = 0;      // the index of the next line
    std::size_t position_ = 0;  // in a text: where the next line starts
};

}  // namespace zir
