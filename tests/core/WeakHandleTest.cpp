#include <gtest/gtest.h>

#include <functional>

#include "core/WeakHandle.h"

namespace {

struct Base : HandleTarget {
    std::function<void()> mOnDestroy;
    ~Base() override {
        if (mOnDestroy) mOnDestroy();
    }
};
struct Derived : Base {};

}  // namespace

// A handle answers for the object as it is now: once the derived part is
// gone (the base's destructor runs) a handle to the derived type reads null,
// though it read the object a moment before; one to the base still reads it.
TEST(WeakHandleTest, FollowsTheTargetThroughItsDestruction) {
    auto* object = new Derived;
    WeakHandle<Derived> asDerived(object);
    WeakHandle<Base> asBase(object);
    ASSERT_EQ(asDerived.Get(), object);
    ASSERT_EQ(asBase.Get(), object);
    Derived* seenDerived = object;
    Base* seenBase = nullptr;
    object->mOnDestroy = [&] {
        seenDerived = asDerived.Get();
        seenBase = asBase.Get();
    };
    delete object;
    EXPECT_EQ(seenDerived, nullptr);
    EXPECT_NE(seenBase, nullptr);
    EXPECT_EQ(asDerived.Get(), nullptr);
    EXPECT_EQ(asBase.Get(), nullptr);

    // A handle pointed elsewhere forgets what it found before.
    Derived other;
    asDerived.Reset(&other);
    EXPECT_EQ(asDerived.Get(), &other);
}
