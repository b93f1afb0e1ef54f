#pragma once
#include <string>

#include "widgets/AnimationWidget.h"

// An effect that flies from one point to another (a revealed tile to the
// hint meter, a mistake to the mistake meter, a hint to its cell). The script
// moves it; it reads the integer variables "delay", "source_x", "source_y",
// "target_x" and "target_y" (and "show_sparkles", set by the board), and the
// widget removes itself when its script ends.
class TrailWidget : public AnimationWidget {
public:
    TrailWidget(const std::wstring& animation, int sourceX, int sourceY, int targetX, int targetY,
                int delay);
};
