// Reading whole files, without the surprises of streams on directories and devices.
#pragma once

#include <string>

namespace zir {

// The file's bytes; false when it cannot be opened or read (a directory, no permission).
bool ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace zir
