// What the benchmark builds its windows from besides the real services and the first edition's
// values (thisEdition; its picture is compiled in by the build): a beep that makes no sound.
#pragma once

#include "editions/edition.h"
#include "runtime/beeper.h"

namespace ostavel::bench {

class CountingBeeper final : public Beeper {
public:
    void Beep() override { ++beeps; }
    int beeps = 0;
};

}  // namespace ostavel::bench
