#pragma once
#include <memory>

// Base of every object that others may remember without owning (widgets
// above all). Its destruction clears the shared cell, so every WeakHandle to it
// reads null from then on.
class HandleTarget {
public:
    HandleTarget() : mCell(std::make_shared<HandleTarget*>(this)) {}
    HandleTarget(const HandleTarget&) : mCell(std::make_shared<HandleTarget*>(this)) {}
    HandleTarget& operator=(const HandleTarget&) { return *this; }
    virtual ~HandleTarget() { *mCell = nullptr; }

    const std::shared_ptr<HandleTarget*>& HandleCell() const { return mCell; }

private:
    std::shared_ptr<HandleTarget*> mCell;
};

template <class T>
class WeakHandle {
public:
    WeakHandle() = default;
    WeakHandle(T* target) { Reset(target); }  // NOLINT: implicit on purpose

    void Reset(T* target = nullptr) {
        if (target)
            mCell = static_cast<const HandleTarget*>(target)->HandleCell();
        else
            mCell.reset();
    }
    T* Get() const {
        if (!mCell || !*mCell) return nullptr;
        return dynamic_cast<T*>(*mCell);
    }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    // Identity of the target even after it is gone (for map keys).
    const void* Key() const { return mCell.get(); }
    bool operator==(const WeakHandle& other) const { return Get() == other.Get(); }

private:
    std::shared_ptr<HandleTarget*> mCell;
};
