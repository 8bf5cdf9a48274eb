// Qt keeps per-user runtime files in XDG_RUNTIME_DIR and warns when the session has none (as
// under xvfb-run or in a container). The benchmark then makes a private one for itself and its
// children, so that its report carries no such warning, and removes it at the end.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace ostavel::bench {

class PrivateRuntimeDirectory final {
public:
    PrivateRuntimeDirectory() {
        const char* existing = getenv("XDG_RUNTIME_DIR");
        if (existing != nullptr && *existing != '\0') {
            return;
        }
        std::string pattern = "/tmp/ostavel-bench-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {  // made with mode 0700, as Qt wants it
            path_ = pattern;
            setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
        }
    }
    ~PrivateRuntimeDirectory() {
        if (!path_.empty()) {
            unsetenv("XDG_RUNTIME_DIR");
            rmdir(path_.c_str());
        }
    }
    PrivateRuntimeDirectory(const PrivateRuntimeDirectory&) = delete;
    PrivateRuntimeDirectory& operator=(const PrivateRuntimeDirectory&) = delete;

private:
    std::string path_;
};

}  // namespace ostavel::bench
