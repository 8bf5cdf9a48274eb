// The Windows program: the edition's window over the portable core, until it is closed.
#include <windows.h>

#include "app/win32/ostavelwindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
    return ostavel::win32::runOstavel(instance, ostavel::thisEdition, show);
}
