#pragma once

// What every front end does as its window opens, whichever toolkit draws it: the services the
// window hands to its forecasts, each control's first text, and the load handler. Standard
// library only, so that a front end takes it as it is and adds only what its toolkit does.

#include <string_view>

#include "app/windowlayout.h"
#include "editions/edition.h"
#include "runtime/beeper.h"
#include "runtime/captions.h"
#include "runtime/clock.h"
#include "runtime/eventpump.h"
#include "runtime/random.h"

namespace ostavel {

// The platform services a window hands to its forecasts.
struct WindowServices {
    RandomSource& random;
    Clock& clock;
    EventPump& pump;
    Beeper& beeper;
};

// A control's text as the window is made: the window table's, but for the credit line, which
// is the edition's.
constexpr std::string_view initialText(const layout::Control& control, const Edition& edition) {
    return control.label == Label::Label9 ? std::string_view(edition.creditLine) : control.text;
}

// The window's load handler: runs once, after the controls exist and before the window is
// first shown, so the headline and the message line are never seen empty. It seeds the run's
// one random sequence; no draw comes before it.
inline void Form_Load(Captions& window, RandomSource& random, const Edition& edition) {
    window.setCaption(headline, layout::firstHeadline);
    window.setCaption(messageLine, edition.byline);
    random.Randomize();
}

}  // namespace ostavel
