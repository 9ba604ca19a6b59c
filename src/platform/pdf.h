// Pages of vector pictures and text written as one PDF file through cairo; the pictures are
// SVG documents, rendered by librsvg, the text is set in DejaVu Sans.
#pragma once

#include <string>
#include <vector>

namespace zir {

// Lengths are PostScript points (1/72 inch), x to the right and y down from the page's
// top-left corner.
struct PdfPicture {
    std::string svg;  // a whole SVG document (UTF-8)
    // The box: the picture is scaled to fit it, aspect kept, centred.
    double x = 0, y = 0, width = 0, height = 0;
    bool framed = false;  // a thin grey frame (0.5 pt, #999) around the picture as placed
};

struct PdfText {
    std::string utf8;     // text that is not UTF-8 is read as Windows-1252
    double x = 0, y = 0;  // the left end of the baseline
    double sizePt = 10;
    bool bold = false;
    bool monospace = false;  // DejaVu Sans Mono, for lines of a script
    double maxWidth = 0;     // > 0: cut at that width, ending in "…"
};

struct PdfPage {
    std::vector<PdfPicture> pictures;
    std::vector<PdfText> texts;
};

inline constexpr double A4ShortPt = 595.276, A4LongPt = 841.89;

// Writes the pages, each widthPt x heightPt. False, with the reason in message, when the file
// cannot be written or a picture cannot be read; then no file is left behind, and a picture
// that cannot be read leaves an older file of that name untouched.
bool WritePdf(const std::string& path, double widthPt, double heightPt,
              const std::vector<PdfPage>& pages, std::string& message);

// Text width in points as WritePdf would set it, for laying text out.
double PdfTextWidth(const std::string& utf8, double sizePt, bool bold, bool monospace);

}  // namespace zir
