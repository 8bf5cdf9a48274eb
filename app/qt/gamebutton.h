#pragma once

#include <QPushButton>

namespace ostavel {

// A game button. Like a push button on the desktop the program comes from, it answers Enter
// and the keypad's Enter when it has the focus, as well as Space, without ever being the
// window's default button or looking like one.
class GameButton final : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace ostavel
