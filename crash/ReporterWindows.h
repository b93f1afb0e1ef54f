#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "crash/Dialog.h"

// What the three report windows show and offer.
struct ReporterContent {
    std::string header;  // above the report
    std::string report;
    std::string prompt;  // above the user's text
    bool hasHost = false;  // an endpoint: "Send Report" is offered
    bool hasApp = false;   // the crashed program had its application: sending is enabled
};

// The transfer as the progress window drives it.
class ReporterUpload {
public:
    virtual ~ReporterUpload() = default;
    virtual void Start(const std::string& userText) = 0;
    virtual int Result() = 0;
    virtual void Abort() = 0;
    virtual void Reset() = 0;
};

// The report windows' flow, free of any platform window: "Fatal Error!"
// (Send Report opens the details, Close Now ends), "Error Details" (Continue
// keeps the user's text, starts the upload and opens the progress, Abort
// ends) and "Submitting Report" (polls the transfer every 20 ms, counts the
// seconds in its text; a failure asks whether to retry). Closing a window is
// its Close Now or Abort.
class ReporterWindows {
public:
    enum Stage { Report, Details, Progress, Done };
    static constexpr int kPollMillis = 20;
    static constexpr int kSecondMillis = 1000;

    // `askRetry` puts the failure to the user (true: Retry).
    ReporterWindows(const ReporterContent& content, const DialogFaces& faces, ReporterUpload& upload,
                    std::function<bool()> askRetry);

    Stage GetStage() const { return mStage; }
    bool Finished() const { return mStage == Done; }
    Dialog& Window(Stage stage) { return *mWindows[stage]; }
    // The window on show; null once finished.
    Dialog* Current() { return mStage == Done ? nullptr : mWindows[mStage].get(); }

    // An event for the window on show.
    void Handle(const InputEvent& e, int64_t nowMillis);
    // Runs the progress window's timers that are due.
    void Tick(int64_t nowMillis);
    // When the next timer is due; -1 when none runs.
    int64_t NextTimer() const;

    const std::string& UserText() const { return mUserText; }
    std::string ProgressLine() const { return mProgressText->Text(); }
    // Whether an upload was started, and the last result it gave.
    bool Sent() const { return mSent; }
    int LastResult() const { return mLastResult; }

private:
    void Command(const std::string& name, int64_t nowMillis);
    void Poll();

    ReporterUpload& mUpload;
    std::function<bool()> mAskRetry;
    std::unique_ptr<Dialog> mWindows[3];
    DialogTextBox* mUserBox = nullptr;
    DialogTextBox* mProgressText = nullptr;
    Stage mStage = Report;
    std::string mUserText;
    bool mSent = false;
    int mLastResult = 0;
    int mSeconds = 0;
    int64_t mNextPoll = 0;
    int64_t mNextSecond = 0;
};
