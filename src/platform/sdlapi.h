// The SDL2 and Xlib functions the windowed backend calls, loaded when the first window is
// wanted so that a headless run never loads the window libraries. Only the SDL backend
// includes this header.
#pragma once

#include <string>

// SDL's window-manager header brings the X11 headers and their macros.
#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#endif

namespace zir {

// Each entry names an SDL function without its SDL_ prefix; the pointer takes the type of
// the real declaration, so that a call through the table is checked like a direct one.
#define ZIR_SDL_FUNCTIONS(X)      \
    X(CreateRGBSurfaceWithFormat) \
    X(CreateRenderer)             \
    X(CreateTexture)              \
    X(CreateWindow)               \
    X(DestroyRenderer)            \
    X(DestroyTexture)             \
    X(DestroyWindow)              \
    X(EventState)                 \
    X(FreeSurface)                \
    X(GetDesktopDisplayMode)      \
    X(GetDisplayUsableBounds)     \
    X(GetError)                   \
    X(GetRendererOutputSize)      \
    X(GetWindowSize)              \
    X(GetCurrentVideoDriver)      \
    X(GetWindowWMInfo)            \
    X(InitSubSystem)              \
    X(PollEvent)                  \
    X(QuitSubSystem)              \
    X(RenderClear)                \
    X(RenderCopy)                 \
    X(RenderPresent)              \
    X(SetHint)                    \
    X(SetRenderDrawColor)         \
    X(SetRenderTarget)            \
    X(SetTextureScaleMode)        \
    X(SetWindowFullscreen)        \
    X(SetWindowIcon)              \
    X(SetWindowSize)              \
    X(SetWindowTitle)             \
    X(UpdateTexture)              \
    X(WaitEventTimeout)

// The Xlib functions, each by its own name: the error handler that takes a destroyed window
// as closed, and the legacy title property, which SDL fills in the locale's encoding.
#define ZIR_XLIB_FUNCTIONS(X) \
    X(XFlush)                 \
    X(XFree)                  \
    X(XSetErrorHandler)       \
    X(XSetTextProperty)       \
    X(Xutf8TextListToTextProperty)

struct SdlApi {
#define ZIR_SDL_MEMBER(name) decltype(&::SDL_##name) name = nullptr;
#define ZIR_XLIB_MEMBER(name) decltype(&::name) name = nullptr;
    ZIR_SDL_FUNCTIONS(ZIR_SDL_MEMBER)
#if defined(SDL_VIDEO_DRIVER_X11)
    // All null when Xlib is missing; SDL then drives no X11 window either.
    ZIR_XLIB_FUNCTIONS(ZIR_XLIB_MEMBER)
#endif
#undef ZIR_XLIB_MEMBER
#undef ZIR_SDL_MEMBER
};

// The library names looked up, as the system's loader knows them.
inline constexpr const char* SdlLibraryName = "libSDL2-2.0.so.0";
inline constexpr const char* XlibLibraryName = "libX11.so.6";

// Loads the libraries once for the process and keeps them loaded. Null, with the reason in
// message (one line), when SDL cannot be loaded or lacks a function; a later call tries
// again.
const SdlApi* LoadSdlApi(std::string& message);

}  // namespace zir
