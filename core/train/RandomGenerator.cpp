#include "core/train/RandomGenerator.h"

#include <array>
#include <chrono>
#include <ctime>
#include <optional>

namespace kelvor {

namespace {

// A fresh engine seeded from eight words of the given stream: the 19968 bits
// of state are spread from 256 bits, far more than the halves of one run can
// bring into step with each other.
std::mt19937_64 seededFrom(std::mt19937_64& stream) {
  std::array<std::uint32_t, 8> words;
  for (std::uint32_t& w : words) w = static_cast<std::uint32_t>(stream() >> 32);
  std::seed_seq seq(words.begin(), words.end());
  return std::mt19937_64(seq);
}

std::optional<RandomGenerator>& processGenerator() {
  static std::optional<RandomGenerator> generator;
  return generator;
}

std::uint64_t timeSeed() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const auto nanoseconds = static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count());
  const auto processorTime = static_cast<std::uint64_t>(std::clock());
  // The processor time lands in the high bits, where the time of day changes
  // least from run to run.
  return nanoseconds ^ (processorTime << 40) ^ (processorTime >> 24);
}

}  // namespace

RandomGenerator::RandomGenerator(std::uint64_t seed) : engine_(seed) {}

std::pair<RandomGenerator, RandomGenerator> RandomGenerator::split() const {
  std::mt19937_64 stream = engine_;
  std::mt19937_64 first = seededFrom(stream);
  std::mt19937_64 second = seededFrom(stream);
  return {RandomGenerator(std::move(first)), RandomGenerator(std::move(second))};
}

RandomGenerator readRandomGenerator() {
  auto& generator = processGenerator();
  if (!generator) generator.emplace(timeSeed());
  return *generator;
}

void storeRandomGenerator(RandomGenerator generator) { processGenerator() = std::move(generator); }

}  // namespace kelvor
