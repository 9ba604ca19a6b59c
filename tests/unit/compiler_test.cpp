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

TEST(ExportedParseScript, FillsTableNamesAndCountsAndLeavesErrorListsAlone) {
    CCaller c(
        {"POINT A 1 2", "TITLE \"Hallo\"", "END", "CONSTRUCTION S P", "K = CIRCLE P, A", "REPEAT"});
    ASSERT_EQ(c.Parse(), 0);
    EXPECT_EQ(c.codes.count, 1);
    EXPECT_EQ(c.lineNumbers.count, 1);
    ASSERT_EQ(c.counts.count, 9);
    EXPECT_EQ(c.counts.items[TypePoint], 2);
    EXPECT_EQ(c.counts.items[TypeCircle], 1);
    EXPECT_EQ(c.counts.items[TypeSubroutine], 1);
    EXPECT_EQ(c.counts.items[TypeText], 1);
    EXPECT_STREQ(c.names.rows[TypeText].items[0], "Hallo");
    EXPECT_STREQ(c.names.rows[TypeSubroutine].items[0], "S");
    ASSERT_EQ(c.program.blocks, 2);
    EXPECT_EQ(c.Word(0, 1, 0), 1);
    EXPECT_EQ(c.Word(0, 3, 0), 255);
    EXPECT_EQ(c.Word(1, 0, HeaderKind), 1);
    EXPECT_EQ(c.Word(1, 0, HeaderParameters), 1);
    EXPECT_EQ(c.Word(1, 2, 0), 24);
    // Compiling again replaces everything without leaking what the first compile made.
    ASSERT_EQ(c.Parse(), 0);
    EXPECT_EQ(c.counts.items[TypePoint], 2);
}

TEST(ExportedParseScript, ErrorListsHoldExactlyTheErrors) {
    CCaller c({"POINT A", "REVERT", "END"});
    ASSERT_EQ(c.Parse(), -1);
    ASSERT_EQ(c.codes.count, 2);
    ASSERT_EQ(c.lineNumbers.count, 2);
    EXPECT_EQ(c.codes.items[0], 12);
    EXPECT_EQ(c.lineNumbers.items[0], 1);
    EXPECT_EQ(c.lineNumbers.items[1], 2);
}

TEST(ExportedParseScript, Pass2ErrorsGiveMinusTwoWithExactlyTheirLists) {
    CCaller c({"POINT A 1 2", "REPEAT", "ENDMENU", "END"});
    ASSERT_EQ(c.Parse(), -2);
    ASSERT_EQ(c.codes.count, 2);
    ASSERT_EQ(c.lineNumbers.count, 2);
    EXPECT_EQ(c.codes.items[0], ErrorCode(31, 0));
    EXPECT_EQ(c.lineNumbers.items[0], 2);
    EXPECT_EQ(c.codes.items[1], ErrorCode(34));
    EXPECT_EQ(c.lineNumbers.items[1], 3);
}

TEST(ExportedParseScript, EachBlockKeepsItsOwnSize) {
    std::vector<std::string> script = {"END", "ANIMATION T", "REPEAT"};
    for (int i = 0; i < 50; ++i) script.push_back("CLS");
    CCaller c(script);
    ASSERT_EQ(c.Parse(), 0);
    ASSERT_EQ(c.program.blocks, 2);
    // The main block grew to its 50 later statements and its end slot; the animation did not.
    EXPECT_EQ(c.program.starts[1] - c.program.starts[0], 53);
    EXPECT_EQ(c.program.starts[2] - c.program.starts[1], 3);
    EXPECT_EQ(c.Word(0, 0, HeaderEnd), 52);
    EXPECT_EQ(c.Word(0, 51, 0), 65);
    EXPECT_EQ(c.Word(1, 1, 0), 49);
}

TEST(ExportedParseScript, TheMainBlockIsNotSizedByTheSubroutines) {
    // The main program only calls the long construction: its block holds its own three
    // slots and its end slot, however long the body it calls.
    std::vector<std::string> script = {"CONSTRUCT S FAST", "END", "CONSTRUCTION S"};
    for (int i = 0; i < 200; ++i) script.push_back("POINT P" + std::to_string(i) + " 1 2");
    script.push_back("REPEAT");
    CCaller c(script);
    ASSERT_EQ(c.Parse(), 0);
    ASSERT_EQ(c.program.blocks, 2);
    EXPECT_EQ(c.program.starts[1] - c.program.starts[0], 4);
    EXPECT_EQ(c.Word(0, 0, HeaderEnd), 3);
    EXPECT_EQ(c.Word(0, 1, 0), InstructionWord0(Op::CallFast, false, 1));
    // The end slot keeps the record pass 1 left for the header.
    EXPECT_EQ(c.Word(0, 3, 0), OpcodeNumber(Op::Construction));
    EXPECT_EQ(c.program.starts[2] - c.program.starts[1], 204);
    EXPECT_EQ(c.Word(1, 0, HeaderEnd), 203);
    EXPECT_EQ(c.Word(1, 201, 0), InstructionWord0(Op::Point, false, 199));
}

TEST(ExportedParseScript, BlocksOfManyMegabytesHoldEveryStatement) {
    // 60,000 statements make a main block of about 2 MB and a subroutine block of about
    // 1 MB, which are mapped apart from the heap.
    std::vector<std::string> script;
    for (int i = 0; i < 60000; ++i)
        script.push_back("POINT P" + std::to_string(i % 30000) + " 1 2");
    script.push_back("END");
    script.push_back("CONSTRUCTION S");
    for (int i = 0; i < 35000; ++i) script.push_back("MARKPOINT P" + std::to_string(i % 30000));
    script.push_back("REPEAT");
    CCaller c(script);
    ASSERT_EQ(c.Parse(), 0);
    ASSERT_EQ(c.program.blocks, 2);
    EXPECT_EQ(c.Word(0, 0, HeaderEnd), 60002);
    for (int slot : {1, 30001, 60000}) {
        EXPECT_EQ(c.Word(0, slot, 0), InstructionWord0(Op::Point, false, (slot - 1) % 30000))
            << slot;
        EXPECT_EQ(c.Word(0, slot, 1), 65536) << slot;
    }
    EXPECT_EQ(c.Word(0, 60001, 0), 255);
    EXPECT_EQ(c.Word(1, 0, HeaderEnd), 35003);
    EXPECT_EQ(c.Word(1, 35001, 0), InstructionWord0(Op::MarkPoint, false, 34999 % 30000));
    EXPECT_EQ(c.Word(1, 35002, 0), 49);
}

TEST(ExportedParseScript, NoLinesIsAScriptWithoutEnd) {
    CCaller c({});
    ASSERT_EQ(c.Parse(), -1);
    ASSERT_EQ(c.codes.count, 1);
    EXPECT_EQ(c.codes.items[0], 36);
    EXPECT_EQ(c.lineNumbers.items[0], 0);
}

}  // namespace
}  // namespace zir
