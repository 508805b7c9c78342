// The trained model as the model file holds it.
#pragma once

#include <cstdint>
#include <string>

#include "core/examples/ExampleCollection.h"
#include "core/kernels/KernelType.h"

namespace kelvor {

struct Model {
  std::string modelSignature;
  KernelType kernelType;
  std::int32_t kernelParamD;
  double kernelParamG;
  double kernelParamS;
  double kernelParamR;
  std::string kernelParamU;
  std::int32_t kernelParamStringMaxN;
  double kernelParamStringLambda;
  std::int32_t kernelParamTreeMaxD;
  double kernelParamTreeLambda;
  bool kernelParamSigmoid;
  double kernelParamSigmoidA;
  double kernelParamSigmoidB;
  std::int32_t highestFeatureIndex;
  std::int32_t numberTrainingDocuments;
  std::int32_t numberSVs;
  // The lambda the learner trained with.
  double thresholdB;
  Examples supportVectors;
};

}  // namespace kelvor
