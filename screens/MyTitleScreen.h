#pragma once
#include "widgets/TitleScreen.h"

class ButtonWidget;

// The game's title: its background and logo, the loading bar while the game
// data loads, then the play button. Play goes to the game when a profile is
// selected, else to the name entry first.
class MyTitleScreen : public TitleScreen {
public:
    MyTitleScreen();

    void Draw(Graphics* g) override;
    void LoadingComplete() override;
    void ButtonDepress(int id) override;

    ButtonWidget* GetPlayButton() const { return mPlayButton; }
    // How many pixels of the bar's top picture show at a loading progress:
    // none at 0, never more than the picture.
    static int LoadingBarFill(double progress, int width);

private:
    ButtonWidget* mPlayButton = nullptr;
};
