#pragma once

// The form "Ostavel" as every front end builds it: the window, its thirteen controls, their
// places, fonts, colours, alignment, tab order and first texts (below the table, the headline's
// that start-up writes; the edition holds the message line's and the credit line's).
// Toolkit-neutral, so every front end reads the one description and nothing of it is written
// twice.

#include <array>
#include <span>
#include <string_view>

#include "editions/edition.h"
#include "forecast/games.h"
#include "runtime/captions.h"

namespace ostavel::layout {

using ostavel::Rgb;

// A place in the window, in twips (1/1440 inch) from the client area's top-left corner.
// 15 twips make one pixel at 96 dots per inch, and every place here is a whole number of pixels.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

// The same place in pixels at 96 dots per inch.
struct Pixels {
    int left;
    int top;
    int width;
    int height;
};

constexpr int twipsPerPixel = 15;

constexpr Pixels pixels(Twips t) {
    return {t.left / twipsPerPixel, t.top / twipsPerPixel, t.width / twipsPerPixel,
            t.height / twipsPerPixel};
}

inline constexpr std::string_view windowName = "Ostavel";
inline constexpr std::string_view title = "Ostavel★";
inline constexpr Twips clientArea{0, 0, 6315, 4185};  // 421 x 279 px

// A face list starts with the Windows face the window was designed with; a toolkit that lacks
// it tries the rest in order. Fonts are sized in pixels at 96 dots per inch.
struct Font {
    std::span<const std::string_view> faces;  // empty: the toolkit's own label font
    int pixelSize = 0;
    bool bold = false;
    bool fixedPitch = false;
    bool shiftJis = false;  // the Japanese character set, for font mappers that choose by it
};

inline constexpr std::string_view terminalFaces[] = {"Terminal", "DejaVu Sans Mono"};
// IPA's P Gothic has the metrics of the Windows face; Noto Sans CJK is the common fallback.
inline constexpr std::string_view pGothicFaces[] = {"ＭＳ Ｐゴシック", "IPAPGothic",
                                                    "Noto Sans CJK JP"};

enum class Ink {
    SystemText,  // the system's window-text colour, on its window-background colour
    Edition,     // the edition's colour of the message and credit lines
    PaleYellow,
};
inline constexpr Rgb paleYellow{255, 255, 192};

enum class Align { Left, Centre };

enum class Kind { Button, Label };

struct Control {
    std::string_view name;
    Kind kind;
    Twips place;
    std::string_view text;  // UTF-8
    Button button = {};     // buttons
    Label label = {};       // labels, and their look:
    Font font = {};
    Ink ink = Ink::SystemText;
    bool opaque = false;  // filled with the system's window colour, else the picture shows
    Align align = Align::Left;
};

namespace detail {

constexpr Font terminal{terminalFaces, 16, true, true, true};
constexpr Font messageFont{pGothicFaces, 13, false, false, true};
constexpr Font headlineFont{pGothicFaces, 21, true, false, true};

constexpr Control button(std::string_view name, Button button, int left, std::string_view caption) {
    return {name, Kind::Button, {left, 3120, 1095, 375}, caption, button};
}

// Number label p sits in bubble p; the bubbles are 960 twips (64 px) apart.
constexpr Control number(std::string_view name, int position) {
    return {name,
            Kind::Label,
            {480 + 960 * (position - 1), 960, 540, 420},
            "",
            {},
            numberLabel(position),
            terminal,
            Ink::SystemText,
            true,
            Align::Centre};
}

constexpr Control line(std::string_view name, Label label, Twips place, std::string_view text,
                       Font font, Ink ink, Align align) {
    return {name, Kind::Label, place, text, {}, label, font, ink, false, align};
}

}  // namespace detail

// In tab order, which is also the order of creation: focus starts on miniroto and Tab visits
// the four buttons (labels take no focus). The gaps between the buttons' left edges are 1200,
// 1200 and 1320 twips. Where the message line's box overlaps the tops of roto6 and Numbers3,
// the buttons are drawn above it.
inline constexpr std::array<Control, 13> controls{{
    detail::button("miniroto", Button::miniroto, 720, "ミニロト"),
    detail::number("Label1", 1),
    detail::number("Label2", 2),
    detail::number("Label3", 3),
    detail::number("Label4", 4),
    detail::number("Label5", 5),
    detail::button("roto6", Button::roto6, 1920, "ロト6"),
    detail::button("Numbers3", Button::Numbers3, 3120, "Numbers3"),
    detail::button("Numbers4", Button::Numbers4, 4440, "Numbers4"),
    detail::number("Label6", 6),
    detail::line("Label7", Label::Label7, {1920, 2760, 2535, 495}, "", detail::messageFont,
                 Ink::Edition, Align::Centre),
    detail::line("Label8", Label::Label8, {1200, 120, 3855, 495}, "", detail::headlineFont,
                 Ink::PaleYellow, Align::Centre),
    // The credit line's text is the edition's; nothing writes it at run time.
    detail::line("Label9", Label::Label9, {960, 3840, 4335, 255}, {}, {}, Ink::Edition,
                 Align::Left),
}};

// The first texts of the headline and the message line, empty in the table: start-up
// (Form_Load) writes them before the window is first shown, and nothing writes them again. The
// headline's is the program's name without the title's star; the message line's is the
// edition's byline.
inline constexpr std::string_view firstHeadline = "Ostavel";

}  // namespace ostavel::layout
