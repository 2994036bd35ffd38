// The one installed platform. Backends install theirs at start-up; tests
// install the fake.
#include "runtime/platform.h"

#include <cstdio>
#include <cstdlib>

namespace {
Platform* installed = nullptr;
}  // namespace

void installPlatform(Platform* platform) {
    installed = platform;
}

Platform& platform() {
    if (installed == nullptr) {
        // A call into the port before a backend exists is a programming error;
        // stop loudly instead of dereferencing nothing.
        std::fputs("vorbelzoz: no platform installed\n", stderr);
        std::abort();
    }
    return *installed;
}

bool hasPlatform() {
    return installed != nullptr;
}
