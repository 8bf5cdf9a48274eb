#pragma once

namespace ostavel {

struct Rgb {
    int red;
    int green;
    int blue;
};

// What sets one edition of the program apart from the other, fixed when it is built. The
// edition's background picture is compiled in as the resource :/ostavel/background.png.
struct Edition {
    Rgb textColour;               // of the message line and the credit line
    const char* desktopFileName;  // the id of its desktop entry, for the desktop to match it
};

// The edition this program was built as.
extern const Edition thisEdition;

}  // namespace ostavel
