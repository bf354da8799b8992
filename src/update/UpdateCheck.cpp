#include "update/UpdateCheck.h"

#include "main/StayOnTopPause.h"
#include "main/fmMagnifier.h"

#include <exception>

namespace lupenta {

namespace {

// Pauses the sampling timer and drops stay-on-top for as long as the dialog is open.
class DialogBracket {
public:
    explicit DialogBracket(Tfrmmain& form)
        : form_(form), timerWasEnabled_(form.Timer1.Enabled), onTop_(form) {
        form_.Timer1.Enabled = false;
    }
    ~DialogBracket() { form_.Timer1.Enabled = timerWasEnabled_; }
    DialogBracket(const DialogBracket&) = delete;
    DialogBracket& operator=(const DialogBracket&) = delete;

private:
    Tfrmmain& form_;
    bool timerWasEnabled_;
    StayOnTopPause onTop_;
};

std::string ShowOutcome(Tfrmmain& form, const DownloadResult& download,
                        UpdatePresenter& presenter) {
    if (!download.text)
        return download.error.empty() ? std::string("download failed") : download.error;
    const std::optional<UpdateOutcome> outcome = ReadVersionFile(*download.text, form.version);
    if (!outcome)
        return "incorrect data found";
    const DialogBracket bracket(form);
    presenter.ShowUpdateDialog(*outcome);
    return {};
}

} // namespace

TUpdateCheck::TUpdateCheck(VersionFetcher& fetcher, UpdatePresenter& presenter, Desktop& desktop,
                           CheckClock::time_point (*now)())
    : fetcher_(fetcher), presenter_(presenter), desktop_(desktop), now_(now) {
    tmrDeadline.Enabled = false;
    tmrDeadline.OnTimer = [this] {
        fetcher_.Cancel();
        Finish({std::nullopt, "no reply within " + std::to_string(kCheckDeadline.count()) + " ms"});
    };
}

TUpdateCheck::~TUpdateCheck() {
    if (Waiting())
        fetcher_.Cancel();
}

void TUpdateCheck::Start(Tfrmmain& form) {
    if (Waiting())
        return;
    form_ = &form;
    lastFailure_.clear();
    tmrDeadline.Enabled = true;
    fetcher_.Start(VersionFileAddress(), now_() + kCheckDeadline,
                   [this](const DownloadResult& download) { Finish(download); });
}

void TUpdateCheck::Finish(const DownloadResult& download) {
    if (!Waiting())
        return;
    tmrDeadline.Enabled = false;
    Tfrmmain& form = *form_;
    // No longer waiting: nothing the dialog's message loop runs can finish this check again.
    form_ = nullptr;
    std::string failure;
    // Whatever goes wrong, the user sees the same warning and can try again.
    try {
        failure = ShowOutcome(form, download, presenter_);
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (!failure.empty())
        desktop_.ShowMessage(kConnectionWarning, "Warning", MessageIcon::Warning, false);
    form.CheckforUpdates1.Enabled = true;
    lastFailure_ = failure;
}

} // namespace lupenta
