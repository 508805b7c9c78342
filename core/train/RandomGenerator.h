// The process-wide pseudo-random generator of training, and the generator
// values it hands out.
//
// Every use follows one protocol: read the process-wide generator, split it,
// store one half back at once, and draw from the other half. Which half goes
// back is the caller's choice. The process-wide generator is seeded at its
// first read from the time of day and the processor time used, so two runs
// draw different numbers.
//
//   auto [keep, use] = readRandomGenerator().split();
//   storeRandomGenerator(std::move(keep));
//   std::int32_t x = use.nextInt();  // any Int
//   double u = use.nextDouble();     // in [0, 1)
//
// A generator value made from a seed is fully determined by it, and so are
// its halves and draws; tests can rely on that.
#pragma once

#include <cstdint>
#include <random>
#include <utility>

namespace kelvor {

class RandomGenerator {
 public:
  explicit RandomGenerator(std::uint64_t seed);

  // Two generators whose streams are independent of each other and of this
  // one's. This generator is left as it was; callers drop it.
  std::pair<RandomGenerator, RandomGenerator> split() const;

  // Uniform over the whole Int range, -2^31 .. 2^31 - 1.
  std::int32_t nextInt() {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(engine_() >> 32));
  }
  // Uniform over [0, 1): a multiple of 2^-53, never 1.0.
  double nextDouble() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

 private:
  explicit RandomGenerator(std::mt19937_64 engine) : engine_(std::move(engine)) {}

  std::mt19937_64 engine_;
};

// The process-wide generator (seeded at the first call of the process).
RandomGenerator readRandomGenerator();
void storeRandomGenerator(RandomGenerator generator);

}  // namespace kelvor
