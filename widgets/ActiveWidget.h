#pragma once
#include <string>

#include "widgets/ButtonWidget.h"

// A button that draws one cel of its image (not the state cels) and can go
// back to where it was made: the base of the small preview buttons. The
// index places it: x moves left by (index + 1) half widths, so -1 keeps x.
class ActiveWidget : public ButtonWidget {
public:
    ActiveWidget(float x, float y, const std::wstring& imageName, int index);

    void ReturnToRest();
    void SetCel(int cel);
    int GetCel() const { return mCel; }
    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int clickCount) override;

    bool mBringToFrontOnPress = false;
    float mRestX;
    float mRestY;

private:
    int mCel = 0;  // the cel drawn
};
