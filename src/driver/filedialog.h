// Choosing the script to run when none is given: zenity's file dialog where there is a
// display and zenity is installed, else a prompt on the console.
#pragma once

#include <string>

namespace zir {

enum class DialogOutcome { Chosen, Cancelled, Failed };

struct DialogResult {
    DialogOutcome outcome = DialogOutcome::Cancelled;
    std::string path;   // the chosen file
    int errorCode = 0;  // why the dialog failed: zenity's exit status
};

// The dialog is headed "Wähle ein Zirkula-Programm zum Ausführen:". On the console an
// empty line or the end of input cancels; surrounding blanks and quotes are removed.
DialogResult ChooseScriptFile(bool mayOpenWindow);

// The path as the console prompt reads it: blanks around it and one pair of quotes
// removed (as a file manager pastes it).
std::string CleanTypedPath(std::string text);

}  // namespace zir
