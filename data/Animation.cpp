#include "data/Animation.h"

#include <mutex>
#include <shared_mutex>

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

const std::wstring& AnimationCommand::GetAttribute(const std::wstring& name) const {
    auto it = mAttributes.find(name);
    return it == mAttributes.end() ? EmptyText() : it->second;
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
