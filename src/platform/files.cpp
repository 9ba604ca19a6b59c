#include "platform/files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace zir {
namespace {

// A file larger than this grows its buffer as it is read, so a wrong size cannot ask for
// more memory than the file holds.
constexpr off_t MaxReservedBytes = off_t{1} << 30;

// A file larger than this is read, not mapped: its mapping would cost as much address space.
constexpr off_t MaxMappedBytes = off_t{1} << 30;

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

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
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
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

FileBytes::~FileBytes() {
    Release();
}

void FileBytes::Release() {
    if (mapped_) ::munmap(mapped_, mappedBytes_);
    mapped_ = nullptr;
    mappedBytes_ = 0;
    copy_.clear();
    bytes_ = {};
}

bool FileBytes::Load(const std::string& path) {
    Release();
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0) return false;
    // An empty regular file may still have content (files under /proc), so it is read.
    if (S_ISREG(info.st_mode) && info.st_size > 0 && info.st_size < MaxMappedBytes) {
        const auto size = static_cast<std::size_t>(info.st_size);
        // The pages are in the page cache after the first read of the file; populating the
        // mapping at once spares a fault per page as they are read.
        void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.fd, 0);
        if (p != MAP_FAILED) {
            mapped_ = p;
            mappedBytes_ = size;
            bytes_ = std::string_view(static_cast<const char*>(p), size);
            return true;
        }
    }
    if (!ReadAll(file.fd, info, copy_)) return false;
    bytes_ = copy_;
    return true;
}

}  // namespace zir
