#include "trees/TreePrinter.h"

#include "core/Fatal.h"

namespace kelvor {

void failShowChildren() { fail("NLP/PennParser:60|function showChildren"); }

}  // namespace kelvor
