// The benchmark's subject on Win32: the Ostavel window, the bare window, and the floor's replay
// on the message queue's own timeout, as the Windows programs run them. A console program, so
// it talks to the measuring script through its standard input and output.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "app/win32/ostavelwindow.h"
#include "app/win32/services.h"
#include "bench/subject.h"

namespace ostavel::bench {

namespace {

// Sleeps until the next message or the deadline, a millisecond at a time: the plainest
// wait a Win32 program has.
void waitForMessageUntil(Clock& clock, Timer deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock.GetTimer());
    if (left.count() > 0) {
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

class Win32Toolkit final : public Toolkit {
public:
    Clock& clock() override { return clock_; }
    EventPump& pump() override { return pump_; }

    void showOstavel(EventPump& pump, Beeper& beeper) override {
        ostavel_ = std::make_unique<win32::OstavelWindow>(
            instance_, thisEdition, WindowServices{random_, clock_, pump, beeper});
        pump_.setFilter(ostavel_.get());
        ostavel_->show(SW_SHOWNORMAL);
        paintAll();
    }

    void showBare() override {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = instance_;
        windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        windowClass.lpszClassName = L"OstavelBare";
        RegisterClassExW(&windowClass);
        const layout::Pixels client = layout::pixels(layout::clientArea);
        RECT frame{0, 0, client.width, client.height};
        const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        AdjustWindowRectEx(&frame, style, FALSE, 0);
        bare_ = CreateWindowExW(0, windowClass.lpszClassName, L"Ostavel", style, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance_, nullptr);
        CreateWindowExW(0, L"STATIC", L"ロト6の予想です", WS_CHILD | WS_VISIBLE, 8, 8, 200, 20,
                        bare_, nullptr, instance_, nullptr);
        ShowWindow(bare_, SW_SHOWNORMAL);
        UpdateWindow(bare_);
        paintAll();
    }

    void click(const layout::Control& button) override {
        // The window numbers its controls from 1, in the table's order.
        const auto id = static_cast<int>(&button - layout::controls.data()) + 1;
        SendMessageW(GetDlgItem(FindWindowW(L"Ostavel", nullptr), id), BM_CLICK, 0, 0);
    }

    void replay(const Timeline& timeline) override {
        const Timer start = clock_.GetTimer();
        for (const CaptionWrite& write : timeline.writes) {
            dispatchUntil(start + write.at);
            ostavel_->setCaption(write.label, write.text);
        }
        dispatchUntil(start + timeline.end);
    }

private:
    // The controls' paints, queued behind the window's own: then the window is drawn. Other
    // messages wait, as the message loop leaves them until no paint is pending.
    static void paintAll() {
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }

    void dispatchUntil(Timer deadline) {
        for (pump_.DoEvents(); clock_.GetTimer() < deadline; pump_.DoEvents()) {
            waitForMessageUntil(clock_, deadline);
        }
    }

    HINSTANCE instance_ = GetModuleHandleW(nullptr);
    win32::PerformanceCounterClock clock_;
    win32::MessagePump pump_{clock_};
    SeededRandom random_;
    std::unique_ptr<win32::OstavelWindow> ostavel_;
    HWND bare_ = nullptr;
};

}  // namespace

}  // namespace ostavel::bench

int wmain(int argc, wchar_t* argv[]) {
    // The modes and game names are ASCII.
    std::vector<std::string> narrow(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) {
        for (const wchar_t* c = argv[i]; *c != L'\0'; ++c) {
            narrow[static_cast<std::size_t>(i)] += static_cast<char>(*c);
        }
    }
    std::vector<char*> arguments;
    for (std::string& argument : narrow) {
        arguments.push_back(argument.data());
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ostavel::bench::Win32Toolkit toolkit;
    return ostavel::bench::runSubject(arguments, toolkit);
}
