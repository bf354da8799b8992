#include "win32/Win32RunKey.h"

#include "win32/Text.h"

#include <windows.h>

namespace lupenta::win32 {

namespace {

// Owns an open registry key; a failed open leaves it empty.
class OpenKey {
public:
    explicit OpenKey(const std::wstring& path) {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key_) !=
            ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~OpenKey() {
        if (key_)
            RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

} // namespace

bool Win32RunKey::Exists(const std::string& name) {
    OpenKey key(keyPath_);
    return key && RegQueryValueExW(key.get(), Widen(name).c_str(), nullptr, nullptr, nullptr,
                                   nullptr) == ERROR_SUCCESS;
}

RunKey::WriteResult Win32RunKey::Write(const std::string& name, const std::string& data) {
    OpenKey key(keyPath_);
    if (!key)
        return WriteResult::KeyNotOpened;
    const std::wstring text = Widen(data);
    // REG_SZ data carries its terminating zero.
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    const LSTATUS status = RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    return status == ERROR_SUCCESS ? WriteResult::Written : WriteResult::Failed;
}

void Win32RunKey::Remove(const std::string& name) {
    OpenKey key(keyPath_);
    if (key)
        RegDeleteValueW(key.get(), Widen(name).c_str());
}

} // namespace lupenta::win32
