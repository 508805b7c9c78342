#include "learn/TrainingTargets.h"

#include <cstdint>
#include <string>

#include "base/Console.h"
#include "base/NumberText.h"

namespace kelvor {

void warnAboutTargets(const ExampleCollection& examples) {
  const std::int32_t n = examples.collectionSize();
  if (n <= 0) return;
  std::int32_t zeros = 0;
  bool below = false, above = false;
  for (const Element& e : examples.collectionElems()) {
    if (e.value == 0.0)
      ++zeros;
    else if (e.value < 0.0)
      below = true;
    else if (e.value > 0.0)
      above = true;
  }
  const std::string wants = "; classification wants the targets +1 and -1";
  if (zeros > 0)
    printWarning("training examples with target 0 take no part in training (" + showInt(zeros) +
                 " of " + showInt(n) + ")" + wants);
  if (!below)
    printWarning("no training example has a target below 0, so the model learns one class" + wants);
  if (!above)
    printWarning("no training example has a target above 0, so the model learns one class" + wants);
}

}  // namespace kelvor
