#include "trees/AnnTree.h"

#include "base/Fatal.h"

namespace kelvor {

void failTreeText() { fail("No match in record selector NLP.PennParser.treeText"); }

void failTreeChildren() { fail("No match in record selector NLP.PennParser.treeChildren"); }

void failChildUpdate() { failPattern("ZezeRozi/Util:23|record update"); }

void appendShow(std::string& out, int /*prec*/, Unit) { out += "()"; }

}  // namespace kelvor
