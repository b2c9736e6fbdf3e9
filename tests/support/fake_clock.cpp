#include "fake_clock.h"

std::int64_t FakeClock::nowNs() {
    return now_ += steps_();
}
