#include "core/train/SampleSelection.h"

#include <algorithm>
#include <string>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/NumberText.h"
#include "core/classification/Classify.h"
#include "core/examples/Collections.h"
#include "core/examples/ElementView.h"
#include "core/train/KeptList.h"
#include "core/train/RandomGenerator.h"

namespace kelvor {

namespace {

// The first k distinct values of the stream (x mod n) + 1, the modulus
// taking the sign of the divisor, over random Ints x.
std::vector<std::int32_t> drawInitialSample(std::int32_t n, std::int32_t k) {
  auto [keep, use] = readRandomGenerator().split();
  // Stored back before anything is drawn.
  storeRandomGenerator(std::move(keep));
  std::vector<std::int32_t> sample;
  sample.reserve(static_cast<std::size_t>(k));
  std::vector<bool> taken(static_cast<std::size_t>(n), false);
  while (static_cast<std::int32_t>(sample.size()) < k) {
    std::int32_t r = use.nextInt() % n;
    if (r < 0) r += n;
    if (taken[static_cast<std::size_t>(r)]) continue;
    taken[static_cast<std::size_t>(r)] = true;
    sample.push_back(r + 1);
  }
  return sample;
}

// Positions 1..x are the current working set, then the training elements
// of `added`, in order.
Examples grownWorkingSet(const Examples& current, const Examples& trainingSet,
                         std::span<const Candidate> added) {
  const ElementView view(current);
  std::vector<Element> elems;
  elems.reserve(static_cast<std::size_t>(view.size()) + added.size());
  Element slot;
  for (std::int32_t p = 1; p <= view.size(); ++p) elems.push_back(view.get(p, slot));
  for (const Candidate& c : added) elems.push_back(trainingSet.at(c.index));
  return mkArrayExamples(Array<Element>(std::move(elems)));
}

}  // namespace

void markSelected(std::vector<bool>& flags, std::span<const std::int32_t> indices) {
  const auto n = static_cast<std::int64_t>(flags.size());
  for (const std::int32_t i : indices) {
    if (i < 1 || i > n) failIndex(i, 1, n);
    flags[static_cast<std::size_t>(i - 1)] = true;
  }
}

SelectionStart initialSample(const TrainOptions& options, const TrainingKernel& kernel,
                             const Examples& trainingSet,
                             const std::optional<std::vector<InitialLagrangian>>& initial) {
  const std::int32_t n = std::max(trainingSet.collectionSize(), 0);
  const std::int32_t k = std::min(std::max(options.initialSampleSize, 0), n);
  std::vector<std::int32_t> sample;
  std::vector<InitialLagrangian> atPositions;
  if (!initial) {
    sample = drawInitialSample(n, k);
  } else {
    if (initial->size() != static_cast<std::size_t>(k))
      fail("\nInitial lagrangians specify " + showInt(static_cast<std::int64_t>(initial->size())) +
           " samples, but ss-0 argument specifies " + showInt(options.initialSampleSize) +
           " samples");
    sample.reserve(initial->size());
    atPositions.reserve(initial->size());
    for (const InitialLagrangian& l : *initial) {
      sample.push_back(l.index);
      atPositions.push_back({static_cast<std::int32_t>(sample.size()), l.value});
    }
  }
  SelectedSamples selected{std::vector<bool>(static_cast<std::size_t>(n), false), {}};
  markSelected(selected.flags, sample);

  std::vector<Element> elems;
  elems.reserve(sample.size());
  for (const std::int32_t i : sample) elems.push_back(trainingSet.at(i));
  selected.sample = std::move(sample);
  CacheBuild build = newKernelCache(options.cacheSize, kernel, options.lambda,
                                    mkArrayExamples(Array<Element>(std::move(elems))), atPositions);
  return SelectionStart{std::move(build), SelectionState(std::move(selected)), k};
}

bool selectionDue(const TrainOptions& options, const TrainingState& state,
                  std::int32_t trainingSize, std::int64_t t, double dh) {
  if (!options.sampleSelection) return false;
  if (state.sampleCount >= std::min(options.maxSampleSize, trainingSize)) return false;
  if (options.selectionPeriod > 0 && t % options.selectionPeriod == 0) return true;
  return options.addPredicate(dh);
}

std::optional<double> selectionStep(TrainingState& state, const TrainOptions& options,
                                    const KernelFunction& kernel, const Examples& trainingSet) {
  printOut("+");
  SelectedSamples& selected = state.selection.ssSelected();
  const std::int32_t x = state.cache.kernelExamples.collectionSize();
  const std::int32_t room = std::max(state.cache.kernelCacheSize - x, 0);

  // Only the first `room` kept candidates can be added, and a list cut at
  // `room` holds exactly those, since entries only ever leave a list at its
  // end; nor can it hold more than there are candidates. So a huge batch
  // costs neither memory nor time of its own.
  const std::int32_t capacity =
      std::min({options.batchSize, room, std::max(trainingSet.collectionSize(), 0)});
  KeptList kept(capacity);
  // Without a batch, or with the cache bound reached, the step adds
  // nothing whatever the scores; the decision values would be thrown away.
  if (capacity > 0) {
    const Examples svs = getSupportVectors(state.cache.kernelExamples, state.h);
    const ElementView candidates(trainingSet);
    Element slot;
    for (std::int32_t i = 1; i <= candidates.size(); ++i) {
      if (selected.flags[static_cast<std::size_t>(i - 1)]) continue;
      const Element& e = candidates.get(i, slot);
      kept.offer(classifyWithStringCaches(kernel, options.lambda, svs, *e.example), i);
    }
  }

  const std::span<const Candidate> added = kept.entries();
  const auto count = static_cast<std::int32_t>(added.size());
  std::optional<double> candidate;
  if (count > 0) {
    const Examples grown = grownWorkingSet(state.cache.kernelExamples, trainingSet, added);
    std::optional<CacheExtension> extension = extendKernelCache(state.cache, x, x + count, grown);
    state.cache = std::move(extension->cache);
    candidate = extension->etaCandidate;
    const std::size_t before = selected.sample.size();
    for (const Candidate& c : added) selected.sample.push_back(c.index);
    markSelected(selected.flags, std::span(selected.sample).subspan(before));
  }
  printOut("{added " + showInt(count) + " examples}");
  // Otherwise a cache too small for the working set looks like selection
  // that found nothing worth adding.
  const auto unselected = static_cast<std::int64_t>(std::max(trainingSet.collectionSize(), 0)) -
                          static_cast<std::int64_t>(selected.sample.size() - added.size());
  if (room < std::min<std::int64_t>(options.batchSize, unselected) && !state.selectionHeldSaid) {
    state.selectionHeldSaid = true;
    printWarning("sample selection cannot grow past " + showInt(x + count) +
                 " examples: the kernel cache holds " + showInt(state.cache.kernelCacheSize) +
                 " rows (-m " + showInt(options.cacheSize) + "); raise -m to let it grow");
  }

  state.sampleCount += count;
  const std::size_t size = state.h.size() + added.size();
  state.h.resize(size, 0.0);
  state.G.resize(size, 0.0);
  if (state.momentum) state.momentum->steps.resize(size, 0.0);
  return candidate;
}

}  // namespace kelvor
