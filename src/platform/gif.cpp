#include "platform/gif.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/image.h"

namespace zir {

struct GifRecording {
    FileWriter file;
    std::string bytes;  // written but not yet passed to the file
    int width = 0;
    int height = 0;
    bool failed = false;
    std::vector<std::uint16_t> shown;    // the picture the file shows so far (RGB565)
    std::vector<std::uint16_t> pending;  // the next picture, not yet written
    std::int64_t pendingMs = -1;         // when it appeared; -1 while there is none
};

void GifRecordingDeleter::operator()(GifRecording* r) const {
    std::default_delete<GifRecording>()(r);
}

namespace {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// The smallest rectangle holding every pixel where the two pictures differ.
Rect Changed(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b, int width,
             int height) {
    int x1 = width, y1 = height, x2 = -1, y2 = -1;
    for (int y = 0; y < height; ++y) {
        const std::uint16_t* ra = a.data() + static_cast<std::size_t>(y) * width;
        const std::uint16_t* rb = b.data() + static_cast<std::size_t>(y) * width;
        if (std::memcmp(ra, rb, sizeof(std::uint16_t) * width) == 0) continue;
        y1 = std::min(y1, y), y2 = y;
        int left = 0, right = width - 1;
        while (ra[left] == rb[left]) ++left;
        while (ra[right] == rb[right]) --right;
        x1 = std::min(x1, left), x2 = std::max(x2, right);
    }
    if (x2 < 0) return {};
    return {x1, y1, x2 - x1 + 1, y2 - y1 + 1};
}

// A palette of at most 256 entries for the colours counted in the histogram, by median
// cut in RGB565 space, and for every colour its palette index.
struct Palette {
    std::vector<std::uint16_t> colours;
    std::vector<std::uint8_t> index;  // by RGB565 value
};

struct Box {
    std::vector<std::uint16_t> members;
    std::uint64_t weight = 0;
};

int Channel(std::uint16_t p, int c) {
    return c == 0 ? p >> 11 : c == 1 ? (p >> 5) & 63 : p & 31;
}

Palette MakePalette(const std::vector<std::uint32_t>& histogram) {
    Palette pal;
    pal.index.assign(65536, 0);
    std::vector<std::uint16_t> used;
    for (int p = 0; p < 65536; ++p)
        if (histogram[p]) used.push_back(static_cast<std::uint16_t>(p));
    if (used.size() <= 256) {
        for (std::size_t i = 0; i < used.size(); ++i)
            pal.index[used[i]] = static_cast<std::uint8_t>(i);
        pal.colours = std::move(used);
        return pal;
    }
    std::vector<Box> boxes(1);
    boxes[0].members = used;
    for (auto p : used) boxes[0].weight += histogram[p];
    while (boxes.size() < 256) {
        // Split the heaviest box that still has more than one colour, along its widest
        // channel (scaled to 8 bits), at the weighted median.
        int pick = -1;
        for (std::size_t i = 0; i < boxes.size(); ++i)
            if (boxes[i].members.size() > 1 && (pick < 0 || boxes[i].weight > boxes[pick].weight))
                pick = static_cast<int>(i);
        if (pick < 0) break;
        Box& box = boxes[pick];
        int axis = 0, widest = -1;
        for (int c = 0; c < 3; ++c) {
            int lo = 255, hi = 0;
            for (auto p : box.members)
                lo = std::min(lo, Channel(p, c)), hi = std::max(hi, Channel(p, c));
            int span = (hi - lo) * (c == 1 ? 4 : 8);
            if (span > widest) widest = span, axis = c;
        }
        std::sort(box.members.begin(), box.members.end(), [&](std::uint16_t a, std::uint16_t b) {
            return Channel(a, axis) != Channel(b, axis) ? Channel(a, axis) < Channel(b, axis)
                                                        : a < b;
        });
        std::uint64_t half = 0, target = box.weight / 2;
        std::size_t cut = 1;
        for (; cut < box.members.size() - 1; ++cut) {
            half += histogram[box.members[cut - 1]];
            if (half >= target) break;
        }
        Box upper;
        upper.members.assign(box.members.begin() + static_cast<std::ptrdiff_t>(cut),
                             box.members.end());
        box.members.resize(cut);
        box.weight = 0;
        for (auto p : box.members) box.weight += histogram[p];
        for (auto p : upper.members) upper.weight += histogram[p];
        boxes.push_back(std::move(upper));
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        std::uint64_t sum[3] = {0, 0, 0};
        for (auto p : boxes[i].members)
            for (int c = 0; c < 3; ++c) sum[c] += std::uint64_t{histogram[p]} * Channel(p, c);
        std::uint64_t w = std::max<std::uint64_t>(boxes[i].weight, 1);
        std::uint16_t mean = static_cast<std::uint16_t>(
            (sum[0] + w / 2) / w << 11 | (sum[1] + w / 2) / w << 5 | (sum[2] + w / 2) / w);
        pal.colours.push_back(mean);
        for (auto p : boxes[i].members) pal.index[p] = static_cast<std::uint8_t>(i);
    }
    return pal;
}

void PutByte(std::string& out, int b) {
    out.push_back(static_cast<char>(b));
}

void PutWord(std::string& out, int w) {  // little-endian, as every GIF number
    PutByte(out, w & 0xFF), PutByte(out, w >> 8 & 0xFF);
}

// The codes of one image, packed least significant bit first into data sub-blocks of at
// most 255 bytes each.
struct CodeWriter {
    std::string& out;
    std::uint32_t bits = 0;
    int bitCount = 0;
    std::string block;

    void Put(int code, int codeBits) {
        bits |= static_cast<std::uint32_t>(code) << bitCount;
        for (bitCount += codeBits; bitCount >= 8; bitCount -= 8, bits >>= 8) Byte(bits & 0xFF);
    }
    void Byte(std::uint32_t b) {
        block.push_back(static_cast<char>(b));
        if (block.size() == 255) Flush();
    }
    void Flush() {
        PutByte(out, static_cast<int>(block.size()));
        out += block;
        block.clear();
    }
    void Finish() {
        if (bitCount > 0) Byte(bits & 0xFF);
        if (!block.empty()) Flush();
        PutByte(out, 0);  // the empty sub-block that ends the image
    }
};

// Compresses the palette indices by LZW with codes of growing width, starting afresh with a
// clear code whenever the 4096 codes are used up. The dictionary is a hash of (prefix code,
// next index) pairs, half full at most.
void PutLzw(std::string& out, const std::vector<std::uint8_t>& indices, int minCodeBits) {
    constexpr int MaxCodes = 4096, HashSize = 8192;
    const int clear = 1 << minCodeBits, end = clear + 1;
    std::vector<std::uint32_t> keys(HashSize);  // pair + 1; 0 for an empty slot
    std::vector<std::uint16_t> codes(HashSize);
    int next = end + 1, codeBits = minCodeBits + 1;
    PutByte(out, minCodeBits);
    CodeWriter w{out, 0, 0, {}};
    w.Put(clear, codeBits);
    int prefix = indices.empty() ? -1 : indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8 | indices[i]) + 1;
        std::uint32_t slot = key * 2654435761u >> 19;
        while (keys[slot] != 0 && keys[slot] != key) slot = (slot + 1) & (HashSize - 1);
        if (keys[slot] == key) {
            prefix = codes[slot];
            continue;
        }
        w.Put(prefix, codeBits);
        // A decoder widens its codes once the next entry's number no longer fits.
        if (next == 1 << codeBits && codeBits < 12) ++codeBits;
        keys[slot] = key;
        codes[slot] = static_cast<std::uint16_t>(next++);
        if (next == MaxCodes) {
            w.Put(clear, codeBits);
            std::fill(keys.begin(), keys.end(), 0);
            next = end + 1, codeBits = minCodeBits + 1;
        }
        prefix = indices[i];
    }
    if (prefix >= 0) {
        w.Put(prefix, codeBits);
        // The decoder adds an entry for this last code too before it reads the end code.
        if (next == 1 << codeBits && codeBits < 12) ++codeBits;
    }
    w.Put(end, codeBits);
    w.Finish();
}

// Passes the bytes gathered so far to the file once there are many of them, or at the end.
void Drain(GifRecording& gif, bool all) {
    if (!all && gif.bytes.size() < (1u << 20)) return;
    gif.failed |= !gif.file.Write(gif.bytes);
    gif.bytes.clear();
}

// Writes the pending picture, shown for delayCs hundredths of a second.
void WritePending(GifRecording& gif, int delayCs) {
    Rect r = gif.shown.empty() ? Rect{0, 0, gif.width, gif.height}
                               : Changed(gif.shown, gif.pending, gif.width, gif.height);
    if (r.w == 0) r = {0, 0, 1, 1};  // nothing changed: a one-pixel frame carries the delay
    std::vector<std::uint32_t> histogram(65536, 0);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            ++histogram[gif.pending[static_cast<std::size_t>(y) * gif.width + x]];
    Palette pal = MakePalette(histogram);
    int tableBits = 1;
    while (1 << tableBits < static_cast<int>(pal.colours.size())) ++tableBits;
    std::string& out = gif.bytes;
    // Graphic control: left in place for the next frame to draw over, no transparency.
    PutByte(out, 0x21), PutByte(out, 0xF9), PutByte(out, 4), PutByte(out, 1 << 2);
    PutWord(out, std::clamp(delayCs, 1, 65535));
    PutByte(out, 0xFF), PutByte(out, 0);  // transparency off; its index unused
    PutByte(out, 0x2C);
    PutWord(out, r.x), PutWord(out, r.y), PutWord(out, r.w), PutWord(out, r.h);
    PutByte(out, 0x80 | (tableBits - 1));  // a local colour table, not interlaced
    for (int i = 0; i < 1 << tableBits; ++i) {
        const Colour c =
            i < static_cast<int>(pal.colours.size()) ? ColourFrom565(pal.colours[i]) : Colour{};
        PutByte(out, c.Red()), PutByte(out, c.Green()), PutByte(out, c.Blue());
    }
    std::vector<std::uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(r.w) * r.h);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            indices.push_back(pal.index[gif.pending[static_cast<std::size_t>(y) * gif.width + x]]);
    PutLzw(out, indices, std::max(tableBits, 2));
    Drain(gif, false);
    // Later pictures are compared with the source colours, so a quantised area is only
    // written again where the picture itself changes.
    if (gif.shown.empty()) gif.shown.assign(gif.pending.size(), 0);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * gif.width + x;
            gif.shown[i] = gif.pending[i];
        }
}

std::int64_t Centiseconds(std::int64_t ms) {
    return (ms + 5) / 10;
}

}  // namespace

GifRecorder GifOpen(const std::string& path, int width, int height) {
    if (width < 1 || height < 1 || width > 65535 || height > 65535) return nullptr;
    GifRecorder gif{std::make_unique<GifRecording>().release()};
    if (!gif->file.Open(path)) return nullptr;
    gif->width = width;
    gif->height = height;
    std::string& out = gif->bytes;
    out = "GIF89a";
    PutWord(out, width), PutWord(out, height);
    PutByte(out, 0x77), PutByte(out, 0), PutByte(out, 0);  // 8-bit colour, no global table
    // The application extension that makes the animation loop for ever (repeat count 0).
    PutByte(out, 0x21), PutByte(out, 0xFF), PutByte(out, 11);
    out += "NETSCAPE2.0";
    PutByte(out, 3), PutByte(out, 1), PutWord(out, 0), PutByte(out, 0);
    return gif;
}

void GifAddPicture(GifRecording& gif, const std::uint8_t* image, std::int64_t timeMs) {
    if (!ImageHeaderValid(image) || ImageWidth(image) != gif.width ||
        ImageHeight(image) != gif.height) {
        return;
    }
    std::vector<std::uint16_t> picture(static_cast<std::size_t>(gif.width) * gif.height);
    if (ImageBytesPerPixel(image) == 2) {
        std::memcpy(picture.data(), ImagePixels(image), picture.size() * 2);
    } else {
        for (int y = 0; y < gif.height; ++y)
            for (int x = 0; x < gif.width; ++x)
                picture[static_cast<std::size_t>(y) * gif.width + x] =
                    Rgb565(ImageColourAt(image, x, y));
    }
    if (gif.pendingMs >= 0) {
        if (picture == gif.pending) return;  // still the same picture
        const std::int64_t delay = Centiseconds(timeMs) - Centiseconds(gif.pendingMs);
        if (delay > 0) {
            WritePending(gif, static_cast<int>(delay));
        } else {
            // Replaced within the same hundredth of a second: never really seen.
            gif.pending = std::move(picture);
            return;
        }
    }
    gif.pending = std::move(picture);
    gif.pendingMs = timeMs;
}

bool GifClose(GifRecorder gif, std::int64_t holdMs) {
    if (!gif) return false;
    if (gif->pendingMs >= 0)
        WritePending(*gif, static_cast<int>(std::max<std::int64_t>(Centiseconds(holdMs), 1)));
    PutByte(gif->bytes, 0x3B);  // the trailer
    Drain(*gif, true);
    return gif->file.Close() && !gif->failed;
}

}  // namespace zir
