#include "trees/TreePrinter.h"

#include "base/Fatal.h"

namespace kelvor {

void failShowChildren() { failPattern("NLP/PennParser:60|function showChildren"); }

}  // namespace kelvor
