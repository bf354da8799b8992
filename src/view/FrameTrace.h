#pragma once

// A record of where each tick's time goes, written only when the user asks for it: one line
// per tick with the microseconds spent capturing, on pixel work, presenting and on the rest,
// whether the tick presented a frame, and the frames presented a second.

#include <cstdint>
#include <string>

namespace lupenta {

class TraceClock {
public:
    virtual ~TraceClock() = default;
    // A steady count of microseconds from any origin.
    virtual std::int64_t Microseconds() = 0;
};

class TraceOutput {
public:
    virtual ~TraceOutput() = default;
    virtual void Write(const std::string& text) = 0;
    virtual void Flush() = 0;
};

enum class FrameStage { Capture, Pixels, Present, Rest };

class FrameTrace {
public:
    static constexpr const char* kHeader =
        "time_us capture_us pixels_us present_us rest_us presented fps\n";

    FrameTrace(TraceClock& clock, TraceOutput& output);

    // The sampling timer fired: a tick that never reached a paint is written as it stands.
    void StartTick();
    // The paint begins. The wait since the tick handler ended is the message loop's, not the
    // tick's, so it counts nowhere; a paint the timer did not cause is a tick of its own.
    void StartPaint();
    // Counts the time since the last mark towards `stage`.
    void Lap(FrameStage stage);
    // The paint is over: the tick's line is written.
    void EndPaint(bool presented);

private:
    void WriteTick(bool presented);

    TraceClock& clock_;
    TraceOutput& output_;
    std::int64_t origin_;
    std::int64_t tickStart_ = 0;
    std::int64_t mark_ = 0;
    bool open_ = false;
    std::int64_t spent_[4] = {};
    // Frames presented since `secondStart_`; the rate shown is that of the last full second.
    std::int64_t secondStart_;
    int presentsThisSecond_ = 0;
    double fps_ = 0;
};

// Where the trace goes when the user asked for `requested`: a relative path lies in the
// program's folder (given without a trailing separator).
std::string TraceFilePath(const std::string& requested, const std::string& programFolder,
                          char separator);

} // namespace lupenta
