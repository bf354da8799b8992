#include "view/FrameTrace.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace lupenta {

namespace {

constexpr std::int64_t kSecond = 1000000;

bool IsAbsolute(const std::string& path) {
    const bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
    const bool drive = path.size() >= 2 && path[1] == ':';
    return rooted || drive;
}

} // namespace

FrameTrace::FrameTrace(TraceClock& clock, TraceOutput& output)
    : clock_(clock), output_(output), origin_(clock.Microseconds()), secondStart_(origin_) {
    output_.Write(kHeader);
    output_.Flush();
}

void FrameTrace::StartTick() {
    if (open_)
        WriteTick(false);
    open_ = true;
    tickStart_ = mark_ = clock_.Microseconds();
}

void FrameTrace::StartPaint() {
    if (!open_) {
        open_ = true;
        tickStart_ = clock_.Microseconds();
    }
    mark_ = clock_.Microseconds();
}

void FrameTrace::Lap(FrameStage stage) {
    const std::int64_t now = clock_.Microseconds();
    spent_[static_cast<int>(stage)] += now - mark_;
    mark_ = now;
}

void FrameTrace::EndPaint(bool presented) {
    Lap(FrameStage::Rest);
    WriteTick(presented);
}

void FrameTrace::WriteTick(bool presented) {
    open_ = false;
    if (presented)
        ++presentsThisSecond_;
    const std::int64_t now = clock_.Microseconds();
    const bool secondOver = now - secondStart_ >= kSecond;
    if (secondOver) {
        fps_ = static_cast<double>(presentsThisSecond_) * kSecond /
               static_cast<double>(now - secondStart_);
        presentsThisSecond_ = 0;
        secondStart_ = now;
    }
    char line[128];
    std::snprintf(line, sizeof line, "%lld %lld %lld %lld %lld %d %.1f\n",
                  static_cast<long long>(tickStart_ - origin_), static_cast<long long>(spent_[0]),
                  static_cast<long long>(spent_[1]), static_cast<long long>(spent_[2]),
                  static_cast<long long>(spent_[3]), presented ? 1 : 0, fps_);
    output_.Write(line);
    // Written out once a second, so a reader sees the trace grow without paying for a write
    // on every tick.
    if (secondOver)
        output_.Flush();
    std::fill(std::begin(spent_), std::end(spent_), 0);
}

std::string TraceFilePath(const std::string& requested, const std::string& programFolder,
                          char separator) {
    if (IsAbsolute(requested) || programFolder.empty())
        return requested;
    return programFolder + separator + requested;
}

} // namespace lupenta
