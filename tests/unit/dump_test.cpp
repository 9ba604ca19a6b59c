#include "session/dump.h"

#include <gtest/gtest.h>

#include <limits>

namespace zir {
namespace {

TEST(Dump, AnEmptyRunListsNoObjectsAndNoScreen) {
    DumpContent dump;
    dump.result = -1;
    dump.errors.push_back({36, 0, "Kein END im Hauptprogramm."});
    EXPECT_EQ(DumpJson(dump),
              "{\n"
              "  \"result\": -1,\n"
              "  \"errors\": [\n"
              "    {\"code\": 36, \"number\": 36, \"line\": 0, \"message\": \"Kein END im "
              "Hauptprogramm.\"}\n"
              "  ],\n"
              "  \"points\": [],\n"
              "  \"lines\": [],\n"
              "  \"circles\": [],\n"
              "  \"screen\": null,\n"
              "  \"time_ms\": 0\n"
              "}\n");
}

TEST(Dump, ObjectsAreWrittenInIndexOrderWithFullPrecision) {
    DumpContent dump;
    dump.result = 255;
    dump.points.push_back({"A", true, 100, 0.1, 65793, 8, 0, true});
    dump.points.push_back(
        {"B", false, 1e308, std::numeric_limits<double>::quiet_NaN(), 0, 8, 0, false});
    dump.lines.push_back({"L", true, 0, 0, 1, 0, 65793, 65535, 1, true});
    dump.circles.push_back({"K", true, 0, 0, 5, 0, 0, 65793, 1, true});
    dump.screenOpen = true;
    dump.screenWidth = 640;
    dump.screenHeight = 480;
    dump.timeMs = 16000;
    std::string json = DumpJson(dump);
    EXPECT_NE(json.find("{\"index\": 0, \"name\": \"A\", \"defined\": true, \"x\": 100, \"y\": "
                        "0.10000000000000001, \"colour\": 65793, \"size\": 8, \"shape\": 0, "
                        "\"visible\": true},\n    {\"index\": 1, \"name\": \"B\", \"defined\": "
                        "false, \"x\": 1e+308, \"y\": null,"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"index\": 0, \"name\": \"L\", \"defined\": true, \"x\": 0, \"y\": 0, "
                        "\"dx\": 1, \"dy\": 0, \"colour\": 65793, \"style\": 65535, \"width\": 1, "
                        "\"visible\": true}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"cx\": 0, \"cy\": 0, \"r\": 5, \"start\": 0, \"end\": 0,"),
              std::string::npos);
    EXPECT_NE(json.find("\"screen\": {\"width\": 640, \"height\": 480},\n  \"time_ms\": 16000\n"),
              std::string::npos);
}

TEST(Dump, NamesAndMessagesBecomeEscapedUtf8) {
    DumpContent dump;
    dump.result = -2;
    dump.errors.push_back({0x0A | 1 << 8 | 2 << 12, 3,
                           "Typen stimmen nicht \xFC"
                           "berein"});
    dump.points.push_back({"P\"\\\x80\x01", true});
    std::string json = DumpJson(dump);
    EXPECT_NE(json.find("\"code\": 8458, \"number\": 10, \"line\": 3, \"message\": \"Typen "
                        "stimmen nicht \u00FC"
                        "berein\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"name\": \"P\\\"\\\\\u20AC\\u0001\""), std::string::npos) << json;
}

}  // namespace
}  // namespace zir
