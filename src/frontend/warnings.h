// Warnings for the silent traps of a script: text that the language accepts without a
// message but that does not do what it seems to say: a name that never gets a value, a line
// hidden as a comment by the tab it starts with, words read as 0 or passed over, a number
// that starts a comment, a CONSTRUCTION parameter without a type, and a few more. Warnings
// never change what the compiler makes of the script; the command line prints them and the
// browser edition shows them in its editor, both from here.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/pass2.h"
#include "frontend/scriptlines.h"
#include "frontend/symbols.h"

namespace zir {

struct Warning {
    int line = 0;      // counted from 1
    std::string text;  // German, Windows-1252 like the messages
};

// The warnings of a script, in line order: compiles it and looks at what the compiler read.
std::vector<Warning> FindWarnings(const ScriptLines& lines);
std::vector<Warning> FindWarnings(std::span<const std::string_view> lines);

// The same while the caller compiles the script itself, so that a run compiles it once:
// give the finder to ParseScript, then ask it for the warnings of the compile's result.
class WarningFinder : public StatementObserver {
  public:
    void Compiled(const CompiledStatement& compiled) override;
    // Every warning, in line order. lines and names as ParseScript had and left them,
    // result what it returned.
    std::vector<Warning> Finish(const ScriptLines& lines, const NameTable& names,
                                std::int32_t result);

  private:
    void NoteNames(const Statement& s, Op op, int line);

    std::vector<Warning> found_;          // of the compiled statements, in line order
    std::vector<std::uint8_t> compiled_;  // by line index: a statement pass 2 compiled
    // By type (point, line, circle) and index: whether any statement gives the object a
    // value, and the line (from 1) where it is first used otherwise, 0 for none.
    std::vector<std::uint8_t> given_[4];
    std::vector<int> firstUse_[4];
};

}  // namespace zir
