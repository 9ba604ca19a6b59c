// Animated GIF recording: pictures go in as they were shown, with the time they appeared;
// each is stored as the rectangle that changed since the previous one, with an exact
// palette where that rectangle has at most 256 colours and a median-cut palette otherwise.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zir {

struct GifRecording;  // the open file and the picture waiting for its duration

struct GifRecordingDeleter {
    void operator()(GifRecording* r) const;
};
using GifRecorder = std::unique_ptr<GifRecording, GifRecordingDeleter>;

// Opens the file for pictures of this size; null when it cannot be written.
GifRecorder GifOpen(const std::string& path, int width, int height);

// Adds the picture (an image of the recorder's size, any pixel format) shown from timeMs on.
// Times never decrease. A picture equal to the previous one adds nothing, and a picture
// shown for less than a hundredth of a second gives way to the next.
void GifAddPicture(GifRecording& gif, const std::uint8_t* image, std::int64_t timeMs);

// Writes the last picture, held for holdMs, and closes the file; the animation loops for
// ever. False when anything could not be written.
bool GifClose(GifRecorder gif, std::int64_t holdMs);

}  // namespace zir
