#include "reels/reels.h"

#include "runtime/numbertext.h"

namespace ostavel {

int shownCount(Number max) {
    return (max >= 3 && max <= 5) ? max : positionCount;
}

void Reels::kurukuru(Number u, Number l, Number max) {
    spin(reelStages[0], u, l, max);
}
void Reels::kurukuru2(Number u, Number l, Number max) {
    spin(reelStages[1], u, l, max);
}
void Reels::kurukuru3(Number u, Number l, Number max) {
    spin(reelStages[2], u, l, max);
}
void Reels::kurukuru4(Number u, Number l, Number max) {
    spin(reelStages[3], u, l, max);
}
void Reels::kurukuru5(Number u, Number l, Number max) {
    spin(reelStages[4], u, l, max);
}
void Reels::kurukuru6(Number u, Number l, Number max) {
    spin(reelStages[5], u, l, max);
}

void Reels::spin(const ReelStage& stage, Number upperbound, Number lowerbound, Number max) {
    const int shown = shownCount(max);
    // Frames are counted 0 to frames - 1: a stage of the table runs exactly its frames.
    for (int frame = 0; frame < stage.frames; ++frame) {
        // A frame draws all of its numbers before it writes any of them.
        std::array<Number, positionCount + 1> drawn{};
        for (int p = stage.firstPosition; p <= shown; ++p) {
            drawn[p] = RandomInRange(random_, upperbound, lowerbound);
        }
        showFrame(stage.firstPosition, shown, drawn);
        pacer_.PacedWait(stage.delay);
        if (pacer_.stopped()) {
            return;
        }
    }
}

void Reels::showFrame(int first, int shown, const std::array<Number, positionCount + 1>& drawn) {
    for (int p = first; p <= positionCount; ++p) {
        captions_.setCaption(numberLabel(p), p <= shown ? NumberText(drawn[p]) : std::string());
    }
}

}  // namespace ostavel
