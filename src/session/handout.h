// Vector pictures of a run: the finished drawing as SVG or as a PDF page, and the handout, a
// picture of the drawing after every paced step with the script lines that made it, six to
// an A4 page, for students to follow with their own ruler and compass.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/pass2.h"
#include "frontend/scriptlines.h"
#include "runtime/pacing.h"

namespace zir {

// The drawing area of the screen as it stands, as an SVG document, without the instruments;
// empty when no screen is open or no display list is kept.
std::string DrawingAsSvg();
// The same written to a file a piece at a time, carrying the script (UTF-8) when one is given;
// false, with the reason, when it cannot be.
bool WriteDrawingSvg(const std::string& path, std::string& message, std::string_view script = {});

// Writes the SVG document as one PDF page, A4 landscape, the drawing scaled to fit with its
// aspect kept. False, with the reason in message, when it cannot be written.
bool WriteDrawingPdf(const std::string& path, const std::string& svg, std::string& message);

// Watches a run (WatchRun) and keeps one picture per paced step. The run of an interaction or
// an animation ends after its first picture.
class Handout final : public RunWatcher, public StatementObserver {
  public:
    // Where each statement of the compiled program stands in the script.
    void Compiled(const CompiledStatement& compiled) override;
    void Statement(int block, int slot, bool fast) override;
    void Step() override;
    void LoopRepeats() override;
    // After the run: the last picture, when it differs from the last step's.
    void Finish();
    std::size_t StepCount() const { return steps_.size(); }
    // Writes the pages: the title on each, then the steps, each with its lines of the script.
    bool Write(const std::string& path, const std::string& title, const ScriptLines& script,
               std::string& message) const;

  private:
    struct Picture {
        std::string svg;
        std::vector<int> lines;  // indexes of the script lines that made it
    };
    void Keep();

    std::map<long, int> lineOf_;  // block << 16 | slot -> line index
    std::vector<int> pending_;    // lines run since the last step
    std::vector<Picture> steps_;
    bool ended_ = false;
};

}  // namespace zir
