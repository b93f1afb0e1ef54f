#pragma once
#include <string>

class Clock;
class ButtonWidget;
class HandleTarget;
class ImageSurface;
class Menu;
class SoundManager;
class SoundPlayer;
class TrackInterface;
class Widget;

// What the widget layer needs of the running application. The application
// object implements it, so widgets, menus and scripts reach it without
// including anything that sits above them. Every member has a harmless
// default for code that runs without an application (tools, bare tests).
class AppServices {
public:
    virtual ~AppServices() = default;

    virtual int GetWidth() const { return 1024; }
    virtual int GetHeight() const { return 768; }
    virtual bool IsScreenSaverMode() const { return false; }
    virtual Clock* GetClock() const { return nullptr; }
    virtual SoundManager* GetSoundManager() const { return nullptr; }
    virtual TrackInterface* GetMusicInterface() const { return nullptr; }
    virtual SoundPlayer* GetSoundPlayer() const { return nullptr; }

    // Deletes after the current update step (see the deferred-delete list).
    virtual void SafeDelete(HandleTarget* object) = 0;
    virtual bool CancelSafeDelete(HandleTarget* object) = 0;
    virtual bool KillDialogWidget(Widget* dialog) { return false; }
    virtual void PlaySample(int soundId) {}
    virtual void SetCursor(int id) {}
    virtual void ShowMessageBox(const std::string& text, const std::string& caption) {}

    // Menus open, change screens and build their buttons through the
    // application, whose game supplies the transition and button factories.
    virtual void AddDialog(Widget* dialog) {}
    // The menu that opens `menu` with a transition; the menu itself without one.
    virtual Menu* CreateTransition(Menu* menu) { return menu; }
    // A menu button centred on (x, y); null without a game.
    virtual ButtonWidget* CreateMenuButton(int x, int y, const std::wstring& label, bool localize) {
        return nullptr;
    }
    virtual void HandleTypedCode(const std::wstring& code) {}
    virtual void StartGame() {}
    // A copy of the last frame (owned by the caller); null without a renderer.
    virtual ImageSurface* CopyScreenImage() { return nullptr; }

    // The open-menu list and the pause count belong to the game application.
    virtual void AddMenu(Menu* menu) {}
    virtual void RemoveMenu(Menu* menu) {}
    virtual void SetActiveMenu(Menu* menu) {}
    virtual int GetPauseCount() const { return 0; }
    // The current player's name, which "[player]" in script texts stands for.
    virtual std::wstring GetPlayerName() const { return {}; }
    // The game's script commands are not here: the game registers them in
    // the ScriptCommandRegistry at start.
};

// The running application, or null (set and cleared by the application).
extern AppServices* gAppServices;
