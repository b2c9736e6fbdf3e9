#pragma once

// The exit status of a benchmark whose figures miss a goal: scripts/run-benchmarks lists it apart
// from one that failed to run or measure (any other non-zero status).
inline constexpr int kGoalMissed = 3;
