#include "app/qt/program.h"

#include <QApplication>

#include "app/qt/ostavelwindow.h"
#include "app/qt/qtservices.h"

namespace ostavel {

int runOstavel(int argc, char* argv[], const Edition& edition) {
    QApplication application(argc, argv);
    const QString appId = QString::fromLatin1(edition.desktopFileName);
    // On Wayland the desktop finds the window's icon and its entry by this id.
    QGuiApplication::setDesktopFileName(appId);
    SeededRandom random;
    SteadyClock clock;
    QtEventPump pump(clock);
    const std::unique_ptr<Beeper> beeper = makeSystemBeeper(appId);
    OstavelWindow window(edition, {random, clock, pump, *beeper});
    window.show();
    return QApplication::exec();
}

}  // namespace ostavel
