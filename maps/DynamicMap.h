// A map holding at most one value of each type, keyed by the printed name
// of the type (see Dynamic.h). The names are ordered byte by byte, a proper
// prefix before its extensions.
//
// The wanted type is given as a template argument wherever the operations
// need one without a value: elemDM<T>(dm), delFromDM<T>(dm), lookupDM<T>(dm).
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "maps/Dynamic.h"
#include "maps/FiniteMap.h"
#include "maps/FiniteMapDelete.h"
#include "maps/FiniteMapFold.h"
#include "maps/FiniteMapInsert.h"

namespace kelvor {

struct TypeNameOrdering {
  std::strong_ordering operator()(const std::string& a, const std::string& b) const {
    return a <=> b;
  }
};

using DynamicFM = FiniteMap<std::string, Dynamic>;

class DynamicMap {
 public:
  DynamicMap() = default;
  explicit DynamicMap(DynamicFM entries) : unDM_(std::move(entries)) {}

  const DynamicFM& unDM() const { return unDM_; }

 private:
  DynamicFM unDM_;
};

inline DynamicMap DM(DynamicFM entries) { return DynamicMap(std::move(entries)); }

// The key under which a value of type T is held. Made once per type: a
// name longer than the short-string buffer (as "ZezeRozi.Util.Range" is)
// would otherwise cost a heap allocation on every lookup.
template <NamedType T>
const std::string& typeKey() {
  static const std::string key(TypeName<T>::value);
  return key;
}

DynamicMap emptyDM();
bool isEmptyDM(const DynamicMap& dm);
std::int32_t sizeDM(const DynamicMap& dm);

// Replaces any value of the same type name, key and value.
template <NamedType T>
DynamicMap addToDM(const DynamicMap& dm, T value) {
  return DM(addToFM(TypeNameOrdering{}, dm.unDM(), typeKey<T>(), toDyn(std::move(value))));
}

template <NamedType T>
bool elemDM(const DynamicMap& dm) {
  return elemFM(TypeNameOrdering{}, typeKey<T>(), dm.unDM());
}

template <NamedType T>
DynamicMap delFromDM(const DynamicMap& dm) {
  return DM(delFromFM(TypeNameOrdering{}, dm.unDM(), typeKey<T>()));
}

// Absent when nothing is held under T's name, and also when what is held
// there is not a T.
template <NamedType T>
std::optional<T> lookupDM(const DynamicMap& dm) {
  const Dynamic* d = findEltFM(TypeNameOrdering{}, dm.unDM(), typeKey<T>());
  return d == nullptr ? std::nullopt : fromDynamic<T>(*d);
}

// step(value, accumulator) over the held values, the greatest type name
// first.
template <class Acc, class Step>
Acc foldDM(const Step& step, Acc initial, const DynamicMap& dm) {
  auto onEntry = [&](const std::string&, const Dynamic& d, Acc acc) {
    return step(d, std::move(acc));
  };
  return foldFM(onEntry, std::move(initial), dm.unDM());
}

// The held type names in ascending order.
std::vector<std::string> dmTypes(const DynamicMap& dm);

// The list of held type names, each quoted: ["Int","ZezeRozi.Util.Range"].
void appendShow(std::string& out, int prec, const DynamicMap& dm);

}  // namespace kelvor
