#include "app/win32/ostavelwindow.h"

#include <cwchar>

namespace ostavel::win32 {

namespace {

constexpr wchar_t className[] = L"Ostavel";
constexpr UINT_PTR iconTimer = 1;  // loads the window's icons once it has been painted
// Fixed size: no sizing border and no maximise button.
constexpr DWORD windowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

int scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

COLORREF toColorref(layout::Rgb rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// The table's face, in the character set it names; GDI's font mapper picks the nearest face
// where the system lacks it.
FontHandle createFont(const layout::Font& font, UINT dpi) {
    LOGFONTW description{};
    description.lfHeight = -scaled(font.pixelSize, dpi);
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = font.shiftJis ? SHIFTJIS_CHARSET : DEFAULT_CHARSET;
    description.lfPitchAndFamily =
        font.fixedPitch ? (FIXED_PITCH | FF_MODERN) : (VARIABLE_PITCH | FF_SWISS);
    const std::wstring face = widen(font.faces.front());
    std::wcsncpy(description.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return FontHandle(CreateFontIndirectW(&description));
}

// The system's message font, as dialogs and their buttons use: it has Japanese glyphs on every
// Windows, where DEFAULT_GUI_FONT may show boxes.
FontHandle createMessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    return FontHandle(CreateFontIndirectW(&metrics.lfMessageFont));
}

// The top left part of size from of a picture, scaled to size to.
BitmapHandle stretched(HBITMAP picture, SIZE from, SIZE to) {
    HDC screen = GetDC(nullptr);
    BitmapHandle result(CreateCompatibleBitmap(screen, to.cx, to.cy));
    const MemoryDcHandle source(CreateCompatibleDC(screen)), target(CreateCompatibleDC(screen));
    ReleaseDC(nullptr, screen);
    const HGDIOBJ oldSource = SelectObject(source.get(), picture);
    const HGDIOBJ oldTarget = SelectObject(target.get(), result.get());
    SetStretchBltMode(target.get(), HALFTONE);
    SetBrushOrgEx(target.get(), 0, 0, nullptr);
    StretchBlt(target.get(), 0, 0, to.cx, to.cy, source.get(), 0, 0, from.cx, from.cy, SRCCOPY);
    SelectObject(source.get(), oldSource);
    SelectObject(target.get(), oldTarget);
    return result;
}

}  // namespace

OstavelWindow::OstavelWindow(HINSTANCE instance, const Edition& edition,
                             const WindowServices& services)
    : instance_(instance),
      edition_(edition),
      pacer_(services.clock, services.pump),
      forecasts_({*this, services.random, services.beeper, pacer_}) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
    CreateWindowExW(0, className, widen(layout::title).c_str(), windowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
    createControls();
    applyDpi(GetDpiForWindow(window_), nullptr);
    Form_Load(*this, services.random, edition);
}

OstavelWindow::~OstavelWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void OstavelWindow::createControls() {
    // In tab order: the first made is the first in the tab order and the top of the z-order, so
    // the buttons lie above the message line where its box overlaps them.
    for (std::size_t i = 0; i < layout::controls.size(); ++i) {
        const layout::Control& control = layout::controls[i];
        const bool button = control.kind == layout::Kind::Button;
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        if (button) {
            style |= BS_PUSHBUTTON | WS_TABSTOP;
        } else {
            style |= SS_NOPREFIX | (control.align == layout::Align::Centre ? SS_CENTER : SS_LEFT);
        }
        const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1));
        controls_[i] = CreateWindowExW(0, button ? L"BUTTON" : L"STATIC",
                                       widen(initialText(control, edition_)).c_str(), style, 0, 0,
                                       0, 0, window_, id, instance_, nullptr);
    }
    focus_ = controls_.front();
}

void OstavelWindow::show(int how) {
    ShowWindow(window_, how);
    UpdateWindow(window_);
}

void OstavelWindow::setCaption(Label label, std::string_view text) {
    for (std::size_t i = 0; i < layout::controls.size(); ++i) {
        if (layout::controls[i].kind == layout::Kind::Label && layout::controls[i].label == label) {
            SetWindowTextW(controls_[i], widen(text).c_str());
        }
    }
}

bool OstavelWindow::preTranslate(MSG& message) {
    // Enter and the keypad's Enter press the focused button, like Space; with no default
    // button the dialog keyboard handling would not. A held key's repeats press nothing.
    const bool plainEnter = message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
                            GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    const layout::Control* control = controlOf(message.hwnd);
    if (plainEnter && control != nullptr && control->kind == layout::Kind::Button) {
        const bool repeat = (message.lParam & (1 << 30)) != 0;
        if (!repeat) {
            forecasts_.click(control->button);
        }
        return true;
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

LRESULT CALLBACK OstavelWindow::procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<OstavelWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<OstavelWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, w, l);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return DefWindowProcW(window, message, w, l);
    }
    return self->handle(message, w, l);
}

LRESULT OstavelWindow::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(w));
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(window_, &ps);
            EndPaint(window_, &ps);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            return colourStatic(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
        case WM_CTLCOLORBTN:
            return colourButton(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
        case WM_COMMAND:
            onCommand(HIWORD(w), reinterpret_cast<HWND>(l));
            return 0;
        case WM_ACTIVATE:
            onActivate(LOWORD(w));
            return 0;
        case WM_SETFOCUS:
            SetFocus(focus_);
            return 0;
        case WM_NEXTDLGCTL:
            onNextControl(w, l);
            return 0;
        case WM_TIMER:
            if (w == iconTimer) {
                loadIcons();
            }
            return 0;
        case WM_DPICHANGED:
            applyDpi(HIWORD(w), reinterpret_cast<const RECT*>(l));
            return 0;
        case WM_DESTROY:
            // Forecasts still running, at any depth, end at their next wait and write nothing
            // more; the event loop then ends the program.
            pacer_.stop();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, w, l);
    }
}

void OstavelWindow::onCommand(WORD notification, HWND control) {
    const layout::Control* pressed = controlOf(control);
    if (notification == BN_CLICKED && pressed != nullptr && pressed->kind == layout::Kind::Button) {
        forecasts_.click(pressed->button);
    }
}

void OstavelWindow::onActivate(WORD state) {
    // The focus leaves with the window and comes back to the same button.
    if (state == WA_INACTIVE) {
        if (controlOf(GetFocus()) != nullptr) {
            focus_ = GetFocus();
        }
    } else {
        SetFocus(focus_);
    }
}

void OstavelWindow::onNextControl(WPARAM w, LPARAM l) {
    // The dialog keyboard handling asks for this on Tab; for a window that is not a dialog it
    // falls to the window to move the focus, as a dialog's own procedure would.
    HWND next =
        LOWORD(l) != 0 ? reinterpret_cast<HWND>(w) : GetNextDlgTabItem(window_, GetFocus(), w != 0);
    if (next != nullptr) {
        SetFocus(next);
    }
}

const layout::Control* OstavelWindow::controlOf(HWND control) const {
    if (control == nullptr || GetParent(control) != window_) {
        return nullptr;
    }
    const int id = GetDlgCtrlID(control);
    if (id < 1 || id > static_cast<int>(layout::controls.size())) {
        return nullptr;
    }
    return &layout::controls[static_cast<std::size_t>(id - 1)];
}

void OstavelWindow::applyDpi(UINT dpi, const RECT* suggested) {
    const layout::Pixels client = layout::pixels(layout::clientArea);
    RECT frame{0, 0, scaled(client.width, dpi), scaled(client.height, dpi)};
    AdjustWindowRectExForDpi(&frame, windowStyle, FALSE, 0, dpi);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    if (suggested != nullptr) {
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(window_, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // New fonts first: a control must never hold a font already deleted.
    FontHandle messageFont = createMessageFont(dpi);
    std::array<FontHandle, layout::controls.size()> fonts;
    for (std::size_t i = 0; i < layout::controls.size(); ++i) {
        const layout::Control& control = layout::controls[i];
        const layout::Pixels place = layout::pixels(control.place);
        SetWindowPos(controls_[i], nullptr, scaled(place.left, dpi), scaled(place.top, dpi),
                     scaled(place.width, dpi), scaled(place.height, dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        const bool ownFont = control.kind == layout::Kind::Label && !control.font.faces.empty();
        if (ownFont) {
            fonts[i] = createFont(control.font, dpi);
        }
        SendMessageW(controls_[i], WM_SETFONT,
                     reinterpret_cast<WPARAM>(ownFont ? fonts[i].get() : messageFont.get()), TRUE);
    }
    messageFont_ = std::move(messageFont);
    fonts_ = std::move(fonts);

    makePicture(dpi);
    InvalidateRect(window_, nullptr, TRUE);
    // The icons can wait: a timer's message comes only once no paint is pending.
    SetTimer(window_, iconTimer, USER_TIMER_MINIMUM, nullptr);
}

void OstavelWindow::loadIcons() {
    KillTimer(window_, iconTimer);
    const UINT dpi = GetDpiForWindow(window_);
    const auto loadIcon = [&](int metric) {
        const int size = GetSystemMetricsForDpi(metric, dpi);
        return IconHandle(static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(OSTAVEL_ICON), IMAGE_ICON, size, size, 0)));
    };
    IconHandle big = loadIcon(SM_CXICON), small = loadIcon(SM_CXSMICON);
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);
}

void OstavelWindow::makePicture(UINT dpi) {
    // The 2x picture above 96 DPI: as it stands at 96 and 192 DPI, scaled smoothly between.
    const int scale = dpi > USER_DEFAULT_SCREEN_DPI ? 2 : 1;
    BitmapHandle picture(static_cast<HBITMAP>(
        LoadImageW(instance_, MAKEINTRESOURCEW(scale == 1 ? OSTAVEL_PICTURE : OSTAVEL_PICTURE_2X),
                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const layout::Pixels client = layout::pixels(layout::clientArea);
    const SIZE from{client.width * scale, client.height * scale};
    const SIZE to{scaled(client.width, dpi), scaled(client.height, dpi)};
    if (from.cx != to.cx || from.cy != to.cy) {
        picture = stretched(picture.get(), from, to);
    }
    // The transparent labels fill their boxes with the part of the picture behind them, so a
    // changed caption repaints cleanly over the picture, never over its old text.
    pictureBrush_.reset(CreatePatternBrush(picture.get()));
    picture_ = std::move(picture);
}

void OstavelWindow::paint(HDC dc) {
    const MemoryDcHandle memory(CreateCompatibleDC(dc));
    const HGDIOBJ old = SelectObject(memory.get(), picture_.get());
    BITMAP size;
    GetObjectW(picture_.get(), sizeof size, &size);
    BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory.get(), 0, 0, SRCCOPY);
    SelectObject(memory.get(), old);
}

LRESULT OstavelWindow::colourStatic(HDC dc, HWND control) {
    const layout::Control* label = controlOf(control);
    if (label == nullptr) {
        return DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(control));
    }
    if (label->opaque) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    SetTextColor(dc, label->ink == layout::Ink::Edition ? toColorref(edition_.textColour)
                                                        : toColorref(layout::paleYellow));
    SetBkMode(dc, TRANSPARENT);
    return colourButton(dc, control);
}

LRESULT OstavelWindow::colourButton(HDC dc, HWND control) {
    // The picture brush, aligned so the control shows the part of the picture it covers.
    POINT origin{0, 0};
    MapWindowPoints(control, window_, &origin, 1);
    SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
    return reinterpret_cast<LRESULT>(pictureBrush_.get());
}

}  // namespace ostavel::win32
