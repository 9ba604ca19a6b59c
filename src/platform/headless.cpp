// The headless backend: no window, a virtual clock and the viewer's input from a file.
#include <algorithm>

#include "platform/backend.h"

namespace zir {
namespace {

constexpr ScreenInfo HeadlessDesktop{1920, 1080, 16};

class HeadlessBackend final : public Backend {
  public:
    HeadlessBackend(ViewerState& viewer, std::vector<ViewerEvent> events, std::int64_t maxMs,
                    bool replay)
        : viewer_(viewer),
          events_(std::move(events)),
          maxMs_(std::max<std::int64_t>(maxMs, 0)),
          replay_(replay) {}

    bool ShowScreen(int width, int height) override {
        screenWidth_ = width;
        screenHeight_ = height;
        UpdateInside();
        return true;
    }
    void Present(const std::uint8_t*) override {}
    void SetTitle(const std::string&) override {}
    void SetIcon(const std::uint8_t*) override {}
    ScreenInfo Desktop() override { return HeadlessDesktop; }
    double ClockMs() override { return static_cast<double>(nowMs_); }

    // A poll that repeats with no sleep or wait since the same poll before lets 1 ms pass,
    // so that a loop that polls without sleeping still reaches the next event.
    void Poll(PollKind kind) override {
        bool& polled = kind == PollKind::Key ? keyPolled_ : mousePolled_;
        if (polled) {
            keyPolled_ = mousePolled_ = false;
            AdvanceTo(nowMs_ + 1);
        }
        polled = true;
        AdvanceTo(nowMs_);
    }

    void Pass(int ms) override {
        keyPolled_ = mousePolled_ = false;
        AdvanceTo(nowMs_ + std::max(ms, 0));
    }

    void Wait(int maxMs) override {
        keyPolled_ = mousePolled_ = false;
        if (replay_) {
            AdvanceTo(nowMs_ + std::max(maxMs, 0));
            return;
        }
        if (next_ >= events_.size()) {
            viewer_.closeRequested = true;
            return;
        }
        AdvanceTo(std::max(nowMs_, events_[next_].timeMs));
    }

    void KeepAlive() override {}

  private:
    // Lets the clock run to targetMs, applying the events met on the way; stops at a close.
    void AdvanceTo(std::int64_t targetMs) {
        targetMs = std::min(targetMs, maxMs_ + 1);
        while (next_ < events_.size() && events_[next_].timeMs <= targetMs &&
               !viewer_.closeRequested) {
            nowMs_ = std::max(nowMs_, events_[next_].timeMs);
            ApplyViewerEvent(viewer_, events_[next_++], screenWidth_, screenHeight_);
        }
        if (viewer_.closeRequested) return;
        nowMs_ = targetMs;
        if (nowMs_ > maxMs_) viewer_.closeRequested = true;
    }

    void UpdateInside() {
        viewer_.inside = viewer_.x >= 0 && viewer_.y >= 0 && viewer_.x < screenWidth_ &&
                         viewer_.y < screenHeight_;
    }

    ViewerState& viewer_;
    std::vector<ViewerEvent> events_;
    std::int64_t maxMs_ = 0;
    std::size_t next_ = 0;
    std::int64_t nowMs_ = 0;
    bool replay_ = false;
    bool keyPolled_ = false;
    bool mousePolled_ = false;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
};

}  // namespace

std::unique_ptr<Backend> MakeHeadlessBackend(ViewerState& viewer, std::vector<ViewerEvent> events,
                                             std::int64_t maxVirtualMs, bool replay) {
    return std::make_unique<HeadlessBackend>(viewer, std::move(events), maxVirtualMs, replay);
}

}  // namespace zir
