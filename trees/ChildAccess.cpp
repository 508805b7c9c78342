#include "trees/ChildAccess.h"

#include "base/Fatal.h"

namespace kelvor {

void failGoesTooDeep() { fail("followPath: goes too deep"); }

}  // namespace kelvor
