#include "session/handout.h"

#include <algorithm>
#include <map>

#include "draw/svg.h"
#include "platform/files.h"
#include "platform/pdf.h"
#include "platform/platform.h"
#include "platform/textcode.h"
#include "runtime/runstate.h"

namespace zir {
namespace {

// The page of the handout, in points: A4 portrait with two columns of three steps.
constexpr double Margin = 40;
constexpr double TitleSize = 15;
constexpr double TitleDrop = 30;  // from the top margin to the first row
constexpr double FooterSize = 8;
constexpr double ColumnGap = 20;
constexpr double RowGap = 14;
constexpr int Columns = 2;
constexpr int Rows = 3;
constexpr double CaptionSize = 9;
constexpr double LineSize = 7.5;
constexpr double LineStep = 10;
// The lines shown under a picture: more are cut in the middle, where a "…" stands for them.
constexpr std::size_t MostLines = 4;
// A handout stops keeping pictures after this many steps (more than 80 pages).
constexpr std::size_t MostSteps = 480;

// A line of the script as it is printed: UTF-8, without its indentation, tabs as blanks.
std::string Printed(std::string_view line) {
    std::string text = Utf8FromWindows1252(line);
    std::replace(text.begin(), text.end(), '\t', ' ');
    const std::size_t first = text.find_first_not_of(' ');
    text.erase(0, first == std::string::npos ? text.size() : first);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.pop_back();
    return text;
}

// The screen's list and where the drawing area lies on it; false without either.
bool DrawingArea(VectorList& list, SvgArea& area) {
    const std::uint8_t* screen = ScreenImage();
    if (!screen || !VectorRecordingOn()) return false;
    const RunState& s = Settings();
    area = {s.areaOriginX, s.areaOriginY,
            std::min<int>(s.areaWidth, ImageWidth(screen) - s.areaOriginX),
            std::min<int>(s.areaHeight, ImageHeight(screen) - s.areaOriginY)};
    list = VectorsOf(screen);
    return area.width > 0 && area.height > 0;
}

}  // namespace

std::string DrawingAsSvg() {
    VectorList list;
    SvgArea area;
    return DrawingArea(list, area) ? SvgOf(list, area, false) : std::string{};
}

bool WriteDrawingSvg(const std::string& path, std::string& message, std::string_view script) {
    VectorList list;
    SvgArea area;
    if (!DrawingArea(list, area)) {
        message = "no picture written, the script opened no screen";
        return false;
    }
    FileWriter file;
    bool written = file.Open(path);
    if (written) {
        WriteSvg(
            list, area, false, [&file](std::string_view piece) { return file.Write(piece); },
            script);
    }
    written = file.Close() && written;
    if (!written) message = "cannot be written";
    return written;
}

bool WriteDrawingPdf(const std::string& path, const std::string& svg, std::string& message) {
    PdfPage page;
    page.pictures.push_back(
        {svg, Margin, Margin, A4LongPt - 2 * Margin, A4ShortPt - 2 * Margin, false});
    return WritePdf(path, A4LongPt, A4ShortPt, {page}, message);
}

void Handout::TakeStep(const RunStep& step) {
    if (ended_) return;
    if (steps_.size() < MostSteps) steps_.push_back({DrawingAsSvg(), step.description, step.lines});
    if (step.kind == StepKind::LoopStart) {
        // The interaction or animation has drawn its first picture: the handout ends with it.
        ended_ = true;
        RequestClose();
    }
}

void Handout::Finish(const RunStep& pending) {
    if (ended_) return;
    ended_ = true;
    std::string last = DrawingAsSvg();
    if (last.empty() || (!steps_.empty() && steps_.back().svg == last)) return;
    if (steps_.size() < MostSteps) {
        steps_.push_back({std::move(last), pending.description, pending.lines});
    }
}

bool Handout::Write(const std::string& path, const std::string& title, const ScriptLines& script,
                    std::string& message) const {
    // The texts of the lines the steps name.
    std::map<int, std::string> texts;
    for (const Picture& p : steps_) {
        for (int line : p.lines) texts[line];
    }
    ScriptLine line;
    for (ScriptLines::Cursor cursor(script); cursor.Next(line);) {
        if (auto found = texts.find(line.index); found != texts.end()) {
            found->second = Printed(line.text);
        }
    }

    const double cellWidth = (A4ShortPt - 2 * Margin - (Columns - 1) * ColumnGap) / Columns;
    const double top = Margin + TitleDrop;
    const double cellHeight = (A4LongPt - top - Margin - FooterSize - (Rows - 1) * RowGap) / Rows;
    const double textHeight = CaptionSize + 4 + MostLines * LineStep;
    const double pictureHeight = cellHeight - textHeight;
    const std::size_t perPage = Columns * Rows;
    const std::size_t pageCount = std::max<std::size_t>(1, (steps_.size() + perPage - 1) / perPage);
    std::vector<PdfPage> pages(pageCount);
    for (std::size_t k = 0; k < pageCount; ++k) {
        PdfPage& page = pages[k];
        page.texts.push_back(
            {title, Margin, Margin + TitleSize, TitleSize, true, false, A4ShortPt - 2 * Margin});
        page.texts.push_back(
            {"Seite " + std::to_string(k + 1) + " von " + std::to_string(pageCount), Margin,
             A4LongPt - Margin + FooterSize, FooterSize, false, false, 0});
    }
    for (std::size_t i = 0; i < steps_.size(); ++i) {
        const Picture& step = steps_[i];
        PdfPage& page = pages[i / perPage];
        const std::size_t cell = i % perPage;
        const double x = Margin + static_cast<double>(cell % Columns) * (cellWidth + ColumnGap);
        const double y = top + static_cast<double>(cell / Columns) * (cellHeight + RowGap);
        page.pictures.push_back({step.svg, x, y, cellWidth, pictureHeight, true});
        double baseline = y + pictureHeight + 4 + CaptionSize;
        page.texts.push_back(
            {"Schritt " + std::to_string(i + 1) + ": " + Utf8FromWindows1252(step.description), x,
             baseline, CaptionSize, true, false, cellWidth});
        std::vector<std::string> shown;
        for (int l : step.lines) {
            if (!texts[l].empty()) shown.push_back(texts[l]);
        }
        if (shown.size() > MostLines) {
            // The first line and the last ones, which made the picture.
            shown.erase(shown.begin() + 1,
                        shown.end() - static_cast<std::ptrdiff_t>(MostLines - 2));
            shown.insert(shown.begin() + 1, "\xE2\x80\xA6");
        }
        for (const std::string& text : shown) {
            baseline += LineStep;
            page.texts.push_back({text, x, baseline, LineSize, false, true, cellWidth});
        }
    }
    return WritePdf(path, A4ShortPt, A4LongPt, pages, message);
}

}  // namespace zir
