#pragma once

#include <string>

#include "runtime/random.h"

namespace ostavel {

// A drawn number as a label shows it: plain decimal digits, no sign, fill or space.
std::string NumberText(Number number);

}  // namespace ostavel
