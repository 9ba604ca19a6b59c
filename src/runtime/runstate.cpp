#include "runtime/runstate.h"

#include <cstring>
#include <type_traits>

namespace zir {
namespace {

static_assert(std::is_standard_layout_v<RunState>);
// The colour settings are words too, written as raw bytes.
static_assert(sizeof(Colour) == 4 && std::is_trivially_copyable_v<Colour>);
static_assert(offsetof(RunState, screenDepth) ==
              static_cast<std::size_t>(RunWord::ScreenDepth) * 4);
static_assert(offsetof(RunState, auxColour) == static_cast<std::size_t>(RunWord::AuxColour) * 4);
static_assert(offsetof(RunState, toolSizeSmall) == static_cast<std::size_t>(RunWord::ToolSize) * 4);

RunState gSettings;

std::size_t WordOffset(RunWord word) {
    return static_cast<std::size_t>(word) * 4;
}

}  // namespace

RunState& Settings() {
    return gSettings;
}

void ResetSettings() {
    gSettings = RunState{};
}

// The words are read and written as raw bytes: on the little-endian machines the program
// runs on, the low half of a shared word is the field that comes first.
Line WithDefaultStyle(Line l) {
    if (IsUndefined(l)) return l;
    const RunState& s = Settings();
    l.style = s.lineStyle;
    l.width = static_cast<std::int16_t>(s.lineWidth);
    return l;
}

void SetRunWord(RunState& state, RunWord word, std::uint32_t value) {
    if (word < RunWord::Count) {
        std::memcpy(reinterpret_cast<unsigned char*>(&state) + WordOffset(word), &value, 4);
    }
}

}  // namespace zir
