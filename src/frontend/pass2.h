// Pass 2 of the compiler: walks the lines again over the blocks and slots that pass 1 laid
// out, settles each statement's final opcode from the types of its names, writes the eight
// words of every instruction, and links the program: subroutine headers and their parameter
// lists, calls with their arguments, where statements may stand, and menus with their
// entries.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/errorcode.h"
#include "frontend/instructions.h"
#include "frontend/scriptlines.h"
#include "frontend/symbols.h"

namespace zir {

struct Statement;

// What pass 2 tells an observer of each statement it compiles without an error.
struct CompiledStatement {
    int lineIndex = 0;
    const Statement* statement = nullptr;  // its tokens, with the types the names ended with
    Op op = Op::None;                      // the final opcode, or the header's own
    int blockKind = KindMain;              // of the block the statement stands in
    int calleeKind = -1;                   // a call: the kind of the block it calls
    int block = 0;                         // where its instruction stands
    int slot = 0;
};

// Told of every statement of the main scan of pass 2, in line order; it only looks, so
// the compiled program is the same with or without one.
class StatementObserver {
  public:
    virtual ~StatementObserver() = default;
    virtual void Compiled(const CompiledStatement& compiled) = 0;
};

// Compiles the lines into the table that pass 1 made from them, with the names pass 1
// declared. constructionLines are the lines whose first token is
// CONSTRUCTION (pass 1 finds them): their parameter lists are entered before anything else
// is compiled, so that calls written before the construction they call can be checked.
// Appends each error, in line order, to errors and returns how many there were.
int RunPass2(const ScriptLines& lines, InstructionTable& table, std::vector<CompileError>& errors,
             const NameTable& names, std::span<const ScriptLine> constructionLines,
             StatementObserver* observer = nullptr);
// The same over a list of lines, with the construction lines given by their indexes.
int RunPass2(std::span<const std::string_view> lines, InstructionTable& table,
             std::vector<CompileError>& errors, const NameTable& names,
             std::span<const int> constructionLines);

}  // namespace zir
