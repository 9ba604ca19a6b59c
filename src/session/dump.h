// The --dump file: the run result, the errors and the object store as UTF-8 JSON.
//
// {"result": R, "errors": [{"code", "number", "line", "message"}...],
//  "points": [{"index", "name", "defined", "x", "y", "colour", "size", "shape",
//              "visible"}...],
//  "lines": [{"index", "name", "defined", "x", "y", "dx", "dy", "colour", "style",
//             "width", "visible"}...],
//  "circles": [{"index", "name", "defined", "cx", "cy", "r", "start", "end", "colour",
//               "width", "visible"}...],
//  "screen": {"width", "height"} or null, "time_ms": T}
//
// Real numbers are written with full double precision, non-finite ones as null. Names and
// messages are converted from Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/symbols.h"
#include "interp/objects.h"

namespace zir {

struct DumpError {
    std::int32_t code = 0;
    std::int32_t line = 0;
    std::string message;
};

struct DumpPoint {
    std::string name;
    bool defined = true;
    double x = 0;
    double y = 0;
    std::uint32_t colour = 0;
    int size = 0;
    int shape = 0;
    bool visible = false;
};

struct DumpLine {
    std::string name;
    bool defined = true;
    double x = 0;
    double y = 0;
    double dx = 0;
    double dy = 0;
    std::uint32_t colour = 0;
    int style = 0;
    int width = 0;
    bool visible = false;
};

struct DumpCircle {
    std::string name;
    bool defined = true;
    double cx = 0;
    double cy = 0;
    double r = 0;
    double start = 0;
    double end = 0;
    std::uint32_t colour = 0;
    int width = 0;
    bool visible = false;
};

struct DumpContent {
    std::int32_t result = 0;
    std::vector<DumpError> errors;
    std::vector<DumpPoint> points;
    std::vector<DumpLine> lines;
    std::vector<DumpCircle> circles;
    bool screenOpen = false;
    int screenWidth = 0;
    int screenHeight = 0;
    double timeMs = 0;
};

// Adds one entry per name of each kind in index order (not the store's spare entries):
// its name, whether it is defined, its record and its visibility bit.
void AddObjects(const NameTable& names, const ObjectStore& store, DumpContent& dump);

std::string DumpJson(const DumpContent& dump);
// False when the file cannot be written.
bool WriteDump(const std::string& path, const DumpContent& dump);

}  // namespace zir
