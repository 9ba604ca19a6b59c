#include "platform/pdf.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <dlfcn.h>
#include <librsvg/rsvg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/textcode.h"

namespace zir {
namespace {

// The functions of cairo, librsvg and GLib the writer calls, loaded when the first PDF is
// written: linked, they would be loaded, with the dozens of libraries they need, by every
// run, and a run's start would take three times as long.
#define ZIR_PDF_FUNCTIONS(X, CAIRO, RSVG, GOBJECT, GLIB) \
    X(cairo_create, CAIRO)                               \
    X(cairo_destroy, CAIRO)                              \
    X(cairo_surface_destroy, CAIRO)                      \
    X(cairo_move_to, CAIRO)                              \
    X(cairo_pdf_surface_create, CAIRO)                   \
    X(cairo_pdf_surface_set_metadata, CAIRO)             \
    X(cairo_rectangle, CAIRO)                            \
    X(cairo_restore, CAIRO)                              \
    X(cairo_save, CAIRO)                                 \
    X(cairo_select_font_face, CAIRO)                     \
    X(cairo_set_font_size, CAIRO)                        \
    X(cairo_set_line_width, CAIRO)                       \
    X(cairo_set_source_rgb, CAIRO)                       \
    X(cairo_show_page, CAIRO)                            \
    X(cairo_show_text, CAIRO)                            \
    X(cairo_status, CAIRO)                               \
    X(cairo_status_to_string, CAIRO)                     \
    X(cairo_stroke, CAIRO)                               \
    X(cairo_surface_finish, CAIRO)                       \
    X(cairo_surface_status, CAIRO)                       \
    X(cairo_text_extents, CAIRO)                         \
    X(rsvg_handle_get_intrinsic_dimensions, RSVG)        \
    X(rsvg_handle_get_intrinsic_size_in_pixels, RSVG)    \
    X(rsvg_handle_new_from_data, RSVG)                   \
    X(rsvg_handle_render_document, RSVG)                 \
    X(g_object_unref, GOBJECT)                           \
    X(g_error_free, GLIB)

struct PdfApi {
#define ZIR_PDF_MEMBER(name, library) decltype(&::name) name = nullptr;
    ZIR_PDF_FUNCTIONS(ZIR_PDF_MEMBER, , , , )
#undef ZIR_PDF_MEMBER
};

PdfApi gApi;

const PdfApi& Api() {
    return gApi;
}

// Loads the libraries once for the process; false, with the reason, when one is missing.
bool LoadApi(std::string& message) {
    static bool loaded = false;
    if (loaded) return true;
    const char* names[] = {"libcairo.so.2", "librsvg-2.so.2", "libgobject-2.0.so.0",
                           "libglib-2.0.so.0"};
    void* libraries[4] = {};
    for (int k = 0; k < 4; ++k) {
        // They stay loaded until the process ends: GLib's types cannot be unloaded.
        libraries[k] = dlopen(names[k], RTLD_NOW | RTLD_LOCAL);
        if (!libraries[k]) {
            const char* why = dlerror();
            message = std::string("cannot load the PDF library (") + (why ? why : names[k]) + ")";
            return false;
        }
    }
    PdfApi api;
#define ZIR_PDF_BIND(name, library)                                                    \
    api.name = reinterpret_cast<decltype(api.name)>(dlsym(libraries[library], #name)); \
    if (!api.name) {                                                                   \
        message = std::string("the PDF library ") + names[library] + " has no " #name; \
        return false;                                                                  \
    }
    ZIR_PDF_FUNCTIONS(ZIR_PDF_BIND, 0, 1, 2, 3)
#undef ZIR_PDF_BIND
    gApi = api;
    loaded = true;
    return true;
}

struct SurfaceRelease {
    void operator()(cairo_surface_t* p) const { Api().cairo_surface_destroy(p); }
};
struct ContextRelease {
    void operator()(cairo_t* p) const { Api().cairo_destroy(p); }
};
struct HandleRelease {
    void operator()(RsvgHandle* p) const { Api().g_object_unref(p); }
};
struct ErrorRelease {
    void operator()(GError* p) const { Api().g_error_free(p); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using Context = std::unique_ptr<cairo_t, ContextRelease>;
using SvgHandle = std::unique_ptr<RsvgHandle, HandleRelease>;
using Error = std::unique_ptr<GError, ErrorRelease>;

// A picture read and measured before anything is written, so that one that cannot be read
// leaves no half-written file behind.
struct LoadedPicture {
    SvgHandle svg;
    double width = 0, height = 0;  // the document's own size, in its pixels
};

std::string PictureName(std::size_t page, std::size_t picture) {
    return "picture " + std::to_string(picture + 1) + " on page " + std::to_string(page + 1);
}

bool Load(const PdfPicture& picture, const std::string& name, LoadedPicture& loaded,
          std::string& message) {
    if (!(picture.width > 0 && picture.height > 0)) {
        message = name + " has an empty box";
        return false;
    }
    // librsvg asserts, and prints, on empty data instead of reporting an error.
    if (picture.svg.empty()) {
        message = name + " is not valid SVG: it is empty";
        return false;
    }
    GError* error = nullptr;
    loaded.svg.reset(Api().rsvg_handle_new_from_data(
        reinterpret_cast<const guint8*>(picture.svg.data()), picture.svg.size(), &error));
    Error owned{error};
    if (!loaded.svg) {
        message = name + " is not valid SVG" + (owned ? std::string(": ") + owned->message : "");
        return false;
    }
    gdouble w = 0, h = 0;
    // A document sized in percentages, or not at all, has no size of its own: its viewBox
    // gives one.
    if (!Api().rsvg_handle_get_intrinsic_size_in_pixels(loaded.svg.get(), &w, &h)) {
        gboolean hasWidth, hasHeight, hasViewBox;
        RsvgLength width, height;
        RsvgRectangle viewBox;
        Api().rsvg_handle_get_intrinsic_dimensions(loaded.svg.get(), &hasWidth, &width, &hasHeight,
                                                   &height, &hasViewBox, &viewBox);
        if (hasViewBox) w = viewBox.width, h = viewBox.height;
    }
    if (!(w > 0 && h > 0 && std::isfinite(w) && std::isfinite(h))) {
        message = name + " has no size (neither width and height nor a viewBox)";
        return false;
    }
    loaded.width = w;
    loaded.height = h;
    return true;
}

// Renders the picture scaled into its box, centred; false when librsvg cannot render it.
bool Draw(cairo_t* cr, const PdfPicture& box, const LoadedPicture& picture, std::string& why) {
    const double scale = std::min(box.width / picture.width, box.height / picture.height);
    const double w = picture.width * scale, h = picture.height * scale;
    const double x = box.x + (box.width - w) / 2, y = box.y + (box.height - h) / 2;
    // librsvg fits the document's viewBox, or a box of its width and height where it has
    // none, into the viewport; the viewport already has the document's aspect.
    const RsvgRectangle viewport{x, y, w, h};
    GError* error = nullptr;
    const bool drawn = Api().rsvg_handle_render_document(picture.svg.get(), cr, &viewport, &error);
    Error owned{error};
    if (!drawn) {
        why = owned ? owned->message : "librsvg cannot render it";
        return false;
    }
    if (box.framed) {
        Api().cairo_save(cr);
        Api().cairo_rectangle(cr, x, y, w, h);
        Api().cairo_set_source_rgb(cr, 0x99 / 255.0, 0x99 / 255.0, 0x99 / 255.0);
        Api().cairo_set_line_width(cr, 0.5);
        Api().cairo_stroke(cr);
        Api().cairo_restore(cr);
    }
    return true;
}

void SelectFont(cairo_t* cr, double sizePt, bool bold, bool monospace) {
    Api().cairo_select_font_face(cr, monospace ? "DejaVu Sans Mono" : "DejaVu Sans",
                                 CAIRO_FONT_SLANT_NORMAL,
                                 bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    Api().cairo_set_font_size(cr, sizePt);
}

// cairo puts a context into a lasting error state on text that is not UTF-8.
std::string AsUtf8(const std::string& text) {
    return IsValidUtf8(text) ? text : Utf8FromWindows1252(text);
}

double Advance(cairo_t* cr, const std::string& utf8) {
    cairo_text_extents_t extents;
    Api().cairo_text_extents(cr, utf8.c_str(), &extents);
    return extents.x_advance;
}

// The text as set within maxWidth: whole if it fits, else its longest start, cut between
// characters and without trailing spaces, that fits followed by an ellipsis.
std::string Fitted(cairo_t* cr, const std::string& utf8, double maxWidth) {
    if (maxWidth <= 0 || Advance(cr, utf8) <= maxWidth) return utf8;
    const std::string ellipsis = "\u2026";
    std::vector<std::size_t> cuts;  // the starts of characters
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) cuts.push_back(i);
    }
    // The toy font API neither kerns nor shapes, so a longer start is never narrower.
    std::size_t fits = 0, tooWide = cuts.size();  // indexes into cuts
    while (tooWide - fits > 1) {
        const std::size_t mid = (fits + tooWide) / 2;
        if (Advance(cr, utf8.substr(0, cuts[mid]) + ellipsis) <= maxWidth) {
            fits = mid;
        } else {
            tooWide = mid;
        }
    }
    std::string start = utf8.substr(0, cuts.empty() ? 0 : cuts[fits]);
    while (!start.empty() && start.back() == ' ') start.pop_back();
    if (Advance(cr, start + ellipsis) > maxWidth) return "";
    return start + ellipsis;
}

void DrawText(cairo_t* cr, const PdfText& text) {
    SelectFont(cr, text.sizePt, text.bold, text.monospace);
    Api().cairo_set_source_rgb(cr, 0, 0, 0);
    Api().cairo_move_to(cr, text.x, text.y);
    Api().cairo_show_text(cr, Fitted(cr, AsUtf8(text.utf8), text.maxWidth).c_str());
}

}  // namespace

bool WritePdf(const std::string& path, double widthPt, double heightPt,
              const std::vector<PdfPage>& pages, std::string& message) {
    if (!(widthPt > 0 && heightPt > 0 && std::isfinite(widthPt) && std::isfinite(heightPt))) {
        message = "the page size is not positive";
        return false;
    }
    if (!LoadApi(message)) return false;
    std::vector<std::vector<LoadedPicture>> loaded(pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        loaded[p].resize(pages[p].pictures.size());
        for (std::size_t i = 0; i < pages[p].pictures.size(); ++i) {
            if (!Load(pages[p].pictures[i], PictureName(p, i), loaded[p][i], message)) return false;
        }
    }
    Surface surface{Api().cairo_pdf_surface_create(path.c_str(), widthPt, heightPt)};
    if (Api().cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        message = path + " cannot be written";
        return false;
    }
    Api().cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Zirkula");
    std::string failure;
    {
        Context cr{Api().cairo_create(surface.get())};
        for (std::size_t p = 0; p < pages.size() && failure.empty(); ++p) {
            for (std::size_t i = 0; i < pages[p].pictures.size() && failure.empty(); ++i) {
                std::string why;
                if (!Draw(cr.get(), pages[p].pictures[i], loaded[p][i], why)) {
                    failure = PictureName(p, i) + " cannot be drawn: " + why;
                }
            }
            if (!failure.empty()) break;
            for (const PdfText& text : pages[p].texts) DrawText(cr.get(), text);
            Api().cairo_show_page(cr.get());
            if (Api().cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
                failure = std::string("page ") + std::to_string(p + 1) + " cannot be drawn: " +
                          Api().cairo_status_to_string(Api().cairo_status(cr.get()));
            }
        }
    }
    Api().cairo_surface_finish(surface.get());
    if (failure.empty() && Api().cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        failure = path + " cannot be written: " +
                  Api().cairo_status_to_string(Api().cairo_surface_status(surface.get()));
    }
    if (failure.empty()) return true;
    surface.reset();
    std::remove(path.c_str());
    message = failure;
    return false;
}

double PdfTextWidth(const std::string& utf8, double sizePt, bool bold, bool monospace) {
    std::string message;
    if (!LoadApi(message)) return 0;
    // A PDF surface without a file measures with the same font options as the one written,
    // unhinted, where a raster surface would round each advance to whole pixels.
    thread_local const Surface surface{Api().cairo_pdf_surface_create(nullptr, 1, 1)};
    thread_local const Context cr{Api().cairo_create(surface.get())};
    SelectFont(cr.get(), sizePt, bold, monospace);
    return Advance(cr.get(), AsUtf8(utf8));
}

}  // namespace zir
