#include "widgets/ActiveWidget.h"

#include "render/Graphics.h"
#include "render/Image.h"

ActiveWidget::ActiveWidget(float x, float y, const std::wstring& imageName, int index)
    : ButtonWidget(x, y, imageName) {
    mX -= static_cast<float>((index + 1) * mWidth / 2);
    mRestX = static_cast<float>(static_cast<int>(mX));
    mRestY = static_cast<float>(static_cast<int>(mY));
    SetVisible(true);
}

void ActiveWidget::ReturnToRest() { Move(mRestX, mRestY); }

void ActiveWidget::SetCel(int cel) {
    mCel = cel;
    MarkDirty();
}

void ActiveWidget::Draw(Graphics* g) {
    if (!mImage) return;
    g->DrawImage(mImage, 0.0f, 0.0f, mCel,
                 Rect(0, 0, mImage->GetCelWidth(), mImage->GetCelHeight()));
}

void ActiveWidget::MouseDown(int x, int y, int clickCount) {
    if (mBringToFrontOnPress && mParent) mParent->BringToFront(this);
    ButtonWidget::MouseDown(x, y, clickCount);
}
