// The driver's text output and its Enter prompt. While a screen is open the lines also
// appear in the window, in the sans-serif font on a band across its top, and Enter in the
// window answers the prompt: a viewer who started the program from the desktop has no
// terminal to read them in or to type into.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zir {

// Prints the line on the console and, while a screen is open, in the window.
void PrintLine(std::string_view text);

// Waits for the answer to a prompt: a line typed on the console, or while a screen is open
// Enter pressed in the window (an empty line). Empty optional at the end of the console's
// input with no screen open, or when the window is closed.
std::optional<std::string> ReadAnswer();

// Forgets the lines shown so far (a new run starts on a clean screen).
void ClearWindowConsole();

}  // namespace zir
