#include "trees/TreePos.h"

#include <algorithm>

#include "base/Fatal.h"
#include "base/Show.h"
#include "trees/ListFailures.h"

namespace kelvor {

TreePos::TreePos(std::vector<std::int64_t> steps) : size_(steps.size()) {
  if (size_ != 0) steps_ = std::make_shared<const std::vector<std::int64_t>>(std::move(steps));
}

TreePos There(std::int64_t i, const TreePos& p) {
  std::vector<std::int64_t> steps;
  steps.reserve(p.size() + 1);
  steps.push_back(i);
  steps.insert(steps.end(), p.steps().begin(), p.steps().end());
  return TreePos(std::move(steps));
}

bool operator==(const TreePos& a, const TreePos& b) {
  return std::ranges::equal(a.steps(), b.steps());
}

std::strong_ordering operator<=>(const TreePos& a, const TreePos& b) {
  const auto x = a.steps();
  const auto y = b.steps();
  return std::lexicographical_compare_three_way(x.begin(), x.end(), y.begin(), y.end());
}

std::optional<std::int64_t> lastTP(const TreePos& p) {
  if (p.isHere()) return std::nullopt;
  return p.steps().back();
}

std::int64_t firstPos(const TreePos& p) { return p.isHere() ? 0 : p.steps().front(); }

TreePos unifyTreePos(const TreePos& p, const TreePos& q) {
  const auto x = p.steps();
  const auto y = q.steps();
  const auto common = std::ranges::mismatch(x, y).in1 - x.begin();
  return p.prefix(static_cast<std::size_t>(common));
}

TreePos unifyTreePoses(std::span<const TreePos> ps) {
  if (ps.empty()) failEmptyList("foldr1");
  // Folded from the right, as unifyTreePos(p1, unifyTreePoses(rest)).
  TreePos acc = ps.back();
  for (auto it = ps.rbegin() + 1; it != ps.rend(); ++it) acc = unifyTreePos(*it, acc);
  return acc;
}

TreePos removePosPrefix(const TreePos& prefix, const TreePos& p) {
  const auto x = prefix.steps();
  const auto y = p.steps();
  if (x.size() > y.size() || !std::ranges::equal(x, y.first(x.size())))
    fail("removePosPrefix: not true prefix");
  return p.dropFront(x.size());
}

void appendShow(std::string& out, int prec, const TreePos& p) {
  if (p.isHere()) {
    out += '!';
    return;
  }
  bool first = true;
  for (std::int64_t i : p.steps()) {
    if (!first) out += '/';
    first = false;
    appendShow(out, prec, i);
  }
}

}  // namespace kelvor
