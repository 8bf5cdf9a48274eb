#pragma once

#include "app/startup.h"
#include "forecast/forecasts.h"

namespace ostavel::web {

// The form "Ostavel" in the page. Its thirteen controls are the page's elements, written from
// the window table when the page is built (makepage.cpp); this only runs the start-up into the
// page's captions and forwards the presses to the forecasts.
class PageWindow final {
public:
    PageWindow(const Edition& edition, Captions& captions, const WindowServices& services);

    void click(Button button) { forecasts_.click(button); }

private:
    Pacer pacer_;
    Forecasts forecasts_;
};

}  // namespace ostavel::web
