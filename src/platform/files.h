// Reading whole files, without the surprises of streams on directories and devices.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace zir {

// The file's bytes; false when it cannot be opened or read (a directory, no permission).
bool ReadWholeFile(const std::string& path, std::string& bytes);
// Writes the bytes as the whole file; false when it cannot be written completely.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// A file written a piece at a time, for output too large to build whole first.
class FileWriter {
  public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;
    bool Open(const std::string& path);
    // False once anything could not be written.
    bool Write(std::string_view bytes);
    // Ends the file; false when any of it could not be written.
    bool Close();

  private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

// A file's bytes, held for as long as the object lives: a large regular file is read into
// memory of its own that costs few first touches (see AllocateLarge), anything else (a small
// file, a pipe, a device) into an ordinary string.
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
    // Why the last Load failed, as an errno value (ENOENT, EISDIR, EACCES, ...); 0 after a
    // Load that succeeded.
    int LoadError() const { return loadError_; }

  private:
    void Release();

    void* large_ = nullptr;
    std::size_t largeBytes_ = 0;
    std::string copy_;
    std::string_view bytes_;
    int loadError_ = 0;
};

}  // namespace zir
