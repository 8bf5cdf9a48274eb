// The Windows program: the edition's window over the portable core, until it is closed.
#include <windows.h>

#include <commctrl.h>

#include "app/win32/ostavelwindow.h"
#include "app/win32/services.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
    using namespace ostavel;
    // The manifest asks for version 6 of the common controls: visual styles for the buttons.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    SeededRandom random;
    win32::PerformanceCounterClock clock;
    win32::MessagePump pump(clock);
    win32::MessageBeeper beeper;
    win32::OstavelWindow window(instance, thisEdition, {random, clock, pump, beeper});
    pump.setFilter(&window);
    window.show(show);
    return pump.run();
}
