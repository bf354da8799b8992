#pragma once

#include <string>

namespace lupenta::win32 {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

} // namespace lupenta::win32
