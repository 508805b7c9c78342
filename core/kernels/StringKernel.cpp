#include "core/kernels/StringKernel.h"

#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

#include "core/kernels/KernelParams.h"

// The kernel is defined through a table T(i, x, y) over gram position i,
// prefix x of s and prefix y of t. For i >= 1 a cell is 0.0 whenever
// min(x, y) <= i, and otherwise its value does not depend on y at all: the
// recurrence only looks at T(i, x - 1, y) and at a sum over the whole of t.
// So each level i collapses to one row U(i, x) = lambda * U(i, x - 1) + S(i, x)
// with U(i, i) = 0.0, and only two rows are ever alive. Every sum and
// product below is formed exactly as the table would form it, zero terms
// included (0.0 times an overflowed power is NaN, and lambda may be
// negative, infinite or NaN), so the values are bit-identical to filling
// the whole table.
//
// Gram lengths above min(|s|, |t|) contribute exactly +0.0 each, and a sum
// that starts at +0.0 can never become -0.0, so they are left out.

namespace kelvor {

namespace {

struct Scratch {
  // For position x of s (1-based): the range of t's (token, position) pairs
  // holding the token s_x.
  std::vector<std::uint32_t> matchBegin, matchEnd;
  // U(i - 1, x) and U(i, x).
  std::vector<double> prev, cur;
  // powers[k] = intPower(lambda, k) for the lambda whose bits are powersOf.
  std::uint64_t powersOf = 0;
  std::vector<double> powers;
};

Scratch& scratch() {
  thread_local Scratch s;
  return s;
}

// Makes sc.powers hold intPower(lambda, k) for k = 0..maxExp. Each power is
// computed on its own: intPower's chain of products is part of the value.
void ensurePowers(Scratch& sc, double lambda, std::size_t maxExp) {
  const auto bits = std::bit_cast<std::uint64_t>(lambda);
  if (sc.powersOf != bits) {
    sc.powers.clear();
    sc.powersOf = bits;
  }
  for (std::size_t k = sc.powers.size(); k <= maxExp; ++k)
    sc.powers.push_back(intPower(lambda, static_cast<std::int32_t>(k)));
}

// Fills the match ranges; returns whether any token of s occurs in t.
bool findMatches(Scratch& sc, const TokenSeq& s, const TokenSeq& t) {
  const auto bs = s.positionsByToken();
  const auto bt = t.positionsByToken();
  sc.matchBegin.assign(s.size() + 1, 0);
  sc.matchEnd.assign(s.size() + 1, 0);
  bool any = false;
  std::size_t j = 0;
  for (std::size_t i = 0; i < bs.size();) {
    const TokenId tok = s.tokenAt(bs[i]);
    while (j < bt.size() && t.tokenAt(bt[j]) < tok) ++j;
    std::size_t k = j;
    while (k < bt.size() && t.tokenAt(bt[k]) == tok) ++k;
    for (; i < bs.size() && s.tokenAt(bs[i]) == tok; ++i) {
      sc.matchBegin[bs[i]] = static_cast<std::uint32_t>(j);
      sc.matchEnd[bs[i]] = static_cast<std::uint32_t>(k);
    }
    any = any || k > j;
    j = k;
  }
  return any;
}

}  // namespace

double stringKernelWith(std::int32_t n, double lambda, const TokenSeq& s, const TokenSeq& t) {
  if (n < 1) return 0.0;
  const std::size_t ls = s.size();
  const std::size_t lt = t.size();
  const std::size_t top = std::min<std::size_t>(static_cast<std::size_t>(n), std::min(ls, lt));
  if (top == 0) return 0.0;

  Scratch& sc = scratch();
  // Without a single equal token every sum is an empty 0.0.
  if (!findMatches(sc, s, t)) return 0.0;
  ensurePowers(sc, lambda, lt + 1);

  const auto bt = t.positionsByToken();
  const double* powers = sc.powers.data();
  sc.prev.assign(ls + 1, 1.0);  // level 0: every cell is 1.0
  sc.cur.assign(ls + 1, 0.0);

  double result = 0.0;
  for (std::size_t m = 1; m <= top; ++m) {
    // prev holds U(m - 1, .). A cell T(m - 1, a, l) with l <= m - 1 is 0.0.
    const std::size_t zeroUpTo = m - 1;
    double k = 0.0;
    for (std::size_t a = m; a <= ls; ++a) {
      double p = 0.0;
      for (std::uint32_t q = sc.matchBegin[a]; q < sc.matchEnd[a]; ++q) {
        const double cell = static_cast<std::size_t>(bt[q]) <= zeroUpTo ? 0.0 : sc.prev[a];
        p = p + (cell * lambda) * lambda;
      }
      k = k + p;
    }
    result = result + k;
    if (m == top) break;

    // U(m, x) for x = m + 1 .. |s|, from U(m - 1, .).
    double u = 0.0;
    for (std::size_t x = m + 1; x <= ls; ++x) {
      double sum = 0.0;
      for (std::uint32_t q = sc.matchBegin[x]; q < sc.matchEnd[x]; ++q) {
        const auto l = static_cast<std::size_t>(bt[q]);
        const double cell = l <= zeroUpTo ? 0.0 : sc.prev[x];
        sum = sum + cell * powers[lt - l + 2];
      }
      u = (lambda * u) + sum;
      sc.cur[x] = u;
    }
    std::swap(sc.prev, sc.cur);
  }
  return result;
}

double stringKernel(const TokenSeq& s, const TokenSeq& t) {
  const std::int32_t n = cur_smaxn();
  const double lambda = cur_slambda();
  return stringKernelWith(n, lambda, s, t);
}

}  // namespace kelvor
