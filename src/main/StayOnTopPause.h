#pragma once

#include "main/fmMagnifier.h"

namespace lupenta {

// A window that stays on top would cover the program's own dialogs, so stay-on-top is dropped
// for as long as one is open and brought back when it closes.
class StayOnTopPause {
public:
    explicit StayOnTopPause(Tfrmmain& form) : form_(form), wasOnTop_(form.StayOnTop1.Checked) {
        if (wasOnTop_)
            form_.SetStayOnTop(false);
    }
    ~StayOnTopPause() {
        if (wasOnTop_)
            form_.SetStayOnTop(true);
    }
    StayOnTopPause(const StayOnTopPause&) = delete;
    StayOnTopPause& operator=(const StayOnTopPause&) = delete;

private:
    Tfrmmain& form_;
    bool wasOnTop_;
};

} // namespace lupenta
