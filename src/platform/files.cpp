#include "platform/files.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

namespace zir {
namespace {

// A file larger than this grows its buffer as it is read, so a wrong size cannot ask for
// more memory than the file holds.
constexpr off_t MaxReservedBytes = off_t{1} << 30;

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{std::fopen(path.c_str(), "rb"),
                                                         std::fclose};
    if (!file) return false;
    // One allocation for a file whose size can be known; the reads below still take what
    // is really there.
    struct stat info {};
    if (fstat(fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        info.st_size < MaxReservedBytes) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char chunk[65536];
    for (;;) {
        std::size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
        bytes.append(chunk, n);
        if (n < sizeof chunk) break;
    }
    if (std::ferror(file.get())) {
        bytes.clear();
        return false;
    }
    return true;
}

}  // namespace zir
