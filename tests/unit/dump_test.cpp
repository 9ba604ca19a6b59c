// The dump's JSON where the script cases cannot reach it: numbers that JSON cannot hold,
// full precision, and names that need escaping or converting to UTF-8.
#include "session/dump.h"

#include <gtest/gtest.h>

#include <limits>

namespace zir {
namespace {

TEST(Dump, NumbersAndNamesAreWrittenSoThatJsonReadsThemBack) {
    DumpContent dump;
    dump.result = -2;
    dump.points.push_back({"P\"\\\x80\x01", true, 100, 0.1, 65793, 8, 0, true});
    dump.points.push_back(
        {"B", false, 1e308, std::numeric_limits<double>::quiet_NaN(), 0, 8, 0, false});
    const std::string json = DumpJson(dump);
    for (const char* part :
         {"{\"index\": 0, \"name\": \"P\\\"\\\\\u20AC\\u0001\", \"defined\": true, \"x\": 100, "
          "\"y\": 0.10000000000000001, \"colour\": 65793, \"size\": 8, \"shape\": 0, "
          "\"visible\": true},\n    {\"index\": 1, \"name\": \"B\", \"defined\": false, \"x\": "
          "1e+308, \"y\": null,",
          "\"lines\": [],\n  \"circles\": [],\n  \"screen\": null,\n  \"time_ms\": 0\n}\n"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << "\nin\n" << json;
    }
}

}  // namespace
}  // namespace zir
