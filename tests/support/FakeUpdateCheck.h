#pragma once

#include "update/UpdateCheck.h"
#include "update/VersionCheck.h"

#include <functional>
#include <string>
#include <vector>

namespace lupenta::testing {

// Keeps each fetch asked for; the test answers it with Reply, as the worker would later.
class FakeFetcher : public VersionFetcher {
public:
    struct Request {
        std::string address;
        CheckClock::time_point deadline;
    };
    std::vector<Request> requests;
    int cancels = 0;

    void Start(const std::string& address, CheckClock::time_point deadline,
               std::function<void(DownloadResult)> done) override {
        requests.push_back({address, deadline});
        done_ = std::move(done);
    }
    void Cancel() override {
        ++cancels;
        done_ = nullptr;
    }
    bool InFlight() const { return static_cast<bool>(done_); }
    void Reply(DownloadResult result) {
        auto done = std::move(done_);
        done_ = nullptr;
        done(std::move(result));
    }

private:
    std::function<void(DownloadResult)> done_;
};

// Keeps what each dialog would have shown; `whileOpen` runs while it is "open".
class FakeUpdatePresenter : public UpdatePresenter {
public:
    std::vector<UpdateOutcome> shown;
    std::function<void()> whileOpen;

    void ShowUpdateDialog(const UpdateOutcome& outcome) override {
        shown.push_back(outcome);
        if (whileOpen)
            whileOpen();
    }
};

} // namespace lupenta::testing
