// Reads and presses the Windows program's window from another process, as assistive technology
// does: it finds the window by its title, reads the controls' texts with WM_GETTEXT and presses
// them with the messages the system sends for a click. The end-to-end driver talks to
// it through standard input and output, one command a line:
//
// clang-format off
//   window             waits for the window to show, then prints its title and client size:
//                      "TITLE W H"
//   text NAME          the text of control NAME (a name of the window table)
//   click NAME         clicks the button NAME
//   close              asks the window to close, as its close button does
// clang-format on
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <iostream>
#include <string>

#include "app/win32/ostavelwindow.h"

namespace {

using namespace ostavel;

HWND window = nullptr;

// The text of a window of another process; it answers between its own messages.
std::wstring textOf(HWND control) {
    wchar_t text[256] = {};
    SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    return text;
}

HWND controlNamed(std::string_view name) {  // none for a name not in the table
    const auto row = std::ranges::find(layout::controls, name, &layout::Control::name);
    return GetDlgItem(window,
                      win32::controlId(static_cast<std::size_t>(row - layout::controls.begin())));
}

std::wstring findWindow() {
    const std::wstring title = win32::widen(layout::title);
    // Shown once it is built and placed for its DPI.
    for (int i = 0; i < 200 && !IsWindowVisible(window = FindWindowW(nullptr, title.c_str()));
         ++i) {
        Sleep(50);
    }
    RECT client{};
    GetClientRect(window, &client);
    return textOf(window) + L" " + std::to_wstring(client.right) + L" " +
           std::to_wstring(client.bottom);
}

std::wstring run(const std::string& line) {
    const std::size_t space = line.find(' ');
    const std::string command = line.substr(0, space);
    const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
    if (command == "window") {
        return findWindow();
    }
    if (command == "text") {
        return textOf(controlNamed(argument));
    }
    if (command == "click") {
        PostMessageW(controlNamed(argument), BM_CLICK, 0, 0);
        return L"ok";
    }
    if (command == "close") {
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return L"ok";
    }
    return L"unknown command " + win32::widen(command);
}

}  // namespace

int wmain() {
    _setmode(_fileno(stdout), _O_U8TEXT);  // the drivers read UTF-8
    for (std::string line; std::getline(std::cin, line);) {
        std::wcout << run(line) << std::endl;
    }
    return 0;
}
