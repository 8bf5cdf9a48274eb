// The Windows front end in the test's own process, and the probe that reads and presses the real
// program's window from a process of its own.
//
// The test: the paced wait on Windows' own primitives, the message queue, a high-resolution
// waitable timer and the performance counter. The window as the program makes it: its labels'
// fonts, a change of DPI while it runs, the keys that move its focus and press its buttons, a quit
// from elsewhere mid-forecast and a window that cannot be made. The expected values are written
// here by hand. Prints "N passed, M failed".
// usage: test_frontend PICTURE.bmp PICTURE@2x.bmp   the first edition's picture, 1x and 2x
//
// The probe, without arguments, for the end-to-end driver and the installer check: as assistive
// technology does, it finds the window by its class, reads the title and the controls' texts with
// WM_GETTEXT and presses them with the messages the system sends for a click. It takes one command
// a line on standard input and answers each on standard output:
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
#include <bit>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <tuple>

#include "app/win32/ostavelwindow.h"
#include "tests/fakes.h"

namespace {

using namespace ostavel;
using namespace std::chrono_literals;

int passed = 0, failed = 0;

// Each check printed as it is made, "PASS: what (value)" or "FAIL: ...".
void check(bool ok, const char* what, double value) {
    ++(ok ? passed : failed);
    std::printf("%s: %s (%.3f)\n", ok ? "PASS" : "FAIL", what, value);
    std::fflush(stdout);
}

// The text of a window, of this process or of another, which answers between its own messages.
std::wstring textOf(HWND window) {
    wchar_t text[256] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    return text;
}

HWND control(HWND window, std::string_view name) {  // none for a name not in the table
    const auto row = std::ranges::find(layout::controls, name, &layout::Control::name);
    return GetDlgItem(window,
                      win32::controlId(static_cast<std::size_t>(row - layout::controls.begin())));
}

const auto ms = [](Timer t) { return std::chrono::duration<double, std::milli>(t).count(); };

Timer threadTime() {  // user and kernel time of this thread
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return Timer((std::bit_cast<LONGLONG>(kernel) + std::bit_cast<LONGLONG>(user)) * 100);
}

// The pump and the paced wait, taking the thread's messages as a window of the test's own would,
// noting when it takes WM_APP.
struct PumpRig final : win32::MessageFilter {
    win32::PerformanceCounterClock clock;
    win32::MessagePump pump{clock};
    Pacer pacer{clock, pump};
    Timer dispatched = Timer::max();

    PumpRig() { pump.setFilter(this); }
    bool preTranslate(MSG& message) override {
        if (message.message == WM_APP) {
            dispatched = clock.GetTimer();
        }
        return true;
    }
    void quitting() override {}
};

// The first edition's window on a clock that moves on at each reading, by default an hour, so
// that a press runs its whole forecast, and beeps, before it returns.
struct WindowRig {
    testing::VirtualClock clock;
    win32::MessagePump pump{clock};
    SeededRandom random;
    testing::Recorder beeper{clock};
    win32::OstavelWindow window{
        GetModuleHandleW(nullptr), thisEdition, {random, clock, pump, beeper}};
    HWND hwnd = FindWindowW(L"Ostavel", nullptr);

    WindowRig() {
        clock.tick = 1h;
        pump.setFilter(&window);
        window.show(SW_SHOWNORMAL);
        SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
    }
    // A key pressed, then held for some repeats, as the keyboard sends it, with a modifier held
    // or none.
    void key(UINT vk, int repeats = 3, bool keypad = false, BYTE modifier = 0) {
        BYTE state[256] = {};
        state[modifier] = 0x80;
        SetKeyboardState(state);
        const auto flags = static_cast<LPARAM>(1 | MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16 |
                                               (keypad ? 1 << 24 : 0));
        for (int i = 0; i <= repeats; ++i) {
            PostMessageW(GetFocus(), WM_KEYDOWN, vk, flags | (i > 0 ? 1 << 30 : 0));
        }
        PostMessageW(GetFocus(), WM_KEYUP, vk, flags | LPARAM{3} << 30);
        pump.DoEvents();
        state[modifier] = 0;
        SetKeyboardState(state);
    }
    void changeDpi(UINT dpi) {
        RECT suggested{};
        SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        for (int i = 0; i < 5; ++i, Sleep(100)) {  // the paints, and the screen catching up
            pump.DoEvents();
        }
    }
};

// Whether each pixel of the transparent labels, read from the screen, shows the picture for the
// DPI or the text's colour blended into it: grey (64, 64, 64) or pale yellow (255, 255, 192).
bool labelsShowPicture(const WindowRig& rig, const wchar_t* path, int scale) {
    HDC screen = GetDC(nullptr);  // the bitmaps outlive the DCs they are selected into
    const win32::BitmapHandle picture(static_cast<HBITMAP>(
        LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    const win32::BitmapHandle capture(CreateCompatibleBitmap(screen, 421 * scale, 279 * scale));
    const win32::MemoryDcHandle file(CreateCompatibleDC(screen)), shot(CreateCompatibleDC(screen));
    SelectObject(file.get(), picture.get());
    SelectObject(shot.get(), capture.get());
    POINT origin{0, 0};
    ClientToScreen(rig.hwnd, &origin);
    BitBlt(shot.get(), 0, 0, 421 * scale, 279 * scale, screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    bool clean = picture != nullptr;
    const std::pair<RECT, COLORREF> labels[] = {{{128, 184, 297, 208}, RGB(64, 64, 64)},  // 96 DPI
                                                {{80, 8, 337, 41}, RGB(255, 255, 192)},
                                                {{64, 256, 353, 273}, RGB(64, 64, 64)}};
    for (const auto& [box, ink] : labels) {
        for (long y = box.top * scale; clean && y < box.bottom * scale; ++y) {
            for (long x = box.left * scale; x < box.right * scale; ++x) {
                const COLORREF a = GetPixel(file.get(), x, y), s = GetPixel(shot.get(), x, y);
                for (int shift = 0; shift < 24; shift += 8) {
                    const auto c = [&](COLORREF p) { return static_cast<int>(p >> shift & 255); };
                    clean &=
                        c(s) >= std::min(c(a), c(ink)) - 1 && c(s) <= std::max(c(a), c(ink)) + 1;
                }
            }
        }
    }
    return clean;
}

// Each number, message and headline label's font as the window made it: the face, the pixel
// height for the DPI, the weight, the Shift-JIS character set.
bool fontsAsLaidOut(const WindowRig& rig, int dpi) {
    const std::tuple<std::string_view, std::wstring_view, int, int> fonts[] = {
        {"Label1", L"Terminal", 16, FW_BOLD},          {"Label2", L"Terminal", 16, FW_BOLD},
        {"Label3", L"Terminal", 16, FW_BOLD},          {"Label4", L"Terminal", 16, FW_BOLD},
        {"Label5", L"Terminal", 16, FW_BOLD},          {"Label6", L"Terminal", 16, FW_BOLD},
        {"Label7", L"ＭＳ Ｐゴシック", 13, FW_NORMAL}, {"Label8", L"ＭＳ Ｐゴシック", 21, FW_BOLD}};
    bool all = true;
    for (const auto& [name, face, pixels, weight] : fonts) {
        LOGFONTW f{};
        const auto font = SendMessageW(control(rig.hwnd, name), WM_GETFONT, 0, 0);
        GetObjectW(reinterpret_cast<HGDIOBJ>(font), sizeof f, &f);
        all &= f.lfFaceName == face && f.lfHeight == -pixels * dpi / 96 && f.lfWeight == weight &&
               f.lfCharSet == SHIFTJIS_CHARSET;
    }
    return all;
}

std::wstring said;  // by the message box that the hook below closes

LRESULT CALLBACK refuseWindow(int code, WPARAM w, LPARAM l) {
    wchar_t name[16] = {};
    GetClassNameW(reinterpret_cast<HWND>(w), name, 16);
    if (code == HCBT_CREATEWND && std::wstring_view(name) == L"Ostavel") {
        return 1;
    }
    if (code == HCBT_ACTIVATE && std::wstring_view(name) == L"#32770") {
        said = textOf(GetDlgItem(reinterpret_cast<HWND>(w), 0xFFFF));  // a message box's text
        PostMessageW(reinterpret_cast<HWND>(w), WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, w, l);
}

HWND probed = nullptr;  // the window the probe found

std::wstring findWindow() {
    // Shown once it is built and placed for its DPI.
    for (int i = 0; i < 200 && !IsWindowVisible(probed = FindWindowW(L"Ostavel", nullptr)); ++i) {
        Sleep(50);
    }
    RECT client{};
    GetClientRect(probed, &client);
    return textOf(probed) + L" " + std::to_wstring(client.right) + L" " +
           std::to_wstring(client.bottom);
}

std::wstring probe(const std::string& line) {
    const std::string command = line.substr(0, line.find(' '));
    const std::string argument = line.substr(std::min(command.size() + 1, line.size()));
    if (command == "window") {
        return findWindow();
    }
    if (command == "text") {
        return textOf(control(probed, argument));
    }
    if (command == "click") {
        PostMessageW(control(probed, argument), BM_CLICK, 0, 0);
    } else if (command == "close") {
        PostMessageW(probed, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        return L"unknown command " + win32::widen(command);
    }
    return L"ok";
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc == 1) {
        _setmode(_fileno(stdout), _O_U8TEXT);  // the drivers read UTF-8
        for (std::string line; std::getline(std::cin, line);) {
            std::wcout << probe(line) << std::endl;
        }
        return 0;
    }
    // Wine starts its own services beside the first program of a prefix; let them settle.
    Sleep(1000);
    // Why: the reels' pace is their waits; none may end before its delay, and each must sleep
    // meanwhile rather than spin.
    PumpRig waits;
    for (const Timer delay : {Timer(10ms), Timer(50ms), Timer(300ms)}) {
        Timer shortest = Timer::max(), cpu{};
        for (int i = 0; i < 7; ++i) {
            const Timer start = waits.clock.GetTimer(), used = threadTime();
            waits.pacer.PacedWait(delay);
            shortest = std::min(shortest, waits.clock.GetTimer() - start);
            cpu += threadTime() - used;
        }
        check(shortest >= delay, "a wait lasts at least its delay (ms)", ms(shortest));
        check(cpu < 7 * delay / 4, "it sleeps: processor time below a quarter (ms)", ms(cpu));
    }

    // Why: a message that arrives during a wait (a button press, a repaint) is dispatched at once,
    // not when the wait ends.
    const Timer start = waits.clock.GetTimer();
    std::jthread input([thread = GetCurrentThreadId()] {
        Sleep(30);
        PostThreadMessageW(thread, WM_APP, 0, 0);
    });
    waits.pacer.PacedWait(200ms);
    check(waits.dispatched - start < 60ms, "a message is dispatched as it arrives (ms)",
          ms(waits.dispatched - start));

    // Why: a wait that a message ended first leaves its timer set, to fire unobserved once its time
    // has passed; that timer must not wake the next wait before its time.
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    waits.pump.WaitForEventsUntil(waits.clock.GetTimer() + 20ms);
    Sleep(40);
    const Timer next = waits.clock.GetTimer();
    waits.pump.WaitForEventsUntil(next + 50ms);
    check(waits.clock.GetTimer() - next >= 48ms, "the next sleep lasts to its deadline (ms)",
          ms(waits.clock.GetTimer() - next));

    // Why: a program whose window cannot be made must say so and end, not run on unseen. Before any
    // window is made, whose destruction would leave a quit to end the message box at once.
    {
        HHOOK hook = SetWindowsHookExW(WH_CBT, refuseWindow, nullptr, GetCurrentThreadId());
        const int status = win32::runOstavel(GetModuleHandleW(nullptr), thisEdition, SW_SHOW);
        UnhookWindowsHookEx(hook);
        check(status != 0 && said.starts_with(L"ウィンドウを作れません"),
              "a window not made is said in a message box, and the program fails", status);
    }

    // The window, from the first edition's start to a quit.
    WindowRig rig;
    // Why: where the named face is missing the font mapper chooses by the character set, and only a
    // Shift-JIS face has the Japanese glyphs. Moved to a screen of another DPI, the window takes
    // its size there and no label keeps a band of the picture it had before.
    check(fontsAsLaidOut(rig, 96), "the labels' fonts at 96 DPI", 96);
    for (const int scale : {2, 1}) {  // 421 x 279 at 96 DPI
        rig.changeDpi(96 * scale);
        RECT client{};
        GetClientRect(rig.hwnd, &client);
        check(client.right == 421 * scale && client.bottom == 279 * scale &&
                  fontsAsLaidOut(rig, 96 * scale) && labelsShowPicture(rig, argv[scale], scale),
              scale == 2 ? "at 192 DPI: its size, the fonts, the 2x picture behind every label"
                         : "back at 96 DPI: its size, the fonts, the 1x picture behind them",
              client.right);
    }

    // Why: the keyboard reaches every game: the focus starts on the first button, and Tab takes it
    // round the four buttons in their order. Only the focused button is pressed from the keyboard,
    // once per press however long the key is held; a modified Enter or Escape must not become the
    // dialog commands IDOK and IDCANCEL, which Windows reads as a press of whatever control has
    // those ids.
    std::wstring visited = textOf(GetFocus());
    for (int i = 0; i < 6; ++i) {
        rig.key(VK_TAB, 0);
        visited += L" " + textOf(GetFocus());
    }
    check(visited == L"ミニロト ロト6 Numbers3 Numbers4 ミニロト ロト6 Numbers3" &&
              rig.beeper.beeps() == 0,
          "the focus starts on the first button, and Tab takes it round the four in order",
          static_cast<double>(visited.size()));
    rig.key(VK_RETURN, 3, false, VK_SHIFT);
    rig.key(VK_RETURN, 3, false, VK_CONTROL);
    rig.key(VK_ESCAPE);
    const int beeps = rig.beeper.beeps();
    const auto headline = [&] { return textOf(control(rig.hwnd, "Label8")); };
    check(beeps == 0 || (beeps <= 3 && headline() == L"Numbers3の予想だよ"),
          "Shift+Enter, Ctrl+Enter, Escape: no forecast but perhaps the focused one's", beeps);
    rig.key(VK_RETURN);
    rig.key(VK_RETURN, 3, true);
    rig.key(VK_SPACE);
    check(rig.beeper.beeps() - beeps == 3 && headline() == L"Numbers3の予想だよ",
          "Enter, the keypad's Enter, Space, held: the focused one's forecast once each",
          rig.beeper.beeps() - beeps);

    // Why: a quit that does not come from the window (the session ending, another program) must end
    // the running forecast at once, not run it to its end, and then the event loop, with its
    // status, though the nested pump took the quit message.
    const int before = rig.beeper.beeps();
    rig.clock.tick = 1ms;
    PostMessageW(control(rig.hwnd, "roto6"), BM_CLICK, 0, 0);
    PostQuitMessage(7);
    const int status = rig.pump.run();
    check(status == 7 && rig.beeper.beeps() == before,
          "a quit from elsewhere ends a forecast, then the event loop", status);

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
