#pragma once

#include <string>

namespace lupenta {

// The current user's key of programs the platform starts at log-on, one named text value per
// program. The key is opened for each call and never created: where it is missing or cannot
// be opened, nothing is read, written or removed.
class RunKey {
public:
    enum class WriteResult { Written, KeyNotOpened, Failed };

    virtual ~RunKey() = default;

    // Whether a value of that name exists, of any type; false when the key cannot be opened.
    virtual bool Exists(const std::string& name) = 0;
    // Sets the value to the text, replacing any value of that name.
    virtual WriteResult Write(const std::string& name, const std::string& data) = 0;
    // Deletes the value; a value that is not there is no error.
    virtual void Remove(const std::string& name) = 0;
};

} // namespace lupenta
