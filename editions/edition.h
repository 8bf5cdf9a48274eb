#pragma once

#include "app/windowlayout.h"

namespace ostavel {

// What sets one edition of the program apart from the other, fixed when it is built. The
// edition's background picture is compiled in as a resource of the program.
struct Edition {
    layout::Rgb textColour;       // of the message line and the credit line
    const char* desktopFileName;  // the id of its desktop entry, for the desktop to match it
    const char* byline;           // the message line's first text
    const char* creditLine;       // the credit line's text, never written at run time
};

// A control's first text: the window table's, but for the credit line, which is the edition's.
inline std::string_view initialText(const layout::Control& control, const Edition& edition) {
    return control.label == Label::Label9 ? std::string_view(edition.creditLine) : control.text;
}

// The edition this program was built as.
extern const Edition thisEdition;

}  // namespace ostavel
