// The viewer input of a headless run: what a viewer would do at the window, read from a
// text file with one timed event per line.
//
//   <ms> key <NAME>        NAME: one printable character, or Enter, Esc, Up, Down, Left,
//                          Right, PageUp, PageDown, Home, End, Space, Backspace, Tab
//   <ms> press <x> <y>     left button down at screen pixel (x, y)
//   <ms> move <x> <y>      the mouse moves; the button state stays
//   <ms> release <x> <y>   left button up
//   <ms> click <x> <y>     press, and release 30 ms later
//   <ms> close             the viewer closes the window
//
// <ms> is virtual time since start and never decreases. '#' starts a comment (except as
// the NAME of a key), blank lines are ignored, names are read in any letter case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zir {

enum class ViewerAction { Key, Press, Move, Release, Close };

struct ViewerEvent {
    std::int64_t timeMs = 0;
    ViewerAction action = ViewerAction::Key;
    std::string key;  // the key text for Key: one character, or 255 and a scan-code character
    int x = 0;
    int y = 0;
};

// Parses the text of an input file into events ordered by time (a click gives its press
// and, 30 ms later, its release). On a malformed line returns false with error set to
// "<fileName>:<line>: <what is wrong>".
bool ParseViewerInput(std::string_view text, const std::string& fileName,
                      std::vector<ViewerEvent>& events, std::string& error);

// The same for a file; a file that cannot be read is an error too.
bool ReadViewerInput(const std::string& path, std::vector<ViewerEvent>& events, std::string& error);

// The key text of a key name of the input file ("Up" gives "\xFFH"), empty when the name
// is unknown.
std::string KeyTextFromName(std::string_view name);

}  // namespace zir
