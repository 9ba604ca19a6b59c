#include "platform/pdf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "picture_check.h"
#include "platform/image.h"

namespace zir {
namespace {

bool HasTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Output(const std::string& command) {
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            out.append(buffer, n);
        }
        pclose(pipe);
    }
    return out;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Sized only by its viewBox; the blue line stays clear of the middle, where the red is probed.
const char* const ViewBoxOnly =
    R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100">)"
    R"(<rect width="100" height="100" fill="#f00"/>)"
    R"(<line x1="0" y1="10" x2="100" y2="10" stroke="#00f" stroke-width="4"/></svg>)";
// Sized without a viewBox: its width and height give the aspect.
const char* const SizeOnly = R"(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="20">)"
                             R"(<rect width="40" height="20" fill="#f00"/></svg>)";
const char* const PercentSize =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="100%" height="100%" viewBox="0 0 10 10">)"
    R"(<rect width="10" height="10" fill="#f00"/></svg>)";

const std::string LongLine = "A rather long line that will not fit";
constexpr double MonoSize = 9;

std::vector<PdfPage> TwoPages() {
    std::vector<PdfPage> pages(2);
    pages[0].pictures.push_back({ViewBoxOnly, 100, 100, 200, 100, true});
    pages[0].texts.push_back({"Größe ∠ABC", 100, 300, 14, true});
    pages[0].texts.push_back(
        {"Gr\xF6\xDF"
         "e in Windows-1252",
         100, 320});
    const double cut = PdfTextWidth("A rather long…", MonoSize, false, true) + 0.01;
    pages[0].texts.push_back({LongLine, 100, 340, MonoSize, false, true, cut});
    pages[1].pictures.push_back({SizeOnly, 300, 500, 200, 200});
    pages[1].pictures.push_back({PercentSize, 50, 700, 100, 50});
    return pages;
}

// Each picture is scaled into its box with its aspect kept and centred: red inside the
// placed picture, white in the box beside it and at the page's corner.
TEST(Pdf, PicturesAreFittedIntoTheirBoxesOnA4Pages) {
    for (const char* tool : {"pdfinfo", "pdftoppm", "pdftotext"}) {
        if (!HasTool(tool)) GTEST_SKIP() << tool << " (poppler-utils) is missing";
    }
    const std::string path = test::OutputPath("pdf_two_pages.pdf");
    std::string message;
    testing::internal::CaptureStderr();
    const bool written = WritePdf(path, A4ShortPt, A4LongPt, TwoPages(), message);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_TRUE(written) << message;

    const std::string info = Output("pdfinfo '" + path + "'");
    EXPECT_TRUE(std::regex_search(info, std::regex(R"(Pages: +2\n)"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex(R"(Page size: +595.276 x 841.89 pts \(A4\))")))
        << info;

    enum Expect { Red, White };
    struct Probe {
        int page;
        double x, y;  // points
        Expect want;
    };
    const Probe probes[] = {
        {1, 200, 150, Red},                          // the middle of the box
        {1, 160, 150, Red},                          // a square in a wide box spans its middle half
        {1, 120, 150, White},                        // left of the square, inside the box
        {1, 5, 5, White},                            // the page's corner
        {2, 400, 600, Red},                          // 40 x 20 grown to 200 x 100
        {2, 310, 640, Red},   {2, 400, 520, White},  // above it, inside the box
        {2, 100, 725, Red},  // sized in percent: its viewBox gives the aspect
        {2, 60, 725, White},
    };
    constexpr double PixelsPerPoint = 30 / 72.0;
    for (int page : {1, 2}) {
        const std::string png = test::OutputPath("pdf_page" + std::to_string(page));
        Output("pdftoppm -r 30 -png -singlefile -f " + std::to_string(page) + " -l " +
               std::to_string(page) + " '" + path + "' '" + png + "'");
        const Image image = test::ReadPng(png + ".png");
        ASSERT_TRUE(image) << "page " << page << " was not rendered";
        for (const Probe& p : probes) {
            if (p.page != page) continue;
            const Colour c = ImageColourAt(image.get(), std::lround(p.x * PixelsPerPoint),
                                           std::lround(p.y * PixelsPerPoint));
            const bool red = c.Red() > 200 && c.Green() < 60 && c.Blue() < 60;
            const bool white = c.Red() > 240 && c.Green() > 240 && c.Blue() > 240;
            EXPECT_TRUE(p.want == Red ? red : white)
                << "page " << page << " at " << p.x << "," << p.y << ": " << std::hex << c.Value();
        }
    }

    // The text reads back as set: non-Latin characters, Windows-1252 taken as such, and the
    // long line cut after the last whole word that fits with the ellipsis.
    const std::string text = Output("pdftotext -f 1 -l 1 '" + path + "' -");
    for (const char* part : {"Größe ∠ABC", "Größe in Windows-1252", "A rather long…"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
    }
    EXPECT_EQ(text.find("fit"), std::string::npos) << text;
}

// What cannot be read or written fails with a reason and leaves no PDF behind; a picture
// that cannot be read does not even touch an older file of the same name.
TEST(Pdf, FailuresGiveAReasonAndLeaveNoFile) {
    struct Case {
        const char* why;
        std::string svg;
        bool writablePath;
        const char* message;
    };
    const Case cases[] = {
        {"not XML", "<svg xmlns=\"http://www.w3.org/2000/svg\"", true,
         "picture 1 on page 2 is not valid SVG"},
        {"empty", "", true, "picture 1 on page 2 is not valid SVG"},
        {"no size", R"(<svg xmlns="http://www.w3.org/2000/svg"><rect width="5"/></svg>)", true,
         "picture 1 on page 2 has no size"},
        {"unwritable path", SizeOnly, false, "cannot be written"},
    };
    for (const Case& c : cases) {
        std::vector<PdfPage> pages(2);
        pages[0].pictures.push_back({ViewBoxOnly, 0, 0, 100, 100});
        pages[1].pictures.push_back({c.svg, 0, 0, 100, 100});
        const std::string path = c.writablePath ? test::OutputPath("pdf_failed.pdf")
                                                : test::OutputPath("missing/folder/pdf.pdf");
        if (c.writablePath) std::ofstream(path) << "older";
        std::string message;
        EXPECT_FALSE(WritePdf(path, A4ShortPt, A4LongPt, pages, message)) << c.why;
        EXPECT_NE(message.find(c.message), std::string::npos) << c.why << ": " << message;
        if (c.writablePath) {
            EXPECT_EQ(FileText(path), "older") << c.why;
        } else {
            EXPECT_FALSE(std::filesystem::exists(path)) << c.why;
        }
    }
}

// Widths are DejaVu's own advances, unhinted as in the PDF: a raster font's widths would be
// rounded to whole pixels and not grow in proportion to the size.
TEST(Pdf, TextWidthsAreTheFontsUnhintedAdvances) {
    const double monoAdvance = 1233 / 2048.0;  // em of every DejaVu Sans Mono character
    struct Case {
        const char* why;
        double got, want;
    };
    const Case cases[] = {
        {"mono", PdfTextWidth("iiii", 10, false, true), 40 * monoAdvance},
        {"mono bold", PdfTextWidth("WWWW", 10, true, true), 40 * monoAdvance},
        {"twice the size", PdfTextWidth("iiii", 20, false, false),
         2 * PdfTextWidth("iiii", 10, false, false)},
        {"Windows-1252", PdfTextWidth("B\xE4r", 10, false, false),
         PdfTextWidth("Bär", 10, false, false)},
        {"empty", PdfTextWidth("", 10, true, false), 0},
    };
    for (const Case& c : cases) EXPECT_NEAR(c.got, c.want, 1e-6) << c.why;
    EXPECT_LT(PdfTextWidth("iiii", 10, false, false), PdfTextWidth("WWWW", 10, false, false));
    EXPECT_LT(PdfTextWidth("Zirkula", 10, false, false), PdfTextWidth("Zirkula", 10, true, false));
}

}  // namespace
}  // namespace zir
