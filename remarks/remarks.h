#pragma once

#include <array>
#include <string_view>

#include "runtime/beeper.h"
#include "runtime/captions.h"
#include "runtime/random.h"

namespace ostavel {

// Four remarks picked by a value drawn from 0 to 5: values 0, 1 and 2 have a row each,
// 3, 4 and 5 share the last row, which so comes half of the time.
using RemarkTable = std::array<std::string_view, 4>;

inline constexpr RemarkTable closingRemarks{
    "こんなん出ました!",
    "当たりますように!",
    "こんなのでました",
    "こんなん出ました!",
};

inline constexpr RemarkTable waitingRemarks{
    "あたりますように!",
    "もうしばらくお待ちください",
    "当たりますように!!!",
    "なにがでるかな???",
};

// The two remark pickers of the message line. Each gives back the value it drew.
class Remarks final {
public:
    Remarks(Captions& captions, RandomSource& random, Beeper& beeper)
        : captions_(captions), random_(random), beeper_(beeper) {}

    // The closing remark, then the beep.
    Number capcap();
    // A waiting remark between two reveals.
    Number capcap2();

private:
    Number pick(const RemarkTable& table);

    Captions& captions_;
    RandomSource& random_;
    Beeper& beeper_;
};

}  // namespace ostavel
