#pragma once

#include "ui/Component.h"
#include "ui/Property.h"

#include <functional>

namespace lupenta::ui {

// A window-message timer: the peer runs OnTimer every Interval milliseconds while Enabled.
class TTimer : public Component {
public:
    TTimer(std::string name, int interval) : Component(std::move(name)), Interval(interval) {
        Watch(Enabled);
        Watch(Interval);
    }

    Property<bool> Enabled{true};
    Property<int> Interval;
    std::function<void()> OnTimer;

    void Fire() {
        if (Enabled && OnTimer)
            OnTimer();
    }
};

} // namespace lupenta::ui
