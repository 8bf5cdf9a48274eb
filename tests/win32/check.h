#pragma once

// What the Windows tests share: each check printed as it is made, "PASS: what (value)" or
// "FAIL: ...", and the tally at the end, "N passed, M failed", which is the exit status too.

#include <cstdio>

namespace ostavel::testing {

inline int passed = 0, failed = 0;

inline void check(bool ok, const char* what, double value) {
    ++(ok ? passed : failed);
    std::printf("%s: %s (%.3f)\n", ok ? "PASS" : "FAIL", what, value);
    std::fflush(stdout);
}

inline int tally() {
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

}  // namespace ostavel::testing
