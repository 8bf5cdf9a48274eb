#pragma once

#include "forecast/draw.h"
#include "forecast/games.h"
#include "reels/pacedwait.h"
#include "reels/reels.h"
#include "remarks/remarks.h"

namespace ostavel {

// Everything outside itself that a forecast reaches.
struct ForecastServices {
    Captions& captions;
    RandomSource& random;
    Beeper& beeper;
    Pacer& pacer;
};

// The four game buttons' click handlers. Each runs its whole forecast synchronously, from the
// headline to the closing remark and beep, keeping the window alive through the paced waits.
//
// Nothing is disabled while a forecast runs: a button pressed during a wait runs its own
// forecast nested inside that wait, and the interrupted one then goes on where it stopped;
// each label keeps what was written into it last. Nesting is bounded far beyond what anyone
// can click, so no run of presses can exhaust the stack. Once the window has closed, running
// forecasts end at their next wait without writing again, and presses do nothing.
class Forecasts final {
public:
    static constexpr int maxDepth = 64;

    explicit Forecasts(const ForecastServices& services);

    void roto6_Click();
    // The Mini Loto button is element 0 of a one-button array; the index is not used.
    void miniroto_Click(int index);
    void Numbers3_Click();
    void Numbers4_Click();
    // The handler of a button, for the window to forward a press to.
    void click(Button button);

    // How many forecasts are running now, nested ones included.
    int depth() const { return depth_; }

private:
    void run(const Game& game);
    void perform(const Step& step, const Game& game, NumberSet& drawn);

    Captions& captions_;
    RandomSource& random_;
    Pacer& pacer_;
    Reels reels_;
    Remarks remarks_;
    int depth_ = 0;
};

}  // namespace ostavel
