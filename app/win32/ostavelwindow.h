#pragma once

#include <windows.h>

#include <array>

#include "app/startup.h"
#include "app/win32/handles.h"
#include "app/win32/resource.h"
#include "app/win32/services.h"
#include "forecast/forecasts.h"

namespace ostavel::win32 {

// A control's id is its row of the window table counted from this base, far from IDOK,
// IDCANCEL and the other dialog ids: the dialog keyboard handling, finding no default button,
// sends those as commands, which must not read as a press of any control.
constexpr int firstControlId = 1000;
constexpr int controlId(std::size_t row) {
    return firstControlId + static_cast<int>(row);
}

// The form "Ostavel" as a Win32 window: the edition's picture and the thirteen standard BUTTON
// and STATIC controls of the window table, placed for the window's DPI. It only builds the
// controls, writes captions and forwards button presses to the forecasts; the window procedure
// only dispatches.
class OstavelWindow final : public Captions, public MessageFilter {
public:
    // Throws std::runtime_error, its text naming in Japanese what failed, where the window
    // cannot be made.
    OstavelWindow(HINSTANCE instance, const Edition& edition, const WindowServices& services);
    ~OstavelWindow() override;
    OstavelWindow(const OstavelWindow&) = delete;
    OstavelWindow& operator=(const OstavelWindow&) = delete;

    void show(int how);

    void setCaption(Label label, std::string_view text) override;
    bool preTranslate(MSG& message) override;
    void quitting() override;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);

    void createControls();
    [[noreturn]] void fail(const char* what);
    void applyDpi(UINT dpi, const RECT* suggested);
    void makePicture(UINT dpi);
    void loadIcons();
    void paint(HDC dc);
    LRESULT colourStatic(HDC dc, HWND control);
    LRESULT colourButton(HDC dc, HWND control);
    void onCommand(WORD notification, HWND control);
    void onActivate(WORD state);
    void onNextControl(WPARAM w, LPARAM l);
    const layout::Control* controlOf(HWND control) const;

    HINSTANCE instance_;
    const Edition& edition_;
    Pacer pacer_;
    Forecasts forecasts_;
    HWND window_ = nullptr;
    std::array<HWND, layout::controls.size()> controls_{};
    HWND focus_ = nullptr;  // the control to give the focus back to when the window is active
    IconHandle bigIcon_, smallIcon_;
    FontHandle messageFont_;  // the buttons' and the credit line's: the system's message font
    std::array<FontHandle, layout::controls.size()> fonts_;
    BitmapHandle picture_;  // the client area's picture at the window's DPI
    BrushHandle pictureBrush_;
};

// Runs the program: the window of the edition, until it is closed or the session ends. Where the
// window cannot be made it says so in a message box; returns the exit status.
int runOstavel(HINSTANCE instance, const Edition& edition, int show);

}  // namespace ostavel::win32
