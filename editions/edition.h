#pragma once

#include "app/windowlayout.h"

namespace ostavel {

// What sets one edition of the program apart from the other, fixed when it is built. The
// edition's background picture is compiled in as a resource of the program.
struct Edition {
    layout::Rgb textColour;       // of the message line and the credit line
    const char* desktopFileName;  // the id of its desktop entry, for the desktop to match it
};

// The edition this program was built as.
extern const Edition thisEdition;

}  // namespace ostavel
