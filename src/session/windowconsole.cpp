#include "session/windowconsole.h"

#include <algorithm>
#include <deque>

#include "draw/fonts.h"
#include "platform/platform.h"
#include "runtime/pacing.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

constexpr int FontHeight = 16;
constexpr int MarginPx = 4;
constexpr int RowPx = FontHeight + 2;
constexpr int AnswerWaitMs = 50;

// The rows shown in the window, oldest first.
std::deque<std::string> gRows;

// Splits a line at blanks into rows that fit the width; a word wider than the row is cut.
std::deque<std::string> RowsOf(std::string_view text, FontView font, int width) {
    std::deque<std::string> rows;
    std::string row;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos) end = text.size();
        std::string word(text.substr(start, end - start));
        std::string candidate = row.empty() ? word : row + " " + word;
        if (!row.empty() && StringWidth(candidate, font) > width) {
            rows.push_back(row);
            candidate = word;
        }
        while (candidate.size() > 1 && StringWidth(candidate, font) > width) {
            std::size_t fit = candidate.size() - 1;
            while (fit > 1 && StringWidth(candidate.substr(0, fit), font) > width) --fit;
            rows.push_back(candidate.substr(0, fit));
            candidate.erase(0, fit);
        }
        row = candidate;
        start = end + 1;
    }
    rows.push_back(row);
    return rows;
}

// Draws the band of rows over the top of the screen, above the control bar; when the rows
// no longer fit, the oldest go.
void ShowRows(std::string_view text) {
    const ScreenInfo screen = ScreenQuery();
    const Font& font = BuiltinFont(FontFamily::Sans, FontHeight);
    for (std::string& row : RowsOf(text, font, std::max(1, screen.width - 2 * MarginPx))) {
        gRows.push_back(std::move(row));
    }
    const int room = std::max(1, (screen.height - ControlBarHeight - 2 * MarginPx) / RowPx);
    while (static_cast<int>(gRows.size()) > room) gRows.pop_front();
    const RunState& s = Settings();
    const int bandHeight = static_cast<int>(gRows.size()) * RowPx + 2 * MarginPx;
    RasterLine(nullptr, 0, 0, screen.width - 1, bandHeight - 1, s.barColour, LineKind::FilledBox);
    RasterLine(nullptr, 0, bandHeight - 1, screen.width - 1, bandHeight - 1,
               s.barColour.Darker(BarEdgeShade), LineKind::Segment);
    int y = MarginPx;
    for (const std::string& row : gRows) {
        PrintText(nullptr, row, font, MarginPx, y, s.barTextColour, TargetMaskColour(nullptr));
        y += RowPx;
    }
}

}  // namespace

void PrintLine(std::string_view text) {
    ConsoleWrite(text);
    if (ScreenImage() && !CloseRequested()) ShowRows(text);
}

std::optional<std::string> ReadAnswer() {
    if (!ScreenImage()) return ConsoleReadLine();
    // Keys pressed before the prompt appeared do not answer it.
    while (!PollKey().empty()) {
    }
    for (;;) {
        if (CloseRequested()) return std::nullopt;
        if (std::optional<std::string> line = ConsoleLineTyped()) return line;
        for (std::string key = PollKey(); !key.empty(); key = PollKey()) {
            if (key == keys::Enter) return std::string();
        }
        WaitForInput(AnswerWaitMs);
    }
}

void ClearWindowConsole() {
    gRows.clear();
}

}  // namespace zir
