#include "remarks/remarks.h"

namespace ostavel {

Number Remarks::capcap() {
    const Number value = pick(closingRemarks);
    beeper_.Beep();
    return value;
}

Number Remarks::capcap2() {
    return pick(waitingRemarks);
}

Number Remarks::pick(const RemarkTable& table) {
    const Number value = RandomInRange(random_, 5, 0);
    const std::size_t row = value <= 2 ? static_cast<std::size_t>(value) : table.size() - 1;
    captions_.setCaption(messageLine, table[row]);
    return value;
}

}  // namespace ostavel
