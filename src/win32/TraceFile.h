#pragma once

#include "view/FrameTrace.h"

#include <memory>
#include <string>

#include <windows.h>

namespace lupenta::win32 {

// Microseconds from the performance counter.
class PerformanceClock final : public TraceClock {
public:
    PerformanceClock();
    std::int64_t Microseconds() override;

private:
    LARGE_INTEGER frequency_{};
};

// The trace's lines, kept until the trace flushes them and then appended to the file.
class TraceFile final : public TraceOutput {
public:
    explicit TraceFile(const std::string& path);
    ~TraceFile() override;
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    void Write(const std::string& text) override { pending_ += text; }
    void Flush() override;

private:
    HANDLE file_;
    std::string pending_;
};

// The frame trace the user asked for with the environment variable LUPENTA_TRACE, naming the
// file (a relative name lies beside the program); none when it is unset or the file cannot be
// created.
class RequestedTrace {
public:
    static std::unique_ptr<RequestedTrace> FromEnvironment(const std::string& programFolder);

    explicit RequestedTrace(const std::string& path);
    FrameTrace& Trace() { return trace_; }

private:
    PerformanceClock clock_;
    TraceFile file_;
    FrameTrace trace_;
};

} // namespace lupenta::win32
