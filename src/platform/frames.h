// Recording of every picture the viewer is shown, as DIR/frame-NNNNN.png (numbered from 0)
// and DIR/frames.tsv (a header line, then frame number and milliseconds, tab-separated).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace zir {

struct FrameRecorder {
    std::string dir;  // empty while not recording
    std::FILE* table = nullptr;
    int count = 0;
    FrameRecorder() = default;
    FrameRecorder(const FrameRecorder&) = delete;
    FrameRecorder& operator=(const FrameRecorder&) = delete;
    ~FrameRecorder();
};

// Makes the directory if needed and removes the frames of an earlier recording there (only
// files named like ours). False, with the reason in message, when it cannot be written.
bool FramesStart(FrameRecorder& recorder, const std::string& dir, std::string& message);
// Writes one frame; after a failed write (a full disk) says so once and records no more.
void FramesCapture(FrameRecorder& recorder, const std::uint8_t* image, double timeMs);
void FramesStop(FrameRecorder& recorder);

}  // namespace zir
