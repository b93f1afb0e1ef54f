#include "widgets/Board.h"

#include "widgets/AppServices.h"
#include "data/BasicPlayerState.h"
#include "render/Graphics.h"

Board::Board() {
    int width = gAppServices ? gAppServices->GetWidth() : 1024;
    int height = gAppServices ? gAppServices->GetHeight() : 768;
    Resize(0.0f, 0.0f, width, height);
}

void Board::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    Start();
}

void Board::Update() {
    BasicPlayerState* player = gCurrentPlayerState;
    if (!player) return;
    player->AdvancePlayTime();
}

bool Board::IsPaused() { return gAppServices && gAppServices->GetPauseCount() > 0; }

void Board::Draw(Graphics* g) {
    if (!IsPaused()) return;
    // The paused overlay: the game behind is dimmed.
    g->SetColor(Color(0, 0, 0, 160));
    g->FillRect(0.0f, 0.0f, static_cast<float>(mWidth), static_cast<float>(mHeight));
}
