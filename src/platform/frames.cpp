#include "platform/frames.h"

#include <cmath>
#include <filesystem>
#include <regex>
#include <system_error>

#include "platform/png.h"

namespace zir {

namespace fs = std::filesystem;

FrameRecorder::~FrameRecorder() {
    FramesStop(*this);
}

bool FramesStart(FrameRecorder& recorder, const std::string& dir, std::string& message) {
    FramesStop(recorder);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) {
        message = dir + ": cannot make the frames directory";
        return false;
    }
    static const std::regex OurName{R"(frame-[0-9]{5,}\.png)"};
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
        if (std::regex_match(entry.path().filename().string(), OurName)) {
            fs::remove(entry.path(), ec);
        }
    }
    std::string tablePath = (fs::path(dir) / "frames.tsv").string();
    recorder.table = std::fopen(tablePath.c_str(), "w");
    if (!recorder.table) {
        message = tablePath + ": cannot be written";
        return false;
    }
    std::fputs("frame\tms\n", recorder.table);
    recorder.dir = dir;
    recorder.count = 0;
    return true;
}

void FramesCapture(FrameRecorder& recorder, const std::uint8_t* image, double timeMs) {
    if (recorder.dir.empty() || !image) return;
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05d.png", recorder.count);
    std::string path = (fs::path(recorder.dir) / name).string();
    if (!WritePng(path, image) || std::fprintf(recorder.table, "%d\t%lld\n", recorder.count,
                                               static_cast<long long>(std::llround(timeMs))) < 0) {
        std::fprintf(stderr, "zirkula: %s: cannot be written; no more frames are recorded\n",
                     path.c_str());
        FramesStop(recorder);
        return;
    }
    ++recorder.count;
}

void FramesStop(FrameRecorder& recorder) {
    if (recorder.table) std::fclose(recorder.table);
    recorder.table = nullptr;
    recorder.dir.clear();
}

}  // namespace zir
