#include "app/program.h"

#include <QApplication>

#include "app/ostavelwindow.h"
#include "runtime/qtservices.h"

namespace ostavel {

int runOstavel(int argc, char* argv[], const Edition& edition) {
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(edition.desktopFileName));
    SeededRandom random;
    SteadyClock clock;
    QtEventPump pump(clock);
    QtBeeper beeper;
    OstavelWindow window(edition, {random, clock, pump, beeper});
    window.show();
    return QApplication::exec();
}

}  // namespace ostavel
