// Vector pictures of a run: the finished drawing as SVG or as a PDF page, and the handout, a
// picture of the drawing after every paced step with the script lines that made it, six to
// an A4 page, for students to follow with their own ruler and compass.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frontend/scriptlines.h"
#include "session/steps.h"

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

// Keeps a picture of the drawing at every step of a run, for the handout. Its run has no
// viewer (StepOptions::unattended), and it ends with the first picture of an interaction or
// animation.
class Handout final {
  public:
    void TakeStep(const RunStep& step);
    // After the run: the last picture, made by the statements pending since the last step,
    // when it differs from the last step's.
    void Finish(const RunStep& pending);
    std::size_t StepCount() const { return steps_.size(); }
    // Writes the pages: the title on each, then the steps, each with its description and
    // its lines of the script.
    bool Write(const std::string& path, const std::string& title, const ScriptLines& script,
               std::string& message) const;

  private:
    struct Picture {
        std::string svg;
        std::string description;
        std::vector<int> lines;  // indexes of the script lines that made it
    };

    std::vector<Picture> steps_;
    bool ended_ = false;
};

}  // namespace zir
