#pragma once

namespace ostavel {

struct Rgb {
    int red;
    int green;
    int blue;
};

// What sets one edition of the program apart from the other, fixed when it is built. The
// edition's background picture is compiled in as a resource of the program.
struct Edition {
    Rgb textColour;               // of the message line and the credit line
    const char* desktopFileName;  // the id of its desktop entry, for the desktop to match it
    const char* byline;           // the message line's first text, written by Form_Load
    const char* creditLine;       // the credit line's text, never written at run time
};

// The edition this program was built as.
extern const Edition thisEdition;

}  // namespace ostavel
