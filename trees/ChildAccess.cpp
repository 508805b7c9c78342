#include "trees/ChildAccess.h"

#include "core/Fatal.h"

namespace kelvor {

void failGoesTooDeep() { fail("followPath: goes too deep"); }

}  // namespace kelvor
