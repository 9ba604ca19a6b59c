// The name table's lookup and checks. Reading whole statements (tokens, comments, keywords
// and their positions) is seen through their errors in pass2_test.cpp.
#include "frontend/symbols.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/errorcode.h"

namespace zir {
namespace {

// The symbol as "type:index".
std::string Found(std::string_view token, const NameTable& names) {
    const Symbol s = SymbolLookup(token, names);
    return std::to_string(s.type) + ":" + std::to_string(s.index);
}

std::string At(int type, int index) {
    return std::to_string(type) + ":" + std::to_string(index);
}

// Declares the name with that type, the way a statement does.
std::int32_t Use(const std::string& name, NameTable& names, int type = TypePoint) {
    return CheckArgument(name, SymbolLookup(name, names), type, names);
}

// Names up to eight bytes are compared by their packed bytes and longer ones by their text:
// names that share their first eight bytes, or differ only in letter case, in length or in a
// byte beyond ASCII, must stay apart, also after the index has grown many times; each row
// counts from 0.
TEST(SymbolLookup, NamesThatShareTheirStartStayApart) {
    NameTable names;
    std::vector<std::string> declared = {"ABCDEFGH", "ABCDEFGHI", "ABCDEFGHJ", "Gr\xFC\xDF",
                                         "Gr\xFC",   "Z",         "z"};
    for (int i = 0; i < 2000; ++i) declared.push_back("Langer_Name_" + std::to_string(i));
    for (const std::string& name : declared) ASSERT_EQ(Use(name, names), 0) << name;
    for (std::size_t i = 0; i < declared.size(); ++i)
        EXPECT_EQ(Found(declared[i], names), At(TypePoint, static_cast<int>(i)));
    for (const char* unknown : {"ABCDEFG", "ABCDEFGHIJ", "Gr\xFC\xDF\xFC", "Langer_Name_2000"})
        EXPECT_EQ(Found(unknown, names), At(TypeNone, 0)) << unknown;
}

// A mismatch names the type found and the type expected; a text never stands for an object
// (its index would be taken as the object's); texts are shared by content, and one may look
// like a name without becoming one.
TEST(ArgumentCheck, MismatchesAndTexts) {
    NameTable names;
    int index = -1;
    EXPECT_EQ(Use("A", names), 0);
    EXPECT_EQ(CheckArgument("A", SymbolLookup("A", names), TypePoint, names, &index), 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(Use("A", names, TypeLine), 10 + 1 * 256 + 2 * 4096);
    EXPECT_EQ(Use("5", names), ErrorCode(10, 5, 1));
    EXPECT_EQ(Use("\"A\"", names, TypeCircle), ErrorCode(10, 8, 3));
    auto text = [&](const char* token) {
        return CheckText(token, SymbolLookup(token, names), names);
    };
    for (const char* token : {"\"Hallo\"", "\"Hallo\"", "\"hallo\""}) EXPECT_EQ(text(token), 0);
    EXPECT_EQ(Found("\"\"Hallo\"", names), At(TypeText, 0));
    EXPECT_EQ(names.rows[TypeText], (std::vector<std::string>{"Hallo", "hallo"}));
    EXPECT_EQ(Found("Hallo", names), At(TypeNone, 0));
    EXPECT_EQ(text("P"), ErrorCode(10, 8, 0));
    EXPECT_EQ(text("7"), ErrorCode(10, 8, 5));
    EXPECT_EQ(NameCount(names, TypePoint), 1);
}

}  // namespace
}  // namespace zir
