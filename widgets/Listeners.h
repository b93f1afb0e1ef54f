#pragma once
#include <memory>
#include <set>
#include <string>

class Widget;
class Slider;

// Gives a listener interface a lifetime of its own, so that a control can
// remember its listener without owning it: a ListenerRef reads null once the
// listener object is gone. Each interface carries its own flag, so an object
// that implements several interfaces can be remembered through any of them.
class ListenerLifetime {
public:
    ListenerLifetime() : mAlive(std::make_shared<bool>(true)) {}
    ListenerLifetime(const ListenerLifetime&) : mAlive(std::make_shared<bool>(true)) {}
    ListenerLifetime& operator=(const ListenerLifetime&) { return *this; }
    virtual ~ListenerLifetime() { *mAlive = false; }

    const std::shared_ptr<bool>& AliveFlag() const { return mAlive; }

private:
    std::shared_ptr<bool> mAlive;
};

template <class T>
class ListenerRef {
public:
    ListenerRef() = default;
    ListenerRef(T* listener) { Reset(listener); }  // NOLINT: implicit on purpose

    void Reset(T* listener = nullptr) {
        mListener = listener;
        if (listener)
            mAlive = static_cast<const ListenerLifetime*>(listener)->AliveFlag();
        else
            mAlive.reset();
    }
    T* Get() const { return (mAlive && *mAlive) ? mListener : nullptr; }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    bool operator==(const T* other) const { return Get() == other; }

private:
    T* mListener = nullptr;
    std::shared_ptr<bool> mAlive;
};

// Buttons report presses, releases and hovering by widget id.
class ButtonListener : public ListenerLifetime {
public:
    virtual void ButtonPress(int /*id*/) {}
    virtual void ButtonDepress(int /*id*/) {}
    virtual void ButtonMouseEnter(int /*id*/) {}
    virtual void ButtonMouseLeave(int /*id*/) {}
};

// Told of every mouse press anywhere, before (GlobalMouseDown) and after
// (GlobalMouseDownAfter) the press reaches the widget under the pointer.
// Coordinates are screen coordinates; the click count is negative for the
// right button.
class ClickListener : public ListenerLifetime {
public:
    virtual void GlobalMouseDown(int /*x*/, int /*y*/, int /*clickCount*/) {}
    virtual void GlobalMouseDownAfter(int /*x*/, int /*y*/, int /*clickCount*/) {}
};

class CheckboxListener : public ListenerLifetime {
public:
    virtual void CheckboxChecked(int /*id*/, bool /*checked*/) {}
};

class SliderListener : public ListenerLifetime {
public:
    virtual void SliderValueChanged(Slider* /*slider*/, double /*value*/) {}
    virtual void SliderReleased(Slider* /*slider*/) {}
};

// Asked before a key or a character changes an edit widget's text; false
// refuses it. EditWidgetText reports the text when Return is pressed.
class EditListener : public ListenerLifetime {
public:
    virtual bool AllowKey(int /*editId*/, int /*key*/) { return true; }
    virtual bool AllowChar(int /*editId*/, wchar_t /*character*/) { return true; }
    virtual void EditWidgetText(int /*editId*/, const std::wstring& /*text*/) {}
};

class RemovalListener;

// A widget that one RemovalListener can watch for its leaving the tree. The
// link is kept on both sides: destroying either end unlinks the other.
class RemovalWidget {
public:
    RemovalWidget() = default;
    RemovalWidget(const RemovalWidget&) {}
    RemovalWidget& operator=(const RemovalWidget&) { return *this; }
    virtual ~RemovalWidget();

    RemovalListener* GetRemovalListener() const { return mRemovalListener; }

private:
    friend class RemovalListener;
    RemovalListener* mRemovalListener = nullptr;
};

class RemovalListener {
public:
    RemovalListener() = default;
    RemovalListener(const RemovalListener&) {}
    RemovalListener& operator=(const RemovalListener&) { return *this; }
    virtual ~RemovalListener();

    // At most one watcher per widget: a widget watched by another listener
    // moves to this one; one already watched by this listener stays as it is.
    void WatchWidget(RemovalWidget* widget);
    void UnwatchWidget(RemovalWidget* widget);
    bool IsWatching(const RemovalWidget* widget) const;
    // Sent by the widget tree when a watched widget leaves its parent.
    virtual void WidgetRemoved(int /*id*/) {}

private:
    friend class RemovalWidget;
    std::set<RemovalWidget*> mWatched;
};

// Told when a watched animated widget finishes, persists or sends a message.
// Each widget reports to at most one listener (Widget::mAnimationListener);
// destroying either end unlinks the other.
class AnimationListener {
public:
    AnimationListener() = default;
    AnimationListener(const AnimationListener&) {}
    AnimationListener& operator=(const AnimationListener&) { return *this; }
    virtual void AnimationComplete(int /*id*/) {}
    virtual void AnimationPersist(int /*id*/) {}
    virtual void AnimationMessage(int /*id*/, const std::wstring& /*message*/) {}
    virtual ~AnimationListener();

    void WatchWidget(Widget* widget);
    void UnwatchWidget(Widget* widget);
    bool IsWatching(const Widget* widget) const;

private:
    friend class Widget;
    std::set<Widget*> mWatched;
};
