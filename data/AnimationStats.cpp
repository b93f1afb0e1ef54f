#include "data/AnimationStats.h"

#include <algorithm>
#include <atomic>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/PakInterface.h"

std::atomic<AnimationStats::CommandCheck> AnimationStats::sCommandCheck{nullptr};

void AnimationStats::SetCommandCheck(CommandCheck check) {
    sCommandCheck.store(check, std::memory_order_release);
}

bool AnimationStats::Fail(const std::string& message) {
    SetError(message);
    return false;
}

bool AnimationStats::LoadAnimations(const std::string& path) {
    mIncludeError.clear();
    if (static_cast<int>(mFiles.size()) >= kMaxIncludeDepth) {
        mIncludeError = "includes nested too deeply at " + QuoteValue(path);
        return false;
    }
    std::string key = ToLower(NormalizeSlashes(path));
    if (std::find(mFiles.begin(), mFiles.end(), key) != mFiles.end()) {
        mIncludeError = QuoteValue(path) + " includes itself";
        return false;
    }
    // The reading state of an including file is empty at an include (they are
    // only allowed between animations), so nothing else needs saving.
    mFiles.push_back(key);
    int savedRootDepth = mRootDepth;
    mRootDepth = 0;
    bool ok = LoadFile(path);
    mRootDepth = savedRootDepth;
    mFiles.pop_back();
    mAnimation = nullptr;
    mOpen.clear();
    return ok;
}

bool AnimationStats::LoadAnimationsFromString(const std::string& xml, const std::string& nameForErrors) {
    mFiles.push_back(ToLower(NormalizeSlashes(nameForErrors)));
    mRootDepth = 0;
    bool ok = LoadFromString(xml, nameForErrors);
    mFiles.pop_back();
    mAnimation = nullptr;
    mOpen.clear();
    return ok;
}

bool AnimationStats::Include() {
    std::string file = WStringToString(GetAttribute(L"file"));
    if (file.empty()) return Fail("include without a file");
    // Relative to the folder of the including file.
    const std::string& current = CurrentFileName();
    std::string path = NormalizeSlashes(file);
    if (path[0] != '/') path = GetFileDir(NormalizeSlashes(current)) + path;
    if (!LoadAnimations(path)) {
        // The inner message already names the inner file and line.
        return Fail(!mIncludeError.empty() ? mIncludeError : GetErrorText());
    }
    return true;
}

bool AnimationStats::OnElementStart(const XMLElement& e) {
    if (!mAnimation) {
        if (mRootDepth == 0) {
            if (e.mName != L"animations") return Fail("the root element must be 'animations'");
            ++mRootDepth;
            return true;
        }
        if (e.mName == L"include") {
            ++mRootDepth;
            return Include();
        }
        if (e.mName != L"animation") {
            return Fail(QuoteValue(e.mName) + " outside an animation");
        }
        std::wstring name = GetAttribute(L"name");
        if (name.empty()) return Fail("animation without a name");
        auto [it, inserted] = mTable.try_emplace(name);
        if (!inserted) return Fail("animation " + QuoteValue(name) + " defined twice");
        it->second.mName = name;
        mAnimation = &it->second;
        // Includes stand between animations, so one file holds a whole animation.
        mAnimationFile = InternSourceName(CurrentFileName());
        return true;
    }

    if (static_cast<int>(mOpen.size()) >= kMaxCommandDepth) return Fail("commands nested too deeply");
    std::vector<AnimationCommand>& siblings = mOpen.empty() ? mAnimation->mCommands : mOpen.back()->mChildren;
    AnimationCommand& command = siblings.emplace_back();
    command.mName = e.mName;
    command.mLine = e.mLine;
    command.mFile = mAnimationFile;
    for (const auto& [key, value] : e.mAttributes) {
        if (key == L"if") {
            command.mIf.mText = value;
        } else if (key == L"unless") {
            command.mUnless.mText = value;
        } else {
            command.SetAttribute(key, value);
        }
    }
    // Parsed here, once, so that running the script never parses.
    command.Compile();
    if (CommandCheck check = sCommandCheck.load(std::memory_order_acquire)) {
        std::string error;
        if (!check(command, error)) return Fail(error);
    }
    mOpen.push_back(&command);
    return true;
}

bool AnimationStats::OnElementEnd(const XMLElement&) {
    if (!mOpen.empty()) {
        mOpen.pop_back();
    } else if (mAnimation) {
        mAnimation = nullptr;
    } else if (mRootDepth > 0) {
        --mRootDepth;
    }
    return true;
}

void AnimationStats::Publish() {
    PublishAnimations(std::move(mTable));
    mTable = AnimationTable();
}

bool LoadAnimationsFile(const std::string& path, std::string* error) {
    AnimationStats stats;
    if (!stats.LoadAnimations(path)) {
        if (error) *error = stats.GetErrorText();
        DebugPrintf("%s\n", stats.GetErrorText().c_str());
        return false;
    }
    stats.Publish();
    return true;
}
