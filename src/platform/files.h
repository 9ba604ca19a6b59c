// Reading whole files, without the surprises of streams on directories and devices.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zir {

// The file's bytes; false when it cannot be opened or read (a directory, no permission).
bool ReadWholeFile(const std::string& path, std::string& bytes);

// A file's bytes, held for as long as the object lives: a regular file is mapped read-only
// instead of copied (a fresh copy costs more in first touches of memory than reading it),
// anything else (a pipe, a device, a file the system will not map) is read into memory.
class FileBytes {
  public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // Replaces what is held by the file's bytes; false, holding nothing, when the file cannot
    // be opened or read.
    bool Load(const std::string& path);
    std::string_view Bytes() const { return bytes_; }

  private:
    void Release();

    void* mapped_ = nullptr;
    std::size_t mappedBytes_ = 0;
    std::string copy_;
    std::string_view bytes_;
};

}  // namespace zir
