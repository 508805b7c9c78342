#include "maps/DynamicMap.h"

#include "base/Show.h"

namespace kelvor {

DynamicMap emptyDM() { return DynamicMap(); }

bool isEmptyDM(const DynamicMap& dm) { return isEmptyFM(dm.unDM()); }

std::int32_t sizeDM(const DynamicMap& dm) { return sizeFM(dm.unDM()); }

std::vector<std::string> dmTypes(const DynamicMap& dm) { return keysFM(dm.unDM()); }

void appendShow(std::string& out, int /*prec*/, const DynamicMap& dm) {
  appendShow(out, 0, dmTypes(dm));
}

}  // namespace kelvor
