// The command line's accepted forms. Refused command lines and their messages are checked
// from outside by tests/scripts/cli_test.py.
#include "driver/commandline.h"

#include <gtest/gtest.h>

#include <vector>

namespace zir {
namespace {

struct Parsed {
    bool ok = false;
    CommandLine line;
    std::string error;
};

Parsed Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "zirkula");
    Parsed p;
    p.ok = ParseCommandLine(static_cast<int>(args.size()), args.data(), p.line, p.error);
    return p;
}

TEST(CommandLine, OptionsTakeTheirValuesInEitherFormAndTheFirstArgumentIsTheScript) {
    Parsed p = Parse({"--headless", "--input", "in.txt", "--png=out.png", "demo.zir", "--frames",
                      "dir", "--dump", "d.json", "ignored.zir"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.line.headless);
    EXPECT_EQ(p.line.inputPath, "in.txt");
    EXPECT_EQ(p.line.pngPath, "out.png");
    EXPECT_EQ(p.line.framesDir, "dir");
    EXPECT_EQ(p.line.dumpPath, "d.json");
    EXPECT_EQ(p.line.scriptPath, "demo.zir");
    p = Parse({"--", "--headless"});
    ASSERT_TRUE(p.ok);
    EXPECT_FALSE(p.line.headless);
    EXPECT_EQ(p.line.scriptPath, "--headless");
    EXPECT_TRUE(Parse({"--check", "a.zir"}).line.check);
}

TEST(CommandLine, ValuesWrittenWithAnEqualsSignAreCheckedToo) {
    EXPECT_EQ(Parse({"-x"}).error, "unknown option '-x'");
    EXPECT_EQ(Parse({"--dump="}).error, "--dump needs a file or directory name");
    EXPECT_EQ(Parse({"--headless=yes"}).error, "--headless takes no value");
}

}  // namespace
}  // namespace zir
