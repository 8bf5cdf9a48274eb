#include "runtime/numbertext.h"

namespace ostavel {

std::string NumberText(Number number) {
    return std::to_string(number);
}

}  // namespace ostavel
