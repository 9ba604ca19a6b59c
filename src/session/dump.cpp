#include "session/dump.h"

#include <cmath>
#include <cstdio>

#include "platform/files.h"
#include "platform/textcode.h"

namespace zir {
namespace {

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

// Text in Windows-1252, as a JSON string in UTF-8.
std::string JsonString(const std::string& value) {
    std::string text = "\"";
    for (char c : Utf8FromWindows1252(value)) {
        auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (u < 0x20 || u == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            text += escape;
        } else {
            text += c;
        }
    }
    return text + '"';
}

std::string JsonBool(bool value) {
    return value ? "true" : "false";
}

// One object on one line: {"key": value, ...}.
class ObjectLine {
  public:
    ObjectLine& Add(const char* key, const std::string& value) {
        text_ += text_.size() > 1 ? ", \"" : "\"";
        text_ += key;
        text_ += "\": ";
        text_ += value;
        return *this;
    }
    ObjectLine& Add(const char* key, long long value) { return Add(key, std::to_string(value)); }
    std::string Done() const { return text_ + "}"; }

  private:
    std::string text_ = "{";
};

// A list with one object per line, or [] when empty.
std::string JsonList(const std::vector<std::string>& objects) {
    if (objects.empty()) return "[]";
    std::string text = "[";
    for (std::size_t i = 0; i < objects.size(); ++i) {
        text += i ? ",\n    " : "\n    ";
        text += objects[i];
    }
    return text + "\n  ]";
}

}  // namespace

void AddObjects(const NameTable& names, const ObjectStore& store, DumpContent& dump) {
    const std::vector<std::string>& pointNames = names.rows[TypePoint];
    for (std::size_t i = 0; i < pointNames.size() && i < store.tables.points.size(); ++i) {
        const Point& p = store.tables.points[i];
        dump.points.push_back({pointNames[i], !IsUndefined(p), p.x, p.y, p.colour, p.size, p.shape,
                               IsVisible(store, static_cast<int>(i), VisiblePoint)});
    }
    const std::vector<std::string>& lineNames = names.rows[TypeLine];
    for (std::size_t i = 0; i < lineNames.size() && i < store.tables.lines.size(); ++i) {
        const Line& l = store.tables.lines[i];
        dump.lines.push_back({lineNames[i], !IsUndefined(l), l.x, l.y, l.dx, l.dy, l.colour,
                              l.style, l.width,
                              IsVisible(store, static_cast<int>(i), VisibleLine)});
    }
    const std::vector<std::string>& circleNames = names.rows[TypeCircle];
    for (std::size_t i = 0; i < circleNames.size() && i < store.tables.circles.size(); ++i) {
        const Circle& c = store.tables.circles[i];
        dump.circles.push_back({circleNames[i], !IsUndefined(c), c.cx, c.cy, c.r, c.start, c.end,
                                c.colour, c.width,
                                IsVisible(store, static_cast<int>(i), VisibleCircle)});
    }
}

std::string DumpJson(const DumpContent& dump) {
    std::vector<std::string> errors, points, lines, circles;
    for (const DumpError& e : dump.errors) {
        errors.push_back(ObjectLine()
                             .Add("code", e.code)
                             .Add("number", e.code & 255)
                             .Add("line", e.line)
                             .Add("message", JsonString(e.message))
                             .Done());
    }
    for (std::size_t i = 0; i < dump.points.size(); ++i) {
        const DumpPoint& p = dump.points[i];
        points.push_back(ObjectLine()
                             .Add("index", static_cast<long long>(i))
                             .Add("name", JsonString(p.name))
                             .Add("defined", JsonBool(p.defined))
                             .Add("x", JsonNumber(p.x))
                             .Add("y", JsonNumber(p.y))
                             .Add("colour", p.colour)
                             .Add("size", p.size)
                             .Add("shape", p.shape)
                             .Add("visible", JsonBool(p.visible))
                             .Done());
    }
    for (std::size_t i = 0; i < dump.lines.size(); ++i) {
        const DumpLine& l = dump.lines[i];
        lines.push_back(ObjectLine()
                            .Add("index", static_cast<long long>(i))
                            .Add("name", JsonString(l.name))
                            .Add("defined", JsonBool(l.defined))
                            .Add("x", JsonNumber(l.x))
                            .Add("y", JsonNumber(l.y))
                            .Add("dx", JsonNumber(l.dx))
                            .Add("dy", JsonNumber(l.dy))
                            .Add("colour", l.colour)
                            .Add("style", l.style)
                            .Add("width", l.width)
                            .Add("visible", JsonBool(l.visible))
                            .Done());
    }
    for (std::size_t i = 0; i < dump.circles.size(); ++i) {
        const DumpCircle& c = dump.circles[i];
        circles.push_back(ObjectLine()
                              .Add("index", static_cast<long long>(i))
                              .Add("name", JsonString(c.name))
                              .Add("defined", JsonBool(c.defined))
                              .Add("cx", JsonNumber(c.cx))
                              .Add("cy", JsonNumber(c.cy))
                              .Add("r", JsonNumber(c.r))
                              .Add("start", JsonNumber(c.start))
                              .Add("end", JsonNumber(c.end))
                              .Add("colour", c.colour)
                              .Add("width", c.width)
                              .Add("visible", JsonBool(c.visible))
                              .Done());
    }
    std::string screen =
        dump.screenOpen
            ? ObjectLine().Add("width", dump.screenWidth).Add("height", dump.screenHeight).Done()
            : "null";
    return "{\n  \"result\": " + std::to_string(dump.result) +
           ",\n  \"errors\": " + JsonList(errors) + ",\n  \"points\": " + JsonList(points) +
           ",\n  \"lines\": " + JsonList(lines) + ",\n  \"circles\": " + JsonList(circles) +
           ",\n  \"screen\": " + screen + ",\n  \"time_ms\": " + JsonNumber(dump.timeMs) + "\n}\n";
}

bool WriteDump(const std::string& path, const DumpContent& dump) {
    return WriteWholeFile(path, DumpJson(dump));
}

}  // namespace zir
