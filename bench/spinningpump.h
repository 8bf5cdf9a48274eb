// The baseline the real event pump is measured against: a wait that never sleeps, so the
// pacer polls the clock and the event queue as fast as the processor lets it.
#pragma once

#include <QCoreApplication>

#include "runtime/eventpump.h"

namespace ostavel::bench {

class SpinningPump final : public EventPump {
public:
    void DoEvents() override { QCoreApplication::processEvents(); }
    void WaitForEventsUntil(Timer /*deadline*/) override { QCoreApplication::processEvents(); }
};

}  // namespace ostavel::bench
