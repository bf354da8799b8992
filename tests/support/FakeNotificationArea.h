#pragma once

#include "tray/TrayIcon.h"

#include <deque>
#include <string>
#include <vector>

namespace lupenta::testing {

// A notification area that holds at most the one icon and records every request. Results
// queued in `script` are given out first, one per request; after them the area answers as a
// shell would: adding needs the icon absent, every other request needs it present.
class FakeNotificationArea : public NotificationArea {
public:
    struct Request {
        NotifyRequest request;
        std::uint32_t flags;
        std::string tip;
        bool operator==(const Request&) const = default;
    };
    struct Popup {
        std::string menu;
        Point at;
    };

    bool iconPresent = false;
    std::string tip;
    std::deque<NotifyResult> script;
    // The error a refused request leaves behind.
    std::uint32_t refusalError = 1;
    std::vector<Request> requests;
    std::vector<int> sleeps;
    std::vector<Popup> popups;

    void SetTip(const std::string& text) override { tip = text; }

    NotifyResult Send(NotifyRequest request, std::uint32_t flags) override {
        requests.push_back({request, flags, tip});
        NotifyResult result;
        if (!script.empty()) {
            result = script.front();
            script.pop_front();
        } else {
            const bool ok = request == NotifyRequest::Add ? !iconPresent : iconPresent;
            result = {ok, ok ? 0 : refusalError};
        }
        if (result.ok)
            iconPresent = request != NotifyRequest::Delete;
        return result;
    }

    void Sleep(int milliseconds) override { sleeps.push_back(milliseconds); }

    void PopupMenu(ui::TPopupMenu& menu, Point at) override { popups.push_back({menu.Name(), at}); }

    // The kinds of the requests sent so far, in order.
    std::vector<NotifyRequest> Kinds() const {
        std::vector<NotifyRequest> kinds;
        for (const Request& r : requests)
            kinds.push_back(r.request);
        return kinds;
    }
};

} // namespace lupenta::testing
