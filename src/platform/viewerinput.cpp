#include "platform/viewerinput.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "platform/files.h"
#include "platform/platform.h"
#include "platform/textcode.h"

namespace zir {
namespace {

constexpr std::int64_t ClickReleaseMs = 30;
constexpr std::int64_t LatestEventMs = 1'000'000'000'000;  // far beyond any run
constexpr int CoordinateLimit = 65535;

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char p, char q) {
               return std::tolower(static_cast<unsigned char>(p)) ==
                      std::tolower(static_cast<unsigned char>(q));
           });
}

std::vector<std::string_view> SplitTokens(std::string_view line) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > start) tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

bool ReadInteger(std::string_view token, std::int64_t low, std::int64_t high, std::int64_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (!token.empty() && (token[0] == '-' || token[0] == '+')) {
        negative = token[0] == '-';
        i = 1;
    }
    if (i >= token.size() || token.size() - i > 15) return false;
    std::int64_t v = 0;
    for (; i < token.size(); ++i) {
        if (token[i] < '0' || token[i] > '9') return false;
        v = v * 10 + (token[i] - '0');
    }
    value = negative ? -v : v;
    return value >= low && value <= high;
}

struct LineParser {
    std::string_view fileName;
    int lineNumber = 0;
    std::string& error;

    bool Fail(const std::string& what) {
        std::ostringstream out;
        out << fileName << ':' << lineNumber << ": " << what;
        error = out.str();
        return false;
    }
};

}  // namespace

std::string KeyTextFromName(std::string_view name) {
    struct Named {
        std::string_view name;
        std::string_view text;
    };
    static constexpr Named Names[] = {
        {"Enter", keys::Enter},
        {"Esc", keys::Esc},
        {"Escape", keys::Esc},
        {"Space", " "},
        {"Backspace", keys::Backspace},
        {"Tab", keys::Tab},
        {"Up", keys::Up},
        {"Down", keys::Down},
        {"Left", keys::Left},
        {"Right", keys::Right},
        {"PageUp", keys::PageUp},
        {"PageDown", keys::PageDown},
        {"Home", keys::Home},
        {"End", keys::End},
    };
    for (const Named& n : Names) {
        if (EqualNoCase(name, n.name)) return std::string(n.text);
    }
    // One printable character, written in UTF-8 or as a single byte.
    std::string byte = IsValidUtf8(name) ? Windows1252FromUtf8(name) : std::string(name);
    if (byte.size() != 1) return {};
    auto b = static_cast<unsigned char>(byte[0]);
    bool printable = (b > 0x20 && b < 0x7F) || b >= 0xA0 ||
                     (b >= 0x80 && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D);
    if (!printable || (b == '?' && name != "?")) return {};
    return byte;
}

bool ParseViewerInput(std::string_view text, const std::string& fileName,
                      std::vector<ViewerEvent>& events, std::string& error) {
    events.clear();
    LineParser parser{fileName, 0, error};
    std::int64_t previousMs = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++parser.lineNumber;

        std::vector<std::string_view> tokens = SplitTokens(line);
        // A '#' token starts a comment, except where it is the name of a key.
        for (std::size_t k = 0; k < tokens.size(); ++k) {
            bool keyName = k == 2 && EqualNoCase(tokens[1], "key");
            if (tokens[k][0] == '#' && !keyName) {
                tokens.resize(k);
                break;
            }
        }
        if (tokens.empty()) continue;

        ViewerEvent event;
        if (!ReadInteger(tokens[0], 0, LatestEventMs, event.timeMs)) {
            return parser.Fail("'" + std::string(tokens[0]) +
                               "' is not a time in milliseconds (0 or more)");
        }
        if (event.timeMs < previousMs) {
            return parser.Fail("time " + std::to_string(event.timeMs) +
                               " is earlier than the line before (" + std::to_string(previousMs) +
                               ")");
        }
        previousMs = event.timeMs;
        if (tokens.size() < 2) return parser.Fail("an event is missing after the time");

        std::string_view verb = tokens[1];
        std::size_t operands = 0;
        bool click = false;
        if (EqualNoCase(verb, "key")) {
            event.action = ViewerAction::Key;
            operands = 1;
        } else if (EqualNoCase(verb, "press") || EqualNoCase(verb, "click")) {
            event.action = ViewerAction::Press;
            click = EqualNoCase(verb, "click");
            operands = 2;
        } else if (EqualNoCase(verb, "move")) {
            event.action = ViewerAction::Move;
            operands = 2;
        } else if (EqualNoCase(verb, "release")) {
            event.action = ViewerAction::Release;
            operands = 2;
        } else if (EqualNoCase(verb, "close")) {
            event.action = ViewerAction::Close;
        } else {
            return parser.Fail("unknown event '" + std::string(verb) +
                               "' (expected key, press, move, release, click or close)");
        }
        if (tokens.size() < 2 + operands) {
            return parser.Fail(std::string(verb) +
                               (operands == 1 ? " needs a key name" : " needs x and y"));
        }
        if (tokens.size() > 2 + operands) {
            return parser.Fail("unexpected '" + std::string(tokens[2 + operands]) + "' after " +
                               std::string(verb));
        }
        if (event.action == ViewerAction::Key) {
            event.key = KeyTextFromName(tokens[2]);
            if (event.key.empty()) {
                return parser.Fail("unknown key '" + std::string(tokens[2]) +
                                   "' (a printable character, or Enter, Esc, Up, Down, Left, "
                                   "Right, PageUp, PageDown, Home, End, Space, Backspace, Tab)");
            }
        } else if (operands == 2) {
            std::int64_t x = 0, y = 0;
            if (!ReadInteger(tokens[2], -CoordinateLimit, CoordinateLimit, x) ||
                !ReadInteger(tokens[3], -CoordinateLimit, CoordinateLimit, y)) {
                return parser.Fail("x and y must be whole numbers from -65535 to 65535");
            }
            event.x = static_cast<int>(x);
            event.y = static_cast<int>(y);
        }
        events.push_back(event);
        if (click) {
            event.action = ViewerAction::Release;
            event.timeMs += ClickReleaseMs;
            events.push_back(event);
        }
    }
    // Only the releases of clicks can be out of order; a stable sort keeps the file's order
    // among events of the same time.
    std::stable_sort(events.begin(), events.end(), [](const ViewerEvent& a, const ViewerEvent& b) {
        return a.timeMs < b.timeMs;
    });
    return true;
}

bool ReadViewerInput(const std::string& path, std::vector<ViewerEvent>& events,
                     std::string& error) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        error = path + ": cannot read the input file";
        return false;
    }
    return ParseViewerInput(text, path, events, error);
}

}  // namespace zir
