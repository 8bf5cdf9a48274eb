// What the benchmark builds its windows from besides the real services: the winter edition's
// values (its picture is compiled in by the build) and a beep that makes no sound.
#pragma once

#include "editions/edition.h"
#include "runtime/beeper.h"

namespace ostavel::bench {

inline constexpr Edition snowEdition{{64, 64, 64}, "com.example.tovaine.OstavelSnow"};

class CountingBeeper final : public Beeper {
public:
    void Beep() override { ++beeps; }
    int beeps = 0;
};

}  // namespace ostavel::bench
