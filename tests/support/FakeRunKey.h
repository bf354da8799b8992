#pragma once

#include "platform/RunKey.h"

#include <map>
#include <string>

namespace lupenta::testing {

// A Run key whose values are a map; the key can be missing, or refuse writes.
class FakeRunKey : public RunKey {
public:
    bool keyOpens = true;
    bool writeFails = false;
    std::map<std::string, std::string> values;
    int writes = 0;
    int removes = 0;

    bool Exists(const std::string& name) override { return keyOpens && values.count(name) > 0; }
    WriteResult Write(const std::string& name, const std::string& data) override {
        ++writes;
        if (!keyOpens)
            return WriteResult::KeyNotOpened;
        if (writeFails)
            return WriteResult::Failed;
        values[name] = data;
        return WriteResult::Written;
    }
    void Remove(const std::string& name) override {
        ++removes;
        if (keyOpens)
            values.erase(name);
    }
};

} // namespace lupenta::testing
