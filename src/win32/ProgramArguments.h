#pragma once

#include <string>
#include <vector>

namespace lupenta::win32 {

// The process's command line split as the shell splits it (quoted words keep their spaces,
// quotes removed), the program's path first; UTF-8.
std::vector<std::string> ProgramArguments();

// The full path of the running executable, UTF-8; empty when the platform does not say.
std::string ExecutablePath();

} // namespace lupenta::win32
