#include "frontend/compiler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "zirkula.h"

namespace zir {
namespace {

// A caller of the exported procedure, owning its lists the way an outside program would.
struct CCaller {
    std::vector<std::string> text;
    std::vector<char*> pointers;
    ZirStringList lines{};
    ZirInstructionTable program{};
    ZirIntList codes{};
    ZirIntList lineNumbers{};
    ZirNameTable names{};
    ZirIntList counts{};

    explicit CCaller(std::vector<std::string> script) : text(std::move(script)) {
        for (std::string& line : text) pointers.push_back(line.data());
        lines = ZirStringList{pointers.data(), static_cast<int32_t>(pointers.size())};
        // The start-up code makes both error lists one entry long.
        codes = ZirIntList{static_cast<int32_t*>(std::calloc(1, sizeof(int32_t))), 1};
        lineNumbers = ZirIntList{static_cast<int32_t*>(std::calloc(1, sizeof(int32_t))), 1};
    }
    int32_t Parse() {
        return ZIRS_PARSESCRIPT(&lines, &program, &codes, &lineNumbers, &names, &counts);
    }
    int32_t Word(int block, int slot, int word) const {
        return program.words[(program.starts[block] + slot) * 8 + word];
    }
    ~CCaller() {
        std::free(program.words);
        std::free(program.starts);
        std::free(codes.items);
        std::free(lineNumbers.items);
        std::free(counts.items);
        for (ZirStringList& row : names.rows) {
            for (int32_t i = 0; i < row.count; ++i) std::free(row.items[i]);
            std::free(row.items);
        }
    }
};

// The exported procedure gives what the compiler gives: each block word for word, the names
// and their counts, and the errors; after a successful compile the error lists are left as
// they were. Compiling again replaces everything without leaking what the first compile made.
TEST(ExportedParseScript, GivesWhatTheCompilerGives) {
    std::vector<std::vector<std::string>> scripts = {
        {"POINT A 1 2", "TITLE \"Hallo\"", "END", "CONSTRUCTION S P", "K = CIRCLE P, A", "REPEAT"},
        {"POINT A", "REVERT", "END"},
        {"CONSTRUCT S FAST", "END", "CONSTRUCTION S"},
        {}};
    // A construction longer than the main program, main statements after it, and blocks of
    // megabytes that are mapped apart from the heap.
    for (int i = 0; i < 200; ++i) scripts[2].push_back("POINT P" + std::to_string(i) + " 1 2");
    scripts[2].push_back("REPEAT");
    scripts[2].insert(scripts[2].end(), 50, "CLS");
    scripts[2].insert(scripts[2].end(), {"ANIMATION T", "REPEAT"});
    for (int i = 0; i < 60000; ++i)
        scripts[3].push_back("POINT P" + std::to_string(i % 30000) + " 1 2");
    scripts[3].insert(scripts[3].end(), {"END", "CONSTRUCTION S"});
    for (int i = 0; i < 35000; ++i) scripts[3].push_back("MARKPOINT P" + std::to_string(i % 30000));
    scripts[3].push_back("REPEAT");
    for (const auto& script : scripts) {
        InstructionTable table;
        std::vector<CompileError> errors;
        NameTable names;
        const std::int32_t result = ParseScript(script, table, errors, names);
        CCaller c(script);
        for (int round = 0; round < 2; ++round) {
            ASSERT_EQ(c.Parse(), result) << script.size();
            ASSERT_EQ(c.program.blocks, static_cast<int>(table.blocks.size()));
            for (int b = 0; b < c.program.blocks; ++b) {
                const InstructionBlock& block = table.blocks[b];
                ASSERT_EQ(c.program.starts[b + 1] - c.program.starts[b], block[0][HeaderEnd] + 1);
                EXPECT_EQ(std::memcmp(&c.program.words[c.program.starts[b] * 8], block.data(),
                                      (block[0][HeaderEnd] + 1) * sizeof(Instruction)),
                          0)
                    << "block " << b;
            }
            ASSERT_EQ(c.counts.count, 9);
            for (int type = 0; type < 9; ++type) {
                ASSERT_EQ(c.counts.items[type], NameCount(names, type));
                ASSERT_EQ(c.names.rows[type].count, NameCount(names, type));
                for (int i = 0; i < NameCount(names, type); ++i) {
                    ASSERT_EQ(c.names.rows[type].items[i], names.rows[type][i]);
                }
            }
            std::vector<std::int32_t> got, want;
            for (int32_t i = 0; i < c.codes.count; ++i) got.push_back(c.codes.items[i]);
            for (int32_t i = 0; i < c.lineNumbers.count; ++i) got.push_back(c.lineNumbers.items[i]);
            for (const CompileError& e : errors) want.push_back(e.code);
            for (const CompileError& e : errors) want.push_back(e.line);
            EXPECT_EQ(got, (errors.empty() ? std::vector<std::int32_t>{0, 0} : want));
            if (&script == &scripts[2]) {
                EXPECT_EQ(c.Word(0, 53, 0), OpcodeNumber(Op::Animation))
                    << "the end slot keeps the record pass 1 left for the last header";
            }
        }
    }
}

}  // namespace
}  // namespace zir
