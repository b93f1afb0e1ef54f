#pragma once
#include <memory>
#include <typeinfo>

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
        mCastType = nullptr;
    }
    T* Get() const {
        HandleTarget* target = mCell ? *mCell : nullptr;
        if (!target) return nullptr;
        // Every widget asks for its pause owner at every step, and a cast
        // walks the class tree comparing names. Its answer changes only with
        // the object's dynamic type, which construction and destruction move
        // through (a half-destroyed menu is no longer a menu), so it is kept
        // for the type it was found for.
        const std::type_info* type = &typeid(*target);
        if (type != mCastType) {
            mCast = dynamic_cast<T*>(target);
            mCastType = type;
        }
        return mCast;
    }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    // Identity of the target even after it is gone (for map keys).
    const void* Key() const { return mCell.get(); }
    bool operator==(const WeakHandle& other) const { return Get() == other.Get(); }

private:
    std::shared_ptr<HandleTarget*> mCell;
    mutable const std::type_info* mCastType = nullptr;
    mutable T* mCast = nullptr;
};
