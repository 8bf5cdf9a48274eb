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

#include <algorithm>
#include <iostream>
#include <string>

#include "app/win32/ostavelwindow.h"

namespace {

using namespace ostavel;

HWND window = nullptr;

std::string narrow(std::wstring_view text) {
    std::string out(3 * text.size(), '\0');  // UTF-8 takes at most 3 bytes a UTF-16 unit
    out.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                            static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

// The text of a window of another process; it answers between its own messages.
std::string textOf(HWND control) {
    wchar_t buffer[256] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    return narrow({buffer, copied});
}

HWND controlNamed(std::string_view name) {  // none for a name not in the table
    const auto row = std::ranges::find(layout::controls, name, &layout::Control::name);
    return GetDlgItem(window,
                      win32::controlId(static_cast<std::size_t>(row - layout::controls.begin())));
}

std::string findWindow() {
    const std::wstring title = win32::widen(layout::title);
    // Shown once it is built and placed for its DPI.
    for (int i = 0; i < 200 && !IsWindowVisible(window = FindWindowW(nullptr, title.c_str()));
         ++i) {
        Sleep(50);
    }
    RECT client{};
    GetClientRect(window, &client);
    return textOf(window) + " " + std::to_string(client.right) + " " +
           std::to_string(client.bottom);
}

std::string run(const std::string& line) {
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
        return "ok";
    }
    if (command == "close") {
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return "ok";
    }
    return "unknown command " + command;
}

}  // namespace

int wmain() {
    for (std::string line; std::getline(std::cin, line);) {
        std::cout << run(line) << std::endl;
    }
    return 0;
}
