#include "platform/sdlapi.h"

#include <dlfcn.h>

namespace zir {
namespace {

// Fills one pointer from the library; false, with the reason, when it lacks the symbol.
template <typename Function>
bool Bind(void* library, const char* symbol, Function& function, std::string& message) {
    function = reinterpret_cast<Function>(dlsym(library, symbol));
    if (function) return true;
    message = std::string("the window library ") + SdlLibraryName + " has no " + symbol +
              "; use --headless to run without a window";
    return false;
}

bool Load(SdlApi& api, std::string& message) {
    // The libraries stay loaded until the process ends: SDL installs handlers and threads
    // that must not outlive its code.
    void* sdl = dlopen(SdlLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!sdl) {
        const char* why = dlerror();
        message = std::string("cannot load the window library (") + (why ? why : SdlLibraryName) +
                  "); use --headless to run without a window";
        return false;
    }
#define ZIR_SDL_BIND(name)                             \
    if (!Bind(sdl, "SDL_" #name, api.name, message)) { \
        dlclose(sdl);                                  \
        return false;                                  \
    }
    ZIR_SDL_FUNCTIONS(ZIR_SDL_BIND)
#undef ZIR_SDL_BIND
#if defined(SDL_VIDEO_DRIVER_X11)
    // The same Xlib that SDL loads for its X11 driver, so that the error handler set here is
    // the one its connection reports to.
    if (void* xlib = dlopen(XlibLibraryName, RTLD_NOW | RTLD_LOCAL)) {
        bool complete = true;
#define ZIR_XLIB_BIND(name)                                              \
    api.name = reinterpret_cast<decltype(api.name)>(dlsym(xlib, #name)); \
    complete = complete && api.name;
        ZIR_XLIB_FUNCTIONS(ZIR_XLIB_BIND)
#undef ZIR_XLIB_BIND
        // Half an Xlib is taken as none, so that one test tells whether it is there.
        if (!complete) {
#define ZIR_XLIB_CLEAR(name) api.name = nullptr;
            ZIR_XLIB_FUNCTIONS(ZIR_XLIB_CLEAR)
#undef ZIR_XLIB_CLEAR
        }
    }
#endif
    return true;
}

}  // namespace

const SdlApi* LoadSdlApi(std::string& message) {
    static SdlApi api;
    static bool loaded = false;
    if (!loaded) {
        SdlApi fresh;
        if (!Load(fresh, message)) return nullptr;
        api = fresh;
        loaded = true;
    }
    return &api;
}

}  // namespace zir
