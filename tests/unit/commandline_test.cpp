// The command line's accepted forms; most refused ones and their messages are checked from
// outside by tests/scripts/cli_test.py.
#include "driver/commandline.h"

#include <gtest/gtest.h>

#include <vector>

namespace zir {
namespace {

// Options take their values in either form, the first argument is the script, and "--" ends
// the options; an option's value written with "=" is checked like any other.
TEST(CommandLine, OptionsValuesAndTheScript) {
    std::vector<const char*> args = {"zirkula",       "--headless", "--input",    "in.txt",
                                     "--png=out.png", "demo.zir",   "--frames",   "dir",
                                     "--dump",        "d.json",     "ignored.zir"};
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(static_cast<int>(args.size()), args.data(), line, error)) << error;
    EXPECT_TRUE(line.headless);
    EXPECT_EQ(line.inputPath + " " + line.pngPath + " " + line.framesDir + " " + line.dumpPath +
                  " " + line.scriptPath,
              "in.txt out.png dir d.json demo.zir");
    for (auto [arg, refused] : {std::pair{"--dump=", "--dump needs a file or directory name"},
                                {"--headless=yes", "--headless takes no value"}}) {
        const char* argv[] = {"zirkula", arg};
        EXPECT_FALSE(ParseCommandLine(2, argv, line, error));
        EXPECT_EQ(error, refused);
    }
    const char* separated[] = {"zirkula", "--", "--headless"};
    CommandLine plain;
    ASSERT_TRUE(ParseCommandLine(3, separated, plain, error));
    EXPECT_FALSE(plain.headless);
    EXPECT_EQ(plain.scriptPath, "--headless");
}

}  // namespace
}  // namespace zir
