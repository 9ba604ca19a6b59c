// The platform layer: the screen and the window that shows it, the viewer's keyboard and
// mouse, the clock and the text console. Two backends stand behind it, chosen at start-up:
// a real window (SDL2) and a headless one with a virtual clock, viewer input from a file
// and pictures to files. Nothing outside src/platform/ sees how a backend does its work.
//
// Every sleep, poll and wait first presents the screen if it has changed since: the window
// shows it, and a frame is recorded when frames are being recorded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/image.h"

namespace zir {

enum class BackendKind { Windowed, Headless };

struct PlatformOptions {
    BackendKind backend = BackendKind::Windowed;
    // The viewer input: headless, what the viewer does on the virtual clock; in a window, a
    // demonstration played on the real clock, beside what the viewer does. Empty for none.
    std::string inputPath;  // the viewer input file
    std::string inputText;  // the viewer input itself, when there is no file
    // Windowed only: the viewer input is first replayed without a window on the virtual
    // clock, until GoLive; the run then goes on in the window on the real clock from the
    // same time, the rest of the input played as a demonstration. A replay whose input is
    // used up while the program waits for the viewer goes live by itself.
    bool replay = false;
    std::string framesDir;  // every picture shown, as PNG files; empty for none
    std::string gifPath;    // the run as an animated GIF; empty for none
    int consoleInFd = 0;    // the console's line input
    int consoleOutFd = 1;   // the console's text output
    // Headless only: a run ends as if the viewer had closed the window once the virtual
    // clock passes maxVirtualMs or once it has executed maxStatements statements, so that no
    // script can run for ever where no viewer can stop it. 0 for no statement limit.
    std::int64_t maxVirtualMs = 24LL * 60 * 60 * 1000;
    std::int64_t maxStatements = 10'000'000;
    // Headless only: the run ends the same way once it has taken this much real time (0 for
    // no limit); for fuzzing, where a run must end within a second whatever it draws.
    std::int64_t maxRealMs = 0;
    // Headless only: the largest screen side a script may open (0 for the program's own
    // limit); for fuzzing, where every large image costs time under the sanitizers.
    int maxScreenSide = 0;
};

enum class PlatformError {
    None,
    InputFile,  // the viewer input file is missing or malformed
    FramesDir,  // the frames directory cannot be made or written
    GifFile,    // the GIF file cannot be written
    NoDisplay,  // no window can be opened
};

// Starts the platform layer (again) with a fresh state: no screen, no waiting keys, the
// clock at 0 (headless). On failure the message says what is wrong, in one line, and the
// layer stays unstarted. A layer that is used without being started starts by itself:
// windowed where a display can be opened, else headless.
PlatformError PlatformStart(const PlatformOptions& options, std::string& message);
// Closes the window and finishes the frame and GIF recordings.
void PlatformStop();
// While set, pictures shown are left out of the GIF (the logo is no part of a demonstration).
void GifRecordingPaused(bool paused);
// Ends the replay: from now on the run shows in the window, on the real clock. Nothing
// outside a replay.
void GoLive();
// Tells the viewer's window that step number of the run (made by script line, 1-based, or
// 0) is shown at timeMs, described by text (Windows-1252); during a replay the window that
// is to show the run hears of the steps replayed.
void AnnounceStep(int number, double timeMs, int line, std::string_view text);

// True after the window could not be opened during the run: the run then ended as if the
// viewer had closed it, and the program should exit with the code for "no display".
bool PlatformFailed();

struct ScreenInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// Opens (or re-opens at a new size) the screen: an RGB565 image, black at first, shown in
// the window. Only 16 bits per pixel are supported. False when the size cannot be had; the
// old screen then stays.
bool ScreenOpen(int width, int height, int bitsPerPixel);
// The screen's size and depth; before a screen is open, the desktop's size with the
// 16-bit depth every screen of the program has.
ScreenInfo ScreenQuery();
// The screen's image for reading, or null while no screen is open.
const std::uint8_t* ScreenImage();
// A number that changes whenever a new screen image is made, even at the old address.
std::uint32_t ScreenSerial();
// The largest screen side the platform was started to allow, or 0 for no limit of its own.
int ScreenSideLimit();
// The same for drawing: the screen counts as changed and is presented at the next chance.
ImageHandle ScreenImageForDrawing();
// False while nobody sees the screen change: a headless run that records neither frames nor
// a GIF. Only what is read from the screen then counts (its last picture, a grab of it).
bool ScreenIsSeen();
// A procedure run first whenever the screen is about to be used (read, drawn on, replaced or
// dropped), so that a picture meant for it can be put there late; null for none.
void SetScreenUseHook(void (*hook)());

// While the viewer may grab a point, a test of whether a press at a screen pixel would grab
// one (null when none may be grabbed). A touch screen scrolls the page under a finger that
// grabs nothing and holds it still under one that grabs a point.
// The same lists the points that may be grabbed, where they stand on the screen, for a page
// that lets the keyboard move them.
struct GrabPoint {
    int x = 0;
    int y = 0;
    std::string name;  // Windows-1252
};
void SetGrabTest(bool (*test)(int x, int y), std::vector<GrabPoint> (*points)() = nullptr);
bool WouldGrab(int x, int y);
std::vector<GrabPoint> GrabPoints();

// The window's caption (Windows-1252 text); only the first 127 characters are used.
void SetWindowTitle(std::string_view text);
// The text last given to SetWindowTitle (as the window shows it: cut to its length).
std::string WindowTitle();
// Gives the window an icon: an image in the ImageBuffer layout whose transparent pixels
// stay transparent. A null image leaves the icon as it is.
void SetWindowIcon(const std::uint8_t* image);

// The key texts of the keys that are not printable characters.
namespace keys {
inline constexpr std::string_view Enter = "\r";
inline constexpr std::string_view Esc = "\x1B";
inline constexpr std::string_view Backspace = "\b";
inline constexpr std::string_view Tab = "\t";
inline constexpr std::string_view Up = "\xFFH";
inline constexpr std::string_view Down = "\xFFP";
inline constexpr std::string_view Left = "\xFFK";
inline constexpr std::string_view Right = "\xFFM";
inline constexpr std::string_view PageUp = "\xFFI";
inline constexpr std::string_view PageDown = "\xFFQ";
inline constexpr std::string_view Home = "\xFFG";
inline constexpr std::string_view End = "\xFFO";
}  // namespace keys

// The next waiting key press without waiting: empty if none, one character for an ordinary
// key (13 Enter, 27 Esc, 8 Backspace, 9 Tab, printable characters in Windows-1252), or
// character 255 and the scan-code character for an extended key ("H" up, "P" down, "K"
// left, "M" right, "I" page up, "Q" page down, "G" home, "O" end).
std::string PollKey();

struct MouseState {
    int x = 0;  // screen pixels
    int y = 0;
    int wheel = 0;    // wheel position in notches
    int buttons = 0;  // bit 0 left, bit 1 right, bit 2 middle; negative outside the screen
    int held = 0;     // the same bits wherever the mouse is: a release outside ends a drag
};
MouseState PollMouse();

// Seconds since an arbitrary origin (headless: virtual time since start). The window's
// clock keeps to the schedule of the sleeps in whole milliseconds, as the virtual clock does,
// and falls at most a tenth of a second behind the real clock.
double ClockSeconds();

// Below 1 ms returns at once; 1 to 99 ms sleeps that long; 100 ms or more sleeps in steps
// of 50 ms and returns early as soon as a key press is waiting (the key stays waiting),
// the remainder after the last full step slept at the end. Returns early too when the
// viewer closes the window.
void SleepMs(int ms);

// Waits until the viewer does something (a key, a mouse change, closing the window) or at
// most maxMs. Headless, the clock jumps to the next input event; with none left, the
// window counts as closed, so that no headless run can wait for ever.
void WaitForInput(int maxMs);

// True once the viewer has closed the window (headless: a close event, the end of the
// input while waiting for the viewer, or the run's time or statement budget used up).
bool CloseRequested();
// Ends the run as if the viewer had closed the window: for a run whose picture is complete.
void RequestClose();
// Counts executed statements (or work worth that many); false once a headless run has used
// up its statement budget, which closes the window.
bool CountStatement(std::int64_t count = 1);

// Writes one line of text (Windows-1252) to the console, converted to UTF-8 unless the
// locale asks for an 8-bit Latin code page.
void ConsoleWrite(std::string_view text);
// The same on standard error.
void ConsoleWriteError(std::string_view text);
// Reads one line from the console, without its line end, as the bytes that were typed.
// Empty optional at the end of input, or when the window is closed meanwhile.
std::optional<std::string> ConsoleReadLine();
// A line already typed on the console, without waiting: empty optional while no whole line
// has arrived (and after the end of the input).
std::optional<std::string> ConsoleLineTyped();

}  // namespace zir
