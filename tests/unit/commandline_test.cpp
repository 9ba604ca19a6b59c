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

    p = Parse({});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.line.scriptPath, "");
    EXPECT_TRUE(Parse({"--help"}).line.help);
    EXPECT_TRUE(Parse({"--version"}).line.version);
    EXPECT_TRUE(Parse({"--check", "a.zir"}).line.check);
}

TEST(CommandLine, AWrongCommandLineIsRefusedWithItsReason) {
    EXPECT_EQ(Parse({"--fast", "a.zir"}).error, "unknown option '--fast'");
    EXPECT_EQ(Parse({"-x"}).error, "unknown option '-x'");
    EXPECT_EQ(Parse({"--headless", "--png"}).error, "--png needs a file or directory name");
    EXPECT_EQ(Parse({"--dump="}).error, "--dump needs a file or directory name");
    EXPECT_EQ(Parse({"--headless=yes"}).error, "--headless takes no value");
    EXPECT_EQ(Parse({"--input", "in.txt", "a.zir"}).error, "--input works only with --headless");
    EXPECT_EQ(Parse({"--gif", "a.gif", "a.zir"}).error, "--gif works only with --headless");
    EXPECT_EQ(Parse({"--listing", "a.zir"}).error, "--listing works only with --check");
    EXPECT_EQ(Parse({"--check"}).error, "--check needs a script");
}

}  // namespace
}  // namespace zir
