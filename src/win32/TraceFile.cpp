#include "win32/TraceFile.h"

#include "win32/Text.h"

#include <vector>

namespace lupenta::win32 {

PerformanceClock::PerformanceClock() {
    QueryPerformanceFrequency(&frequency_);
}

std::int64_t PerformanceClock::Microseconds() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const std::int64_t ticks = now.QuadPart;
    const std::int64_t perSecond = frequency_.QuadPart > 0 ? frequency_.QuadPart : 1;
    return ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond;
}

TraceFile::TraceFile(const std::string& path)
    : file_(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {}

TraceFile::~TraceFile() {
    Flush();
    if (IsOpen())
        CloseHandle(file_);
}

void TraceFile::Flush() {
    if (IsOpen() && !pending_.empty()) {
        DWORD written = 0;
        WriteFile(file_, pending_.data(), static_cast<DWORD>(pending_.size()), &written, nullptr);
    }
    pending_.clear();
}

std::unique_ptr<RequestedTrace> RequestedTrace::FromEnvironment(const std::string& programFolder) {
    const wchar_t* name = L"LUPENTA_TRACE";
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size <= 1)
        return nullptr;
    std::vector<wchar_t> value(size);
    GetEnvironmentVariableW(name, value.data(), size);
    auto trace =
        std::make_unique<RequestedTrace>(TraceFilePath(Narrow(value.data()), programFolder, '\\'));
    return trace->file_.IsOpen() ? std::move(trace) : nullptr;
}

RequestedTrace::RequestedTrace(const std::string& path) : file_(path), trace_(clock_, file_) {}

} // namespace lupenta::win32
