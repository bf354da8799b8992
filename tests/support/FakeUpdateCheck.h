#pragma once

#include "update/VersionCheck.h"

#include <functional>
#include <string>
#include <vector>

namespace lupenta::testing {

// Answers every download with `reply`; the addresses asked for are kept.
class FakeDownloader : public TextDownloader {
public:
    DownloadResult reply;
    std::vector<std::string> addresses;

    DownloadResult DownloadText(const std::string& address) override {
        addresses.push_back(address);
        return reply;
    }
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
