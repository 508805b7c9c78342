#include "trees/AnnTree.h"

#include "core/Fatal.h"

namespace kelvor {

void failTreeText() { fail("No match in record selector NLP.PennParser.treeText"); }

void failTreeChildren() { fail("No match in record selector NLP.PennParser.treeChildren"); }

void failChildUpdate() { fail("ZezeRozi/Util:23|record update"); }

}  // namespace kelvor
