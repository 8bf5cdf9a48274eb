#pragma once

#include "editions/edition.h"

namespace ostavel {

// Runs the program: the window of the edition, until it is closed. Returns the exit status.
int runOstavel(int argc, char* argv[], const Edition& edition);

}  // namespace ostavel
