// The gallery's checklist names every opcode, read from the opcode table itself, so that a
// new statement form cannot be added without a gallery script that shows it. (That each
// script it names really compiles to that opcode is checked by the gallery test.)
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "frontend/instructions.h"

namespace zir {
namespace {

TEST(GalleryChecklist, NamesEveryOpcode) {
    std::ifstream file(std::string(ZIR_RESOURCE_DIR) + "/../examples/gallery/README.md");
    ASSERT_TRUE(file.good());
    std::stringstream text;
    text << file.rdbuf();
    for (const OpcodeInfo& info : Opcodes) {
        if (info.op == Op::None) continue;
        const std::string row = "\n| " + std::to_string(static_cast<int>(info.op)) + " |";
        EXPECT_NE(text.str().find(row), std::string::npos) << info.name;
    }
}

}  // namespace
}  // namespace zir
