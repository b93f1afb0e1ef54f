#pragma once
#include "widgets/Board.h"

// The game's board: the desk under every screen. It opens the main menu and
// decides where the story goes on.
class MyBoard : public Board {
public:
    void Start() override { ShowMainMenu(); }
    void Draw(Graphics* g) override;

    void ShowMainMenu();
    // The play button: the story letter on a fresh profile, else the set
    // loading screen of the current story set (the tutorial set is passed
    // the second time), or the map when every story set is complete.
    void StartStory();
};
