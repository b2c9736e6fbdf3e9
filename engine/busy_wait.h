#pragma once

#include <cstdint>
#include <functional>

// The silence of one delay unit: a pure counting loop with no clock, no sleep and no yield.
// How long one iteration takes is ours to choose: each iteration does a fixed amount of work,
// calibrated once at start-up so that an iteration takes about 10 microseconds on any machine
// (a stored delay limit of 3000 is then a delay unit of about 30 ms everywhere).
class BusyWait {
public:
    // `workPerIteration` inner steps per counted iteration; 0 makes every iteration nearly free
    // (what tests use).
    explicit BusyWait(std::int64_t workPerIteration = 0) : work_(workPerIteration) {}

    // Measures this machine and returns a wait whose iteration takes about `microseconds`.
    // Takes at most about 50 ms.
    static BusyWait calibrated(double microseconds = 10.0);

    // Sets `counter` to 0 and counts it up to `limit`: the smallest whole number of iterations
    // not less than `limit`, none when `limit` is 0 or negative.
    void run(std::int64_t& counter, double limit) const;

    std::int64_t workPerIteration() const { return work_; }

    // Told of every run with its limit and the iterations counted; for traces in tests.
    using Observer = std::function<void(double limit, std::int64_t iterations)>;
    void setObserver(Observer observer) { observer_ = std::move(observer); }

private:
    std::int64_t work_;
    Observer observer_;
};
