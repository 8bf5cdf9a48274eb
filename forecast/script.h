#pragma once

#include <span>
#include <string_view>

#include "runtime/clock.h"

namespace ostavel {

// One step of a forecast, in the order the user sees them.
struct Step {
    enum class Kind {
        Headline,       // write text into the headline
        Message,        // write text into the message line
        Blank,          // empty the number label of position
        Spin,           // run the reel routine whose first position is position
        Draw,           // draw the forecast's whole set of numbers
        Reveal,         // show the drawn number of position in its label
        Wait,           // paced wait of delay
        WaitingRemark,  // capcap2
        ClosingRemark,  // capcap, which beeps
    };

    Kind kind;
    int position = 0;
    std::string_view text = {};
    Timer delay = {};
};

using Script = std::span<const Step>;

constexpr Step headlineText(std::string_view text) {
    return {Step::Kind::Headline, 0, text};
}
constexpr Step messageText(std::string_view text) {
    return {Step::Kind::Message, 0, text};
}
constexpr Step blank(int position) {
    return {Step::Kind::Blank, position};
}
constexpr Step spin(int position) {
    return {Step::Kind::Spin, position};
}
constexpr Step draw() {
    return {Step::Kind::Draw};
}
constexpr Step reveal(int position) {
    return {Step::Kind::Reveal, position};
}
constexpr Step wait(Timer delay) {
    return {Step::Kind::Wait, 0, {}, delay};
}
constexpr Step waitingRemark() {
    return {Step::Kind::WaitingRemark};
}
constexpr Step closingRemark() {
    return {Step::Kind::ClosingRemark};
}

}  // namespace ostavel
