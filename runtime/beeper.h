#pragma once

namespace ostavel {

// The system beep.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void Beep() = 0;
};

}  // namespace ostavel
