#include "app/qt/program.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/qt/ostavelwindow.h"
#include "app/qt/qtservices.h"

namespace ostavel {

namespace {

// Whether the program can reach a display: a platform chosen by name (offscreen, say) is the
// chooser's business; otherwise X11 or Wayland must be there, or the toolkit would abort with
// advice that does not apply.
bool hasDisplay() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace

int runOstavel(int argc, char* argv[], const Edition& edition) {
    if (!hasDisplay()) {
        const std::string_view path = argc > 0 ? argv[0] : "Ostavel";
        const std::string_view name = path.substr(path.rfind('/') + 1);
        std::fprintf(stderr,
                     "%.*s needs a graphical session (X11 or Wayland), and neither DISPLAY nor "
                     "WAYLAND_DISPLAY is set.\n",
                     static_cast<int>(name.size()), name.data());
        return 1;
    }
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
