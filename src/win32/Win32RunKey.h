#pragma once

#include "platform/RunKey.h"

#include <string>
#include <utility>

namespace lupenta::win32 {

// The log-on Run key of the current user in the registry. Values are REG_SZ.
class Win32RunKey final : public RunKey {
public:
    static constexpr const wchar_t* kRunKeyPath =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    // Any other path under HKEY_CURRENT_USER serves tests that need a key that is missing.
    explicit Win32RunKey(std::wstring keyPath = kRunKeyPath) : keyPath_(std::move(keyPath)) {}

    bool Exists(const std::string& name) override;
    WriteResult Write(const std::string& name, const std::string& data) override;
    void Remove(const std::string& name) override;

private:
    std::wstring keyPath_;
};

} // namespace lupenta::win32
