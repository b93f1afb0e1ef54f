#pragma once
#include <memory>
#include <string>

// A shared library opened at run time and its entry points.
class SharedLibrary {
public:
    static std::unique_ptr<SharedLibrary> Open(const std::string& path, std::string* error);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    void* Symbol(const char* name) const;  // null when missing

private:
    explicit SharedLibrary(void* handle) : mHandle(handle) {}
    void* mHandle;
};

// The folder of the running program, ending in '/'.
std::string PlatformProgramFolder();
