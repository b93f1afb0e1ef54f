#pragma once
#include <map>
#include <string>

// The application as the crash reporter sees it.
class CrashHandlerApp {
public:
    virtual ~CrashHandlerApp() = default;
    virtual void HideApp() = 0;
    virtual void GetSessionInfo(std::string& out) = 0;
    virtual void AddCrashReportFields(std::map<std::string, std::string>& fields) = 0;
    virtual std::string GetProductVersion(const std::string& path) = 0;
    virtual bool CopyToClipboard(const std::string& text) = 0;
    virtual std::string GetCrashProductName() const = 0;
    virtual std::string GetCrashVersionText() const = 0;
};

// Null before the application exists and after it is gone.
extern CrashHandlerApp* gCrashHandlerApp;
