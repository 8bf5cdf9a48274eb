#pragma once

#include "editions/edition.h"
#include "forecast/forecasts.h"

namespace ostavel::web {

// The platform services the window hands to its forecasts.
struct WindowServices {
    Captions& captions;
    RandomSource& random;
    Clock& clock;
    EventPump& pump;
    Beeper& beeper;
};

// The form "Ostavel" in the page. Its thirteen controls are the page's elements, written from
// the window table when the page is built (makepage.cpp); this only runs the start-up and
// forwards the presses to the forecasts.
class PageWindow final {
public:
    PageWindow(const Edition& edition, const WindowServices& services);

    // Runs once, before the first press. The page was built with the texts it writes, so they
    // are on screen from the first paint, long before the program has loaded.
    void Form_Load();
    void click(Button button) { forecasts_.click(button); }

private:
    const Edition& edition_;
    Captions& captions_;
    RandomSource& random_;
    Pacer pacer_;
    Forecasts forecasts_;
};

}  // namespace ostavel::web
