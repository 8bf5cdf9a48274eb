// The subject programs' modes, their timelines and their side of the conversation.
#include "bench/subject.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string_view>

#include "app/windowlayout.h"
#include "forecast/forecasts.h"

namespace ostavel::bench {

namespace {

// Time that passes only when waited for, and captions that note when they were written.
class VirtualRun final : public Clock, public EventPump, public Captions {
public:
    Timer GetTimer() override { return now; }
    void DoEvents() override {}
    void WaitForEventsUntil(Timer deadline) override { now = std::max(now, deadline); }
    void setCaption(Label label, std::string_view text) override {
        timeline.writes.push_back({now, label, std::string(text)});
    }

    Timer now{};
    Timeline timeline;
};

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Blocks until the measuring script sends the line, or closes the pipe; false if it closed it.
bool awaitLine(std::string_view expected) {
    for (std::string line; std::getline(std::cin, line);) {
        if (line == expected) {
            return true;
        }
    }
    return false;
}

std::string nanoseconds(Timer time) {
    return std::to_string(time.count());
}

}  // namespace

Timeline recordTimeline(Button button) {
    VirtualRun run;
    SeededRandom random;
    CountingBeeper beeper;
    Pacer pacer(run, run);
    Forecasts({run, random, beeper, pacer}).click(button);
    run.timeline.end = run.now;
    return std::move(run.timeline);
}

void WaitTimingPump::WaitForEventsUntil(Timer deadline) {
    pump_.WaitForEventsUntil(deadline);
    const Timer after = clock_.GetTimer();
    if (after >= deadline && deadline != lastDeadline_) {
        lastDeadline_ = deadline;
        overshoots_.push_back(after - deadline);
    }
}

// Modes: "start" and "start-bare" show the window and say "painted"; "forecast GAME" and
// "floor GAME" then say "ready LEAST", wait for "go", play the game (the Ostavel window's own
// forecast, or its timeline replayed on the toolkit's timers) and say
// "end WALL BEEPS OVERSHOOT...", in nanoseconds. Each then waits for its input to close, so
// that whatever it does on exit is outside what is measured.
int runSubject(std::span<char*> arguments, Toolkit& toolkit) {
    const std::string_view mode = arguments.size() > 1 ? arguments[1] : "";
    const std::string_view game = arguments.size() > 2 ? arguments[2] : "";
    const auto named = std::find_if(layout::controls.begin(), layout::controls.end(),
                                    [&](const layout::Control& c) { return c.name == game; });
    const bool playing = mode == "forecast" || mode == "floor";
    if (!(mode == "start" || mode == "start-bare" || playing) ||
        (playing && (named == layout::controls.end() || named->kind != layout::Kind::Button))) {
        std::fprintf(stderr, "usage: %s start|start-bare|forecast GAME|floor GAME\n", arguments[0]);
        return 2;
    }
    WaitTimingPump timing(toolkit.pump(), toolkit.clock());
    CountingBeeper beeper;
    if (mode == "start-bare") {
        toolkit.showBare();
    } else {
        toolkit.showOstavel(timing, beeper);
    }
    say("painted");
    if (playing) {
        const Button button = named->button;
        const Timeline timeline = mode == "floor" ? recordTimeline(button) : Timeline{};
        say(std::string("ready ").append(nanoseconds(leastRunningTime(gameOf(button)))));
        if (!awaitLine("go")) {
            return 1;
        }
        const Timer start = toolkit.clock().GetTimer();
        mode == "floor" ? toolkit.replay(timeline) : toolkit.click(*named);
        const Timer wall = toolkit.clock().GetTimer() - start;
        std::string end = "end";
        for (const Timer figure : {wall, Timer(beeper.beeps)}) {
            end.append(" ").append(nanoseconds(figure));
        }
        for (const Timer overshoot : timing.overshoots()) {
            end.append(" ").append(nanoseconds(overshoot));
        }
        say(end);
    }
    while (awaitLine("")) {  // until the input closes
    }
    return 0;
}

}  // namespace ostavel::bench
