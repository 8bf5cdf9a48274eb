#pragma once

#include <QRect>
#include <array>

#include "runtime/captions.h"

namespace ostavel::layout {

// The window is laid out in twips (1/1440 inch) from the client area's top-left corner;
// 15 twips make one pixel, and every place below is a whole number of pixels.
constexpr int twipsPerPixel = 15;

constexpr QRect twips(int left, int top, int width, int height) {
    return {left / twipsPerPixel, top / twipsPerPixel, width / twipsPerPixel,
            height / twipsPerPixel};
}

inline constexpr QSize clientSize{6315 / twipsPerPixel, 4185 / twipsPerPixel};  // 421 x 279

// The background picture is 4 px larger each way than the client area; the excess is cut off.
inline constexpr QSize pictureSize{425, 283};

enum class Button { miniroto, roto6, Numbers3, Numbers4 };

struct ButtonPlace {
    Button button;
    const char* name;
    const char* caption;  // UTF-8
    QRect geometry;
};

// In tab order. The gaps between the buttons' left edges are 1200, 1200 and 1320 twips.
inline constexpr std::array<ButtonPlace, 4> buttons{{
    {Button::miniroto, "miniroto", "ミニロト", twips(720, 3120, 1095, 375)},
    {Button::roto6, "roto6", "ロト6", twips(1920, 3120, 1095, 375)},
    {Button::Numbers3, "Numbers3", "Numbers3", twips(3120, 3120, 1095, 375)},
    {Button::Numbers4, "Numbers4", "Numbers4", twips(4440, 3120, 1095, 375)},
}};

// Number label p sits in bubble p; the bubbles are 960 twips (64 px) apart.
constexpr QRect numberLabelGeometry(int position) {
    return twips(480 + 960 * (position - 1), 960, 540, 420);
}

inline constexpr QRect messageLineGeometry = twips(1920, 2760, 2535, 495);
inline constexpr QRect headlineGeometry = twips(1200, 120, 3855, 495);
inline constexpr QRect creditLineGeometry = twips(960, 3840, 4335, 255);

// The white interior of speech bubble p, both ends inclusive, tail included.
constexpr QRect bubbleInterior(int position) {
    return QRect(QPoint(24 + 64 * (position - 1), 54), QPoint(76 + 64 * (position - 1), 101));
}

}  // namespace ostavel::layout
