#pragma once

#include <string_view>

namespace ostavel {

// The nine text labels of the window, numbered as the window names them.
enum class Label {
    Label1 = 1,  // number labels 1 to 6, left to right, one per speech bubble
    Label2,
    Label3,
    Label4,
    Label5,
    Label6,
    Label7,  // message line
    Label8,  // headline
    Label9,  // credit line, never written at run time
};

inline constexpr int positionCount = 6;

// Number label of a position, 1 to 6.
constexpr Label numberLabel(int position) {
    return static_cast<Label>(position);
}

inline constexpr Label messageLine = Label::Label7;
inline constexpr Label headline = Label::Label8;

// Where the forecasts write. A write replaces the label's whole text (UTF-8); the empty text
// clears it. The new text shows when window events are next dispatched.
class Captions {
public:
    virtual ~Captions() = default;
    virtual void setCaption(Label label, std::string_view text) = 0;
};

}  // namespace ostavel
