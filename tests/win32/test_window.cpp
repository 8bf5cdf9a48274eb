// The Windows window made in the test's own process, as the program makes it: the fonts it
// gives its labels, the keys that press its buttons, a change of DPI while it runs, a quit
// from elsewhere, and a window that cannot be made. Run under Wine in Xvfb by ctest; prints
// "N passed, M failed". The expected values are written here as the window is specified.
// usage: test_window PICTURE.bmp PICTURE@2x.bmp   the first edition's picture at 1x and 2x
#include <windows.h>

#include <thread>
#include <vector>

#include "app/win32/ostavelwindow.h"
#include "tests/fakes.h"
#include "tests/win32/check.h"

namespace {

using namespace ostavel;
using namespace std::chrono_literals;
using testing::check;

// The window of the first edition, on a clock that moves an hour at each reading, so that a
// press runs its whole forecast, and beeps, before it returns; or on the real clock.
struct Rig {
    struct QueueEmptier {  // of the quit that the window's destruction posts
        ~QueueEmptier() {
            for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) {
            }
        }
    } emptier;
    testing::VirtualClock virtualClock;
    win32::PerformanceCounterClock realClock;
    Clock& clock;
    win32::MessagePump pump{clock};
    SeededRandom random;
    testing::Recorder beeper{virtualClock};
    win32::OstavelWindow window{
        GetModuleHandleW(nullptr), thisEdition, {random, clock, pump, beeper}};
    HWND hwnd = FindWindowW(L"Ostavel", nullptr);

    explicit Rig(bool realTime = false)
        : clock(realTime ? static_cast<Clock&>(realClock) : virtualClock) {
        virtualClock.tick = 1h;
        pump.setFilter(&window);
        window.show(SW_SHOWNORMAL);
        SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
        pump.DoEvents();
    }
    HWND control(std::string_view name) const {
        for (std::size_t i = 0; i < layout::controls.size(); ++i) {
            if (layout::controls[i].name == name) {
                return GetDlgItem(hwnd, win32::controlId(i));
            }
        }
        return nullptr;
    }
    std::wstring text(std::string_view name) const {
        wchar_t buffer[64] = {};
        GetWindowTextW(control(name), buffer, 64);
        return buffer;
    }
    // A key's messages as the keyboard sends them, held for three repeats, with a modifier
    // held too or none.
    void key(UINT vk, bool keypad = false, BYTE modifier = 0) {
        BYTE state[256] = {};
        state[modifier] = modifier != 0 ? 0x80 : 0;
        SetKeyboardState(state);
        const auto flags = static_cast<LPARAM>(1 | MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16 |
                                               (keypad ? 1 << 24 : 0));
        HWND focus = GetFocus();
        for (int i = 0; i < 4; ++i) {
            PostMessageW(focus, WM_KEYDOWN, vk, flags | (i > 0 ? 1 << 30 : 0));
        }
        PostMessageW(focus, WM_KEYUP, vk, flags | 1 << 30 | static_cast<LPARAM>(1U << 31));
        pump.DoEvents();
        state[modifier] = 0;
        SetKeyboardState(state);
    }
};

// The pixels of a bitmap, top row first, as 0xRRGGBB, or of the screen's client area.
std::vector<DWORD> pixels(HBITMAP bitmap, SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> out(static_cast<std::size_t>(size.cx * size.cy));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.cy), out.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return out;
}

std::vector<DWORD> screenPixels(HWND window, SIZE size) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP shot = CreateCompatibleBitmap(screen, size.cx, size.cy);
    const HGDIOBJ old = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, size.cx, size.cy, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<DWORD> out = pixels(shot, size);
    DeleteObject(shot);
    return out;
}

// Whether every pixel of the transparent labels shows the picture for the DPI, or the text's
// colour (grey (64, 64, 64) or pale yellow (255, 255, 192)) blended into it: no other picture.
bool labelsShowPicture(const Rig& rig, const wchar_t* picturePath, int scale) {
    HBITMAP picture =
        static_cast<HBITMAP>(LoadImageW(nullptr, picturePath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP size{};
    if (GetObjectW(picture, sizeof size, &size) == 0) {
        return false;
    }
    const auto want = pixels(picture, {size.bmWidth, size.bmHeight});
    DeleteObject(picture);
    const auto seen = screenPixels(rig.hwnd, {421 * scale, 279 * scale});
    const auto channel = [](DWORD p, int shift) { return static_cast<int>(p >> shift & 255); };
    bool clean = true;
    // Label7, Label8 and Label9, in pixels at 96 DPI.
    const std::pair<RECT, DWORD> labels[] = {{{128, 184, 297, 208}, 0x404040},
                                             {{80, 8, 337, 41}, 0xFFFFC0},
                                             {{64, 256, 353, 273}, 0x404040}};
    for (const auto& [box, ink] : labels) {
        for (long y = box.top * scale; y < box.bottom * scale; ++y) {
            for (long x = box.left * scale; x < box.right * scale; ++x) {
                const DWORD shown = seen[y * 421 * scale + x], behind = want[y * size.bmWidth + x];
                for (int shift = 0; shift < 24; shift += 8) {
                    const int a = channel(behind, shift), b = channel(ink, shift);
                    const int c = channel(shown, shift);  // between them, but for rounding
                    clean &= c >= std::min(a, b) - 1 && c <= std::max(a, b) + 1;
                }
            }
        }
    }
    return clean;
}

// Each number, message and headline label's font, as the window made it: the face, the pixel
// height for the DPI, the weight and the Shift-JIS character set.
bool fontsAsSpecified(const Rig& rig, int dpi) {
    struct Font {
        const char* label;
        const wchar_t* face;
        int pixels;
        bool bold;
    };
    const Font fonts[] = {
        {"Label1", L"Terminal", 16, true},         {"Label2", L"Terminal", 16, true},
        {"Label3", L"Terminal", 16, true},         {"Label4", L"Terminal", 16, true},
        {"Label5", L"Terminal", 16, true},         {"Label6", L"Terminal", 16, true},
        {"Label7", L"ＭＳ Ｐゴシック", 13, false}, {"Label8", L"ＭＳ Ｐゴシック", 21, true}};
    bool all = true;
    for (const Font& font : fonts) {
        LOGFONTW f{};
        const auto handle =
            reinterpret_cast<HGDIOBJ>(SendMessageW(rig.control(font.label), WM_GETFONT, 0, 0));
        const bool ok =
            GetObjectW(handle, sizeof f, &f) == sizeof f &&
            std::wstring_view(f.lfFaceName) == font.face && f.lfHeight == -font.pixels * dpi / 96 &&
            f.lfWeight == (font.bold ? FW_BOLD : FW_NORMAL) && f.lfCharSet == SHIFTJIS_CHARSET &&
            !f.lfItalic && !f.lfUnderline && !f.lfStrikeOut;
        if (!ok) {
            std::printf("  %s: %ls, %ld px, weight %ld, character set %d\n", font.label,
                        f.lfFaceName, f.lfHeight, f.lfWeight, f.lfCharSet);
        }
        all &= ok;
    }
    return all;
}

void changeDpi(Rig& rig, UINT dpi) {
    RECT suggested{0, 0, 0, 0};
    SendMessageW(rig.hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    for (int i = 0; i < 5; ++i) {  // the paints, and the screen catching up with them
        rig.pump.DoEvents();
        Sleep(100);
    }
}

LRESULT CALLBACK refuseOstavel(int code, WPARAM w, LPARAM l) {
    wchar_t name[16] = {};
    if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(w), name, 16) > 0 &&
        std::wstring_view(name) == L"Ostavel") {
        return 1;
    }
    return CallNextHookEx(nullptr, code, w, l);
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc != 3) {
        return 2;
    }
    // Why: on a Windows without the named faces the font mapper picks a substitute by the
    // character set, and only a Shift-JIS one has the Japanese glyphs; sizes follow the DPI.
    // Why: moved to a screen of another DPI, the window takes its new size, and no label keeps
    // a band of the picture it had before; and back.
    {
        Rig rig;
        check(fontsAsSpecified(rig, 96), "the labels' fonts at 96 DPI", 96);
        changeDpi(rig, 192);
        RECT client{};
        GetClientRect(rig.hwnd, &client);
        check(client.right == 842 && client.bottom == 558, "at 192 DPI the window is 842 x 558",
              client.right);
        check(fontsAsSpecified(rig, 192), "the labels' fonts at 192 DPI", 192);
        check(labelsShowPicture(rig, argv[2], 2), "the 2x picture behind every label", 192);
        changeDpi(rig, 96);
        GetClientRect(rig.hwnd, &client);
        check(client.right == 421 && client.bottom == 279 && labelsShowPicture(rig, argv[1], 1),
              "back at 96 DPI: 421 x 279, the 1x picture behind every label", client.right);
    }

    // Why: only the focused button is pressed from the keyboard, once per press however long
    // the key is held; a modified Enter or Escape must not become the dialog commands IDOK
    // and IDCANCEL, which Windows reads as a press of whatever control has those ids.
    {
        Rig rig;
        SetFocus(rig.control("Numbers3"));
        const std::pair<UINT, BYTE> stray[] = {
            {VK_RETURN, VK_SHIFT}, {VK_RETURN, VK_CONTROL}, {VK_ESCAPE, 0}};
        for (const auto& [vk, modifier] : stray) {
            rig.key(vk, false, modifier);
        }
        const int beeps = rig.beeper.beeps();
        check(beeps == 0 || (beeps <= 3 && rig.text("Label8") == L"Numbers3の予想だよ"),
              "Shift+Enter, Ctrl+Enter, Escape: no forecast but perhaps the focused one's", beeps);
        rig.key(VK_RETURN);
        rig.key(VK_RETURN, true);
        rig.key(VK_SPACE);
        check(rig.beeper.beeps() - beeps == 3 && rig.text("Label8") == L"Numbers3の予想だよ",
              "Enter, the keypad's Enter, Space held: the focused button's forecast once each",
              rig.beeper.beeps() - beeps);
    }

    // Why: a quit that does not come from the window (the session ending, another program)
    // must end a running forecast as closing the window does, not spin through its waits.
    {
        Rig rig(true);
        PostMessageW(rig.control("roto6"), BM_CLICK, 0, 0);
        const DWORD thread = GetCurrentThreadId();
        const std::jthread quitter([thread] {
            Sleep(300);
            PostThreadMessageW(thread, WM_QUIT, 7, 0);
        });
        const Timer start = rig.realClock.GetTimer();
        const int status = rig.pump.run();
        const double lasted =
            std::chrono::duration<double>(rig.realClock.GetTimer() - start).count();
        check(status == 7 && lasted < 1, "a quit from elsewhere ends a forecast at once (s)",
              lasted);
    }

    // Why: a program whose window cannot be made must say so and end, not run on unseen.
    {
        HHOOK hook = SetWindowsHookExW(WH_CBT, refuseOstavel, nullptr, GetCurrentThreadId());
        std::wstring said;
        const DWORD thread = GetCurrentThreadId();
        std::jthread reader([&said, thread] {
            for (int i = 0; i < 100 && said.empty(); ++i, Sleep(50)) {
                EnumThreadWindows(
                    thread,
                    [](HWND box, LPARAM said) {
                        std::wstring text;
                        EnumChildWindows(
                            box,
                            [](HWND child, LPARAM text) {
                                wchar_t line[256] = {};
                                GetWindowTextW(child, line, 256);
                                *reinterpret_cast<std::wstring*>(text) += line;
                                return TRUE;
                            },
                            reinterpret_cast<LPARAM>(&text));
                        if (text.find(L"ウィンドウ") != std::wstring::npos) {
                            *reinterpret_cast<std::wstring*>(said) = text;
                            PostMessageW(box, WM_COMMAND, IDOK, 0);
                        }
                        return TRUE;
                    },
                    reinterpret_cast<LPARAM>(&said));
            }
        });
        const int status = win32::runOstavel(GetModuleHandleW(nullptr), thisEdition, SW_SHOW);
        reader.join();
        UnhookWindowsHookEx(hook);
        check(status != 0 && said.find(L"ウィンドウを作れません") != std::wstring::npos,
              "a window that cannot be made is said in a message box, and fails", status);
    }
    return testing::tally();
}
