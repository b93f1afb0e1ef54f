#include "crash/ReporterWindows.h"

#include "crash/ReporterFlow.h"

namespace {
const std::string kSendReport = "Send Report";
const std::string kContinue = "Continue";
const std::string kAbort = "Abort";

DialogTextBox::Options Label() { return {false, false}; }
}  // namespace

ReporterWindows::ReporterWindows(const ReporterContent& content, const DialogFaces& faces, ReporterUpload& upload,
                                 std::function<bool()> askRetry)
    : mUpload(upload), mAskRetry(std::move(askRetry)) {
    auto& report = mWindows[Report] = std::make_unique<Dialog>("Fatal Error!", 400, 300);
    report->AddTextBox(Rect(8, 8, 384, 84), faces.label, Label(), content.header);
    report->SetFocus(&report->AddTextBox(Rect(8, 92, 384, 168), faces.mono, {}, content.report));
    std::vector<ReporterButton> buttons = ReportWindowButtons(content.hasHost, content.hasApp);
    if (buttons.size() == 1) {
        report->AddButton(Rect(8, 268, 384, 24), faces.label, buttons[0].label, buttons[0].enabled);
    } else {
        for (size_t i = 0; i < buttons.size(); ++i)
            report->AddButton(Rect(i == 0 ? 8 : 212, 268, 188, 24), faces.label, buttons[i].label, buttons[i].enabled);
    }

    auto& details = mWindows[Details] = std::make_unique<Dialog>("Error Details", 400, 300);
    details->AddTextBox(Rect(8, 8, 384, 84), faces.label, Label(), content.prompt);
    mUserBox = &details->AddTextBox(Rect(8, 92, 384, 168), faces.text, {true, true, kMaxUserText}, "");
    details->SetFocus(mUserBox);
    std::vector<ReporterButton> detailButtons = DetailsWindowButtons(content.hasApp);
    for (size_t i = 0; i < detailButtons.size(); ++i)
        details->AddButton(Rect(i == 0 ? 8 : 204, 268, 188, 24), faces.label, detailButtons[i].label,
                           detailButtons[i].enabled);

    auto& progress = mWindows[Progress] = std::make_unique<Dialog>("Submitting Report", 240, 64);
    mProgressText = &progress->AddTextBox(Rect(24, 10, 224, 24), faces.title, Label(), ProgressText(0));
    progress->SetFocus(&progress->AddButton(Rect(72, 36, 96, 22), faces.text, kAbort, true));
}

void ReporterWindows::Handle(const InputEvent& e, int64_t nowMillis) {
    if (Dialog* window = Current()) {
        DialogCommand command = window->Handle(e);
        if (command.given) Command(command.name, nowMillis);
    }
}

void ReporterWindows::Command(const std::string& name, int64_t nowMillis) {
    switch (mStage) {
    case Report:
        // A disabled button gives no command (neither mouse nor keys reach it).
        mStage = name == kSendReport ? Details : Done;
        break;
    case Details:
        if (name == kContinue) {
            mUserText = mUserBox->Text();
            mStage = Progress;
            mNextPoll = nowMillis + kPollMillis;
            mNextSecond = nowMillis + kSecondMillis;
            mSent = true;
            mUpload.Start(mUserText);
        } else {
            mStage = Done;
        }
        break;
    case Progress:
        // Abort, or closing: the transfer ends as aborted and the poll finishes.
        mUpload.Abort();
        break;
    case Done: break;
    }
    if (Dialog* window = Current()) window->Invalidate();
}

void ReporterWindows::Poll() {
    int result = mUpload.Result();
    switch (ProgressStepFor(result)) {
    case ProgressStep::Wait: return;
    case ProgressStep::Finish:
        mLastResult = result;
        mStage = Done;
        return;
    case ProgressStep::AskRetry:
        mLastResult = result;
        mUpload.Reset();
        if (mAskRetry()) mUpload.Start(mUserText);
        else mStage = Done;
        return;
    }
}

void ReporterWindows::Tick(int64_t nowMillis) {
    // Timers that fell behind (a modal question) fire once, not to catch up.
    if (mStage == Progress && nowMillis >= mNextSecond) {
        mNextSecond = nowMillis + kSecondMillis;
        mProgressText->SetText(ProgressText(++mSeconds));
        mWindows[Progress]->Invalidate();
    }
    if (mStage == Progress && nowMillis >= mNextPoll) {
        mNextPoll = nowMillis + kPollMillis;
        Poll();
    }
}

int64_t ReporterWindows::NextTimer() const {
    if (mStage != Progress) return -1;
    return std::min(mNextPoll, mNextSecond);
}
