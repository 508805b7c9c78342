#include "maps/FiniteMapBalance.h"

namespace kelvor::fminternal {

void failMapTooLarge() { fail("FiniteMap: a map cannot hold more than 2147483647 entries"); }

}  // namespace kelvor::fminternal
