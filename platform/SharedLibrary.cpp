#include "platform/SharedLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::string& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) *error = dlerror();
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { dlclose(mHandle); }

void* SharedLibrary::Symbol(const char* name) const { return dlsym(mHandle, name); }

std::string PlatformProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return "./";
    std::string result(path, static_cast<size_t>(n));
    return result.substr(0, result.rfind('/') + 1);
}
