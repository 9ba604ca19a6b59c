// The windowed backend (SDL2): a resizable window that shows the screen image scaled with
// its aspect kept, the keyboard and mouse as key texts and screen pixels, a real clock.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/textcode.h"

// SDL's window-manager header brings the X11 headers and their macros; ours come first.
#include "platform/sdlapi.h"

namespace zir {
namespace {

// Set when the first windowed backend is made; SDL is reached only through it.
const SdlApi* gSdl = nullptr;

#if defined(SDL_VIDEO_DRIVER_X11)
// A window destroyed from outside (xkill, a session ending) leaves calls on it failing
// with X errors, which by default end the process. Errors about our own window are taken
// as the viewer closing it; any other error goes on to the handler before ours.
Window gXWindow = 0;
bool gXWindowGone = false;
XErrorHandler gPreviousXHandler = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
    if (gXWindowGone || (gXWindow != 0 && error->resourceid == gXWindow)) {
        gXWindowGone = true;
        return 0;
    }
    return gPreviousXHandler ? gPreviousXHandler(display, error) : 0;
}
#endif

struct SdlDeleter {
    void operator()(SDL_Window* w) const { gSdl->DestroyWindow(w); }
    void operator()(SDL_Renderer* r) const { gSdl->DestroyRenderer(r); }
    void operator()(SDL_Texture* t) const { gSdl->DestroyTexture(t); }
    void operator()(SDL_Surface* s) const { gSdl->FreeSurface(s); }
};
template <typename T>
using SdlPtr = std::unique_ptr<T, SdlDeleter>;

// A texture the renderer draws into, kept from frame to frame while its size serves.
struct Canvas {
    SdlPtr<SDL_Texture> texture;
    int width = 0;
    int height = 0;
};

// Halvings of a shrunk picture before its last smooth copy: down to an eighth of its size.
constexpr int MaxHalvings = 3;

std::string_view KeyText(SDL_Keycode key) {
    switch (key) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return keys::Enter;
        case SDLK_ESCAPE:
            return keys::Esc;
        case SDLK_BACKSPACE:
            return keys::Backspace;
        case SDLK_TAB:
            return keys::Tab;
        case SDLK_UP:
            return keys::Up;
        case SDLK_DOWN:
            return keys::Down;
        case SDLK_LEFT:
            return keys::Left;
        case SDLK_RIGHT:
            return keys::Right;
        case SDLK_PAGEUP:
            return keys::PageUp;
        case SDLK_PAGEDOWN:
            return keys::PageDown;
        case SDLK_HOME:
            return keys::Home;
        case SDLK_END:
            return keys::End;
        default:
            return {};
    }
}

int ButtonBit(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT:
            return 1;
        case SDL_BUTTON_RIGHT:
            return 2;
        case SDL_BUTTON_MIDDLE:
            return 4;
        default:
            return 0;
    }
}

// The display a window would open on, as the environment names it; empty when none is.
std::string DisplayName() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* name = std::getenv(variable);
        if (name && *name) return name;
    }
    return {};
}

class WindowedBackend final : public Backend {
  public:
    explicit WindowedBackend(ViewerState& viewer)
        : viewer_(viewer), start_(std::chrono::steady_clock::now()) {}

    ~WindowedBackend() override {
        if (WindowGone()) {
            // SDL's connections still hold errors about the destroyed window; closing them
            // would hand those to Xlib's default handler, which ends the process with exit
            // code 1. The program is ending, so SDL is left as it stands.
            texture_.release();
            enlarged_.texture.release();
            for (Canvas& half : halved_) half.texture.release();
            renderer_.release();
            window_.release();
            return;
        }
        texture_.reset();
        enlarged_.texture.reset();
        for (Canvas& half : halved_) half.texture.reset();
        renderer_.reset();
        window_.reset();
#if defined(SDL_VIDEO_DRIVER_X11)
        gXWindow = 0;
#endif
        if (initialised_) gSdl->QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool Init(std::string& message) {
        // A present that waited for the display's refresh would stretch every frame.
        gSdl->SetHint(SDL_HINT_RENDER_VSYNC, "0");
        gSdl->SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        // A button let go outside the window must still be seen, or a drag would not end.
        gSdl->SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
        if (gSdl->InitSubSystem(SDL_INIT_VIDEO) != 0) {
            message = std::string("cannot connect to the display (") + gSdl->GetError() +
                      "); use --headless to run without a window";
            return false;
        }
        initialised_ = true;
        // When no display answers (a server that is gone, or restarting), SDL falls back to
        // drivers that draw nowhere: the run would go on unseen, waiting for a viewer who
        // cannot reach it.
        const char* driver = gSdl->GetCurrentVideoDriver();
        if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
            std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "evdev") == 0) {
            message = "cannot connect to the display " + DisplayName() +
                      "; use --headless to run without a window";
            return false;
        }
        gSdl->EventState(SDL_SYSWMEVENT, SDL_ENABLE);
#if defined(SDL_VIDEO_DRIVER_X11)
        gXWindowGone = false;
#endif
        return true;
    }

    bool ShowScreen(int width, int height) override {
        if (!window_ && !CreateWindow(width, height)) return false;
        SdlPtr<SDL_Texture> texture{gSdl->CreateTexture(
            renderer_.get(), SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width, height)};
        if (!texture) return Fail("cannot make the window's picture");
        texture_ = std::move(texture);
        if (screenWidth_ != 0 && !fullscreen_) {
            int w = width, h = height;
            FitToDesktop(w, h);
            gSdl->SetWindowSize(window_.get(), w, h);
        }
        screenWidth_ = width;
        screenHeight_ = height;
        needsRender_ = true;
        return true;
    }

    void Present(const std::uint8_t* screen) override {
        if (!texture_ || WindowGone()) return;
        gSdl->UpdateTexture(texture_.get(), nullptr, ImagePixels(screen), screenWidth_ * 2);
        Render();
    }

    void SetTitle(const std::string& text) override {
        title_ = Utf8FromWindows1252(text);
        if (!window_) return;
        gSdl->SetWindowTitle(window_.get(), title_.c_str());
        SetLegacyTitle();
    }

    void SetIcon(const std::uint8_t* image) override {
        int w = ImageWidth(image), h = ImageHeight(image);
        SdlPtr<SDL_Surface> surface{
            gSdl->CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888)};
        if (!surface) return;
        int bpp = ImageBytesPerPixel(image);
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) +
                                                  y * surface->pitch);
            for (int x = 0; x < w; ++x) {
                std::uint32_t raw = 0;
                std::memcpy(&raw, ImagePixels(image) + (static_cast<std::size_t>(y) * w + x) * bpp,
                            bpp);
                // Palette indexes of a one-byte image show as grey levels.
                const auto grey = static_cast<std::uint8_t>(raw);
                const Colour c = bpp == 1 ? Colour{grey, grey, grey} : ImageColourAt(image, x, y);
                row[x] = raw == MaskPixel(bpp) ? 0 : 0xFF000000 | c.Value();
            }
        }
        icon_ = std::move(surface);
        if (window_) gSdl->SetWindowIcon(window_.get(), icon_.get());
    }

    ScreenInfo Desktop() override {
        SDL_DisplayMode mode;
        if (gSdl->GetDesktopDisplayMode(0, &mode) != 0) return {640, 480, 16};
        return {mode.w, mode.h, 16};
    }

    double ClockMs() override {
        return clock_.Now(RealMs());
    }

    void StartClockAt(double clockMs) override {
        clock_.StartAt(RealMs(), clockMs);
    }

    void Poll(PollKind) override {
        PumpEvents();
    }

    void Pass(int ms) override {
        const double dueMs = clock_.Sleep(RealMs(), ms);
        for (;;) {
            PumpEvents();
            const double remaining = dueMs - RealMs();
            if (viewer_.closeRequested || remaining <= 0) return;
            gSdl->WaitEventTimeout(nullptr, static_cast<int>(std::ceil(std::min(remaining, 50.0))));
        }
    }

    void Wait(int maxMs) override {
        PumpEvents();
        if (!InputPending()) {
            gSdl->WaitEventTimeout(nullptr, maxMs);
            PumpEvents();
        }
        clock_.CatchUp(RealMs());
    }

    void KeepAlive() override {
        PumpEvents();
        clock_.CatchUp(RealMs());
    }

  private:
    double RealMs() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
            .count();
    }

    bool Fail(const std::string& what) {
        std::fprintf(stderr, "zirkula: %s: %s\n", what.c_str(), gSdl->GetError());
        viewer_.failed = true;
        viewer_.closeRequested = true;
        return false;
    }

    bool CreateWindow(int width, int height) {
        int w = width, h = height;
        FitToDesktop(w, h);
        window_.reset(gSdl->CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED,
                                         SDL_WINDOWPOS_CENTERED, w, h, SDL_WINDOW_RESIZABLE));
        if (!window_) return Fail("cannot open a window");
        renderer_.reset(gSdl->CreateRenderer(window_.get(), -1, 0));
        if (!renderer_)
            renderer_.reset(gSdl->CreateRenderer(window_.get(), -1, SDL_RENDERER_SOFTWARE));
        if (!renderer_) return Fail("cannot draw in the window");
        if (icon_) gSdl->SetWindowIcon(window_.get(), icon_.get());
        WatchForDestruction();
        SetLegacyTitle();
        return true;
    }

    // Keeps a window larger than the desktop's usable area inside it, with its aspect.
    void FitToDesktop(int& w, int& h) {
        SDL_Rect usable;
        if (gSdl->GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return;
        double scale =
            std::min({1.0, static_cast<double>(usable.w) / w, static_cast<double>(usable.h) / h});
        w = std::max(1, static_cast<int>(w * scale));
        h = std::max(1, static_cast<int>(h * scale));
    }

    // The renderer may have made a new native window, so the id is taken after it.
    void WatchForDestruction() {
#if defined(SDL_VIDEO_DRIVER_X11)
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (gSdl->XSetErrorHandler && gSdl->GetWindowWMInfo(window_.get(), &info) &&
            info.subsystem == SDL_SYSWM_X11) {
            gXWindow = info.info.x11.window;
            xDisplay_ = info.info.x11.display;
            XErrorHandler previous = gSdl->XSetErrorHandler(OnXError);
            if (previous != OnXError) gPreviousXHandler = previous;
        }
#endif
    }

    // SDL writes the legacy WM_NAME in the locale's encoding, which the C locale takes for
    // Latin-1 and so mangles every UTF-8 character; Xlib's own conversion gives a Latin-1
    // STRING where that holds the title and COMPOUND_TEXT where it does not (a euro sign).
    void SetLegacyTitle() {
#if defined(SDL_VIDEO_DRIVER_X11)
        if (!xDisplay_ || gXWindow == 0 || WindowGone()) return;
        char* text = title_.data();
        XTextProperty property;
        if (gSdl->Xutf8TextListToTextProperty(xDisplay_, &text, 1, XStdICCTextStyle, &property) <
            0) {
            return;
        }
        gSdl->XSetTextProperty(xDisplay_, gXWindow, &property, XA_WM_NAME);
        gSdl->XFree(property.value);
        gSdl->XFlush(xDisplay_);
#endif
    }

    bool WindowGone() {
#if defined(SDL_VIDEO_DRIVER_X11)
        if (gXWindowGone) viewer_.closeRequested = true;
        return gXWindowGone;
#else
        return false;
#endif
    }

    bool InputPending() const {
        return !viewer_.keys.empty() || viewer_.mouseChanged || viewer_.closeRequested;
    }

    // Where the screen image lies in the window's drawable, in its pixels.
    SDL_Rect ImageRect(int outputW, int outputH) const {
        if (screenWidth_ <= 0 || screenHeight_ <= 0) return {0, 0, outputW, outputH};
        double scale = std::min(static_cast<double>(outputW) / screenWidth_,
                                static_cast<double>(outputH) / screenHeight_);
        int w = std::max(1, static_cast<int>(std::lround(screenWidth_ * scale)));
        int h = std::max(1, static_cast<int>(std::lround(screenHeight_ * scale)));
        return {(outputW - w) / 2, (outputH - h) / 2, w, h};
    }

    void Render() {
        needsRender_ = false;
        if (!texture_ || WindowGone()) return;
        int ow = 0, oh = 0;
        gSdl->GetRendererOutputSize(renderer_.get(), &ow, &oh);
        SDL_Rect dest = ImageRect(ow, oh);
        gSdl->SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
        gSdl->RenderClear(renderer_.get());
        gSdl->RenderCopy(renderer_.get(), ScaledPicture(dest), nullptr, &dest);
        gSdl->RenderPresent(renderer_.get());
    }

    // The picture to stretch onto dest, scaled as emulators and image viewers do: at a
    // whole factor with crisp pixels; when enlarging by more, first by the largest whole
    // factor with crisp pixels, then smoothly the rest of the way; when shrinking smoothly,
    // halved first (each pixel the mean of four) while it is over twice as large, so that no
    // thin line falls between the samples of the last copy. A renderer that cannot draw
    // into a texture gets the screen image stretched smoothly in one step.
    SDL_Texture* ScaledPicture(const SDL_Rect& dest) {
        SDL_Texture* picture = texture_.get();
        int w = screenWidth_, h = screenHeight_;
        const int factor = std::min(dest.w / w, dest.h / h);
        if (dest.w == factor * w && dest.h == factor * h) {
            gSdl->SetTextureScaleMode(picture, SDL_ScaleModeNearest);
            return picture;
        }
        if (factor >= 2) {
            if (DrawInto(enlarged_, factor * w, factor * h, picture, SDL_ScaleModeNearest)) {
                picture = enlarged_.texture.get();
            }
        } else if (factor == 0) {
            for (Canvas& half : halved_) {
                if (w <= 2 * dest.w || h <= 2 * dest.h) break;
                w /= 2;
                h /= 2;
                if (!DrawInto(half, w, h, picture, SDL_ScaleModeLinear)) break;
                picture = half.texture.get();
            }
        }
        gSdl->SetTextureScaleMode(picture, SDL_ScaleModeLinear);
        return picture;
    }

    // Copies the whole source into the canvas, made or remade at w x h, with this scaling;
    // false when the renderer cannot draw into a texture.
    bool DrawInto(Canvas& canvas, int w, int h, SDL_Texture* source, SDL_ScaleMode mode) {
        if (!canvas.texture || canvas.width != w || canvas.height != h) {
            canvas.texture.reset(gSdl->CreateTexture(renderer_.get(), SDL_PIXELFORMAT_ARGB8888,
                                                     SDL_TEXTUREACCESS_TARGET, w, h));
            canvas.width = w;
            canvas.height = h;
        }
        if (!canvas.texture || gSdl->SetRenderTarget(renderer_.get(), canvas.texture.get()) != 0) {
            return false;
        }
        gSdl->SetTextureScaleMode(source, mode);
        gSdl->RenderCopy(renderer_.get(), source, nullptr, nullptr);
        gSdl->SetRenderTarget(renderer_.get(), nullptr);
        return true;
    }

    void MoveMouse(int windowX, int windowY) {
        if (!window_ || !renderer_) return;
        int ww = 1, wh = 1, ow = 1, oh = 1;
        gSdl->GetWindowSize(window_.get(), &ww, &wh);
        gSdl->GetRendererOutputSize(renderer_.get(), &ow, &oh);
        SDL_Rect dest = ImageRect(ow, oh);
        double px = (windowX + 0.5) * ow / std::max(ww, 1);
        double py = (windowY + 0.5) * oh / std::max(wh, 1);
        viewer_.x = static_cast<int>(std::floor((px - dest.x) * screenWidth_ / dest.w));
        viewer_.y = static_cast<int>(std::floor((py - dest.y) * screenHeight_ / dest.h));
        UpdateInside();
    }

    void UpdateInside() {
        viewer_.inside = mouseInWindow_ && viewer_.x >= 0 && viewer_.y >= 0 &&
                         viewer_.x < screenWidth_ && viewer_.y < screenHeight_;
        viewer_.mouseChanged = true;
    }

    void PumpEvents() {
        SDL_Event event;
        while (gSdl->PollEvent(&event)) Handle(event);
        WindowGone();
        if (needsRender_) Render();
    }

    void Handle(const SDL_Event& event) {
        switch (event.type) {
            case SDL_QUIT:
                viewer_.closeRequested = true;
                break;
            case SDL_WINDOWEVENT:
                HandleWindowEvent(event.window);
                break;
            case SDL_KEYDOWN:
                if (event.key.keysym.sym == SDLK_F11) {
                    if (!event.key.repeat) ToggleFullscreen();
                } else if (std::string_view text = KeyText(event.key.keysym.sym); !text.empty()) {
                    QueueKey(viewer_, std::string(text));
                }
                break;
            case SDL_TEXTINPUT:
                for (char c : Windows1252FromUtf8(event.text.text)) {
                    QueueKey(viewer_, std::string(1, c));
                }
                break;
            case SDL_MOUSEMOTION:
                mouseInWindow_ = true;
                MoveMouse(event.motion.x, event.motion.y);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                int bit = ButtonBit(event.button.button);
                if (event.type == SDL_MOUSEBUTTONDOWN) {
                    PressButton(viewer_, bit);
                } else {
                    ReleaseButton(viewer_, bit);
                }
                mouseInWindow_ = true;
                MoveMouse(event.button.x, event.button.y);
                break;
            }
            case SDL_MOUSEWHEEL:
                viewer_.wheel += event.wheel.y;
                viewer_.mouseChanged = true;
                break;
            case SDL_SYSWMEVENT:
                HandleSystemEvent(*event.syswm.msg);
                break;
            default:
                break;
        }
    }

    void HandleWindowEvent(const SDL_WindowEvent& event) {
        switch (event.event) {
            case SDL_WINDOWEVENT_CLOSE:
                viewer_.closeRequested = true;
                break;
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
            case SDL_WINDOWEVENT_RESTORED:
                needsRender_ = true;
                break;
            case SDL_WINDOWEVENT_ENTER:
                mouseInWindow_ = true;
                UpdateInside();
                break;
            case SDL_WINDOWEVENT_LEAVE:
                mouseInWindow_ = false;
                UpdateInside();
                break;
            default:
                break;
        }
    }

    void HandleSystemEvent(const SDL_SysWMmsg& message) {
#if defined(SDL_VIDEO_DRIVER_X11)
        if (message.subsystem == SDL_SYSWM_X11) {
            const XEvent& x = message.msg.x11.event;
            if (x.type == DestroyNotify && gXWindow != 0 && x.xdestroywindow.window == gXWindow) {
                gXWindowGone = true;
            }
        }
#else
        (void)message;
#endif
    }

    void ToggleFullscreen() {
        if (!window_) return;
        fullscreen_ = !fullscreen_;
        gSdl->SetWindowFullscreen(window_.get(), fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        needsRender_ = true;
    }

    ViewerState& viewer_;
    std::chrono::steady_clock::time_point start_;
    ScheduledClock clock_;
    bool initialised_ = false;
    SdlPtr<SDL_Window> window_;
    SdlPtr<SDL_Renderer> renderer_;
    SdlPtr<SDL_Texture> texture_;  // the screen image
    Canvas enlarged_;              // the screen image at a whole factor, on the way up
    Canvas halved_[MaxHalvings];   // the screen image halved, on the way down
    SdlPtr<SDL_Surface> icon_;
    std::string title_;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    bool fullscreen_ = false;
    bool needsRender_ = false;
    bool mouseInWindow_ = false;
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* xDisplay_ = nullptr;  // SDL's connection, for the legacy title
#endif
};

}  // namespace

void Breathe(ViewerState&) {}

std::unique_ptr<Backend> MakeWindowedBackend(ViewerState& viewer, std::string& message) {
    if (DisplayName().empty()) {
        message =
            "no display to open a window on (DISPLAY is not set); "
            "use --headless to run without a window";
        return nullptr;
    }
    if (!gSdl) gSdl = LoadSdlApi(message);
    if (!gSdl) return nullptr;
    auto backend = std::make_unique<WindowedBackend>(viewer);
    if (!backend->Init(message)) return nullptr;
    return backend;
}

}  // namespace zir
