#include "app/qt/gamebutton.h"

#include <QKeyEvent>

namespace ostavel {

void GameButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (!enter || modifiers != Qt::NoModifier) {
        QPushButton::keyPressEvent(event);
        return;
    }
    // A held key repeats its press; the forecast runs once per press.
    event->accept();
    if (!event->isAutoRepeat()) {
        click();
    }
}

}  // namespace ostavel
