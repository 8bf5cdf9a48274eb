#include "forecast/forecasts.h"

#include "runtime/numbertext.h"

namespace ostavel {

Forecasts::Forecasts(const ForecastServices& services)
    : captions_(services.captions),
      random_(services.random),
      pacer_(services.pacer),
      reels_(services.captions, services.random, services.pacer),
      remarks_(services.captions, services.random, services.beeper) {}

void Forecasts::roto6_Click() {
    run(roto6Game);
}
void Forecasts::miniroto_Click(int /*index*/) {
    run(minirotoGame);
}
void Forecasts::Numbers3_Click() {
    run(numbers3Game);
}
void Forecasts::Numbers4_Click() {
    run(numbers4Game);
}

void Forecasts::click(Button button) {
    // Through the handler of the button, the window's own entry point for each.
    switch (button) {
        case Button::miniroto:
            miniroto_Click(0);
            break;
        case Button::roto6:
            roto6_Click();
            break;
        case Button::Numbers3:
            Numbers3_Click();
            break;
        case Button::Numbers4:
            Numbers4_Click();
            break;
    }
}

void Forecasts::run(const Game& game) {
    if (depth_ >= maxDepth || pacer_.stopped()) {
        return;
    }
    ++depth_;
    NumberSet drawn{};
    for (const Step& step : game.script) {
        perform(step, game, drawn);
        if (pacer_.stopped()) {
            break;
        }
    }
    --depth_;
}

void Forecasts::perform(const Step& step, const Game& game, NumberSet& drawn) {
    using Kind = Step::Kind;
    switch (step.kind) {
        case Kind::Headline:
            captions_.setCaption(headline, step.text);
            break;
        case Kind::Message:
            captions_.setCaption(messageLine, step.text);
            break;
        case Kind::Blank:
            captions_.setCaption(numberLabel(step.position), "");
            break;
        case Kind::Spin:
            (reels_.*reelRoutines[static_cast<std::size_t>(step.position - 1)])(
                game.upperbound, game.lowerbound, game.max);
            break;
        case Kind::Draw:
            drawn = drawSet(game, random_);
            break;
        case Kind::Reveal:
            captions_.setCaption(numberLabel(step.position),
                                 NumberText(drawn[static_cast<std::size_t>(step.position - 1)]));
            break;
        case Kind::Wait:
            pacer_.PacedWait(step.delay);
            break;
        case Kind::WaitingRemark:
            remarks_.capcap2();
            break;
        case Kind::ClosingRemark:
            remarks_.capcap();
            break;
    }
}

}  // namespace ostavel
