#include "forecast/games.h"

#include <array>

#include "reels/reels.h"

namespace ostavel {

using namespace std::chrono_literals;

namespace {

// Loto 6: six different numbers from 1 to 43, paced by the reels alone.
constexpr Step roto6Script[] = {
    headlineText("ロト6の予想です"),
    messageText("抽選は毎週木曜日"),
    spin(1),
    draw(),
    reveal(1),
    spin(2),
    waitingRemark(),
    reveal(2),
    spin(3),
    reveal(3),
    spin(4),
    reveal(4),
    waitingRemark(),
    spin(5),
    reveal(5),
    spin(6),
    reveal(6),
    closingRemark(),
};

// Mini Loto: five different numbers from 1 to 31, with a pause before each reveal that grows
// towards the last one. The sixth bubble is emptied before the message line is written.
constexpr Step minirotoScript[] = {
    headlineText("ミニロトの予想です!"),
    blank(6),
    messageText("チャンスは毎週チューズディ!"),
    spin(1),
    draw(),
    wait(100ms),
    reveal(1),
    spin(2),
    wait(100ms),
    reveal(2),
    spin(3),
    wait(500ms),
    waitingRemark(),
    reveal(3),
    spin(4),
    wait(800ms),
    waitingRemark(),
    reveal(4),
    spin(5),
    wait(1s),
    reveal(5),
    closingRemark(),
};

// Numbers 3: three digits, the bubbles out of play emptied after the message line.
constexpr Step numbers3Script[] = {
    headlineText("Numbers3の予想だよ"),
    messageText("抽選は毎週,月,水,金"),
    blank(4),
    blank(5),
    blank(6),
    spin(1),
    draw(),
    reveal(1),
    spin(2),
    reveal(2),
    spin(3),
    waitingRemark(),
    reveal(3),
    closingRemark(),
};

// Numbers 4: four digits; its drawing-days line separates the days with katakana middle dots.
constexpr Step numbers4Script[] = {
    headlineText("Numbers4の予想です"),
    messageText("抽選は毎週月・水・金"),
    blank(5),
    blank(6),
    spin(1),
    draw(),
    reveal(1),
    spin(2),
    reveal(2),
    spin(3),
    waitingRemark(),
    reveal(3),
    spin(4),
    reveal(4),
    closingRemark(),
};

}  // namespace

// upperbound, lowerbound, max, rejection, script
const Game roto6Game{43, 1, 6, Rejection::AnyTwoEqual, roto6Script};
const Game minirotoGame{31, 1, 5, Rejection::AnyTwoEqual, minirotoScript};
const Game numbers3Game{9, 0, 3, Rejection::AllDigitsEqual, numbers3Script};
const Game numbers4Game{9, 0, 4, Rejection::AllDigitsEqual, numbers4Script};

const Game& gameOf(Button button) {
    // In the order of Button.
    static constexpr std::array<const Game*, 4> games{&minirotoGame, &roto6Game, &numbers3Game,
                                                      &numbers4Game};
    return *games[static_cast<std::size_t>(button)];
}

Timer leastRunningTime(const Game& game) {
    Timer least{};
    for (const Step& step : game.script) {
        if (step.kind == Step::Kind::Spin) {
            const ReelStage& stage = reelStages[static_cast<std::size_t>(step.position - 1)];
            least += stage.frames * stage.delay;
        } else if (step.kind == Step::Kind::Wait) {
            least += step.delay;
        }
    }
    return least;
}

}  // namespace ostavel
