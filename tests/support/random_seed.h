#pragma once
// The seed and size of a randomized test's run: OVPATCH_RANDOM_SEED repeats a run,
// OVPATCH_RANDOM_CASES sets how many cases it has.
#include <cstdint>
#include <cstdlib>
#include <random>

namespace testsupport {

inline uint32_t SeedOfThisRun() {
  if (const char* text = std::getenv("OVPATCH_RANDOM_SEED"))
    return static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
  return std::random_device{}();
}

inline int CasesOfThisRun(int cases) {
  if (const char* text = std::getenv("OVPATCH_RANDOM_CASES")) return std::atoi(text);
  return cases;
}

}  // namespace testsupport
