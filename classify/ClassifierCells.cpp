#include "classify/ClassifierCells.h"

namespace kelvor::classifier {

std::optional<double>& refL() {
  static std::optional<double> cell;
  return cell;
}

bool& refSigmoid() {
  static bool cell = false;
  return cell;
}

double& refBias() {
  static double cell = 0.0;
  return cell;
}

std::optional<std::string>& refPRGraph() {
  static std::optional<std::string> cell;
  return cell;
}

}  // namespace kelvor::classifier
