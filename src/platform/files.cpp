#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/largememory.h"

namespace zir {
namespace {

// A file larger than this grows its buffer as it is read, so a wrong size cannot ask for
// more memory than the file holds.
constexpr off_t MaxReservedBytes = off_t{1} << 30;

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// read(2), taken up again when a signal interrupts it.
ssize_t ReadSome(int fd, void* into, std::size_t bytes) {
    ssize_t n = 0;
    do {
        n = ::read(fd, into, bytes);
    } while (n < 0 && errno == EINTR);
    return n;
}

// Reads an open file to its end; false on a read error (a directory gives EISDIR).
bool ReadAll(int fd, const struct stat& info, std::string& bytes) {
    bytes.clear();
    // One allocation for a file whose size can be known; the reads below still take what
    // is really there.
    if (S_ISREG(info.st_mode) && info.st_size > 0 && info.st_size < MaxReservedBytes) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char chunk[65536];
    for (;;) {
        const ssize_t n = ReadSome(fd, chunk, sizeof chunk);
        if (n < 0) {
            bytes.clear();
            return false;
        }
        if (n == 0) return true;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0) return false;
    return ReadAll(file.fd, info, bytes);
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    FileWriter file;
    return file.Open(path) && file.Write(bytes) && file.Close();
}

FileWriter::~FileWriter() {
    Close();
}

bool FileWriter::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    failed_ = !file_;
    return file_ != nullptr;
}

bool FileWriter::Write(std::string_view bytes) {
    if (!file_ || failed_) return false;
    failed_ = std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size();
    return !failed_;
}

bool FileWriter::Close() {
    if (!file_) return !failed_;
    failed_ = std::fclose(file_) != 0 || failed_;
    file_ = nullptr;
    return !failed_;
}

FileBytes::~FileBytes() {
    Release();
}

void FileBytes::Release() {
    FreeLarge(large_, largeBytes_);
    large_ = nullptr;
    largeBytes_ = 0;
    copy_.clear();
    bytes_ = {};
}

bool FileBytes::Load(const std::string& path) {
    Release();
    loadError_ = 0;
    // A directory opens, and only its first read fails (EISDIR); errno is taken right after
    // the call that failed, before anything else can change it.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0) {
        loadError_ = errno;
        return false;
    }
    // A large regular file is read straight into memory of its own (see AllocateLarge). It
    // is not mapped: a file cut short by another program while it is read would end the
    // process with a bus error. An empty regular file may still have content (files under
    // /proc), so it is read the plain way.
    const auto size = static_cast<std::size_t>(info.st_size);
    if (S_ISREG(info.st_mode) && info.st_size > 0 && info.st_size < MaxReservedBytes &&
        size >= LargeMemoryBytes && (large_ = AllocateLarge(size)) != nullptr) {
        largeBytes_ = size;
        auto* into = static_cast<char*>(large_);
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ReadSome(file.fd, into + got, size - got);
            if (n < 0) {
                loadError_ = errno;
                Release();
                return false;
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        char more = 0;
        if (ReadSome(file.fd, &more, 1) == 0) {
            bytes_ = std::string_view(into, got);
            return true;
        }
        // The file grew while it was read: read it again, whole, the plain way.
        Release();
        if (::lseek(file.fd, 0, SEEK_SET) != 0) {
            loadError_ = errno;
            return false;
        }
    }
    if (!ReadAll(file.fd, info, copy_)) {
        loadError_ = errno;
        return false;
    }
    bytes_ = copy_;
    return true;
}

}  // namespace zir
