#include "data/Animation.h"

#include <mutex>
#include <set>
#include <shared_mutex>

#include "data/ExpressionEvaluator.h"

namespace {

struct AnimationState {
    std::shared_mutex mLock;
    std::shared_ptr<const AnimationTable> mTable = std::make_shared<AnimationTable>();
    std::vector<std::shared_ptr<const AnimationTable>> mRetired;
};

// Never destroyed: script widgets in static tables may still point into it.
AnimationState& State() {
    static AnimationState* state = new AnimationState();
    return *state;
}

const Animation& EmptyAnimation() {
    static const Animation* empty = new Animation();
    return *empty;
}

const std::wstring& EmptyText() {
    static const std::wstring* empty = new std::wstring();
    return *empty;
}

}  // namespace

const CommandAttribute* AnimationCommand::FindAttribute(std::wstring_view name) const {
    auto it = mAttributes.find(name);
    return it == mAttributes.end() ? nullptr : &it->second;
}

const std::wstring& AnimationCommand::GetAttribute(std::wstring_view name) const {
    const CommandAttribute* attribute = FindAttribute(name);
    return attribute ? attribute->mText : EmptyText();
}

void AnimationCommand::SetAttribute(const std::wstring& name, const std::wstring& text) {
    mAttributes[name] = CommandAttribute{text, nullptr};
}

void AnimationCommand::Compile() {
    for (auto& [name, attribute] : mAttributes)
        attribute.mExpression = ExpressionEvaluator::Compile(attribute.mText);
    // Empty guards are never evaluated.
    if (!mIf.mText.empty()) mIf.mExpression = ExpressionEvaluator::Compile(mIf.mText);
    if (!mUnless.mText.empty()) mUnless.mExpression = ExpressionEvaluator::Compile(mUnless.mText);
}

std::string AnimationCommand::Where() const {
    return (mFile ? *mFile : std::string("(no file)")) + ":" + std::to_string(mLine);
}

const std::string* InternSourceName(const std::string& name) {
    // Never destroyed, like the tables whose records point here.
    static auto* lock = new std::mutex();
    static auto* names = new std::set<std::string>();
    std::lock_guard<std::mutex> guard(*lock);
    return &*names->insert(name).first;
}

const Animation* FindAnimation(const std::wstring& name) {
    AnimationState& state = State();
    std::shared_lock<std::shared_mutex> lock(state.mLock);
    auto it = state.mTable->find(name);
    return it == state.mTable->end() ? nullptr : &it->second;
}

const Animation& GetAnimation(const std::wstring& name) {
    const Animation* animation = FindAnimation(name);
    return animation ? *animation : EmptyAnimation();
}

bool AnimationExists(const std::wstring& name) { return FindAnimation(name) != nullptr; }

size_t AnimationCount() {
    AnimationState& state = State();
    std::shared_lock<std::shared_mutex> lock(state.mLock);
    return state.mTable->size();
}

void PublishAnimations(AnimationTable table) {
    auto fresh = std::make_shared<const AnimationTable>(std::move(table));
    AnimationState& state = State();
    std::unique_lock<std::shared_mutex> lock(state.mLock);
    if (!state.mTable->empty()) state.mRetired.push_back(std::move(state.mTable));
    state.mTable = std::move(fresh);
}
