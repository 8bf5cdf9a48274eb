#pragma once

#include <windows.h>

#include <array>

#include "app/startup.h"
#include "app/win32/handles.h"
#include "app/win32/resource.h"
#include "app/win32/services.h"
#include "forecast/forecasts.h"

namespace ostavel::win32 {

// The form "Ostavel" as a Win32 window: the edition's picture and the thirteen standard BUTTON
// and STATIC controls of the window table, placed for the window's DPI. It only builds the
// controls, writes captions and forwards button presses to the forecasts; the window procedure
// only dispatches.
class OstavelWindow final : public Captions, public MessageFilter {
public:
    OstavelWindow(HINSTANCE instance, const Edition& edition, const WindowServices& services);
    ~OstavelWindow() override;
    OstavelWindow(const OstavelWindow&) = delete;
    OstavelWindow& operator=(const OstavelWindow&) = delete;

    void show(int how);

    void setCaption(Label label, std::string_view text) override;
    bool preTranslate(MSG& message) override;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);

    void createControls();
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

}  // namespace ostavel::win32
