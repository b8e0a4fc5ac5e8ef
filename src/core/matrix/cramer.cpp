// Cramer's rule: x(k) = det(A with column k replaced by b) / det(A), every
// determinant by the elimination of the determinant with its pivot choices
// and snapping. The n + 1 determinants are not eliminated one by one: they
// share the operations they have in common, and every element still sees
// exactly the operations of an elimination from scratch, in the same order.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "core/matrix/elimination.h"
#include "core/matrix/matrix_algorithms.h"

namespace quadrel::matrix {

namespace {

using elimination::finish;
using elimination::snapped;

// Orders up to this one take their n + 1 determinants side by side with
// loops of fixed length: there, sharing costs more than it saves.
constexpr int kLargestSideBySideOrder = 8;

template <int N>
bool solveFixed(const double* a, const double* b, double* x) {
  // Matrix N is A itself; matrix k has b in column k.
  double work[(N + 1) * N * N];
  double dets[N + 1];
  // Each element written once: a copy followed by overwrites stalls the
  // loads that come right after.
  for (int d = 0; d <= N; ++d)
    for (int i = 0; i < N; ++i)
      for (int j = 0; j < N; ++j) work[d * N * N + i * N + j] = j == d ? b[i] : a[i * N + j];
  elimination::fixedDeterminants<N>(work, N + 1, dets);
  if (dets[N] == 0.0)
    return false;
  for (int k = 0; k < N; ++k) x[k] = dets[k] / dets[N];
  return true;
}

// The shared elimination. A group is a partly eliminated n x n matrix (its
// base) and one column (the carried column) together with the determinants
// whose matrices are the base with one column replaced by the carried one
// (or the base itself). At first there is one group: A, b, the n column
// determinants and det(A). At each step every member of a group looks for
// its pivot as the elimination would:
// - when it picks the base's pivot, it stays: the base is eliminated as
//   usual and the carried column gets the same row operations;
// - when it picks the carried column, its step uses the carried column's
//   quotients, which are the same for every member that picks it: those
//   members form a new group whose base is the old one eliminated with
//   those quotients and whose carried column is the old base's pivot
//   column eliminated likewise (it now stands where the carried one stood);
// - otherwise it copies its own matrix out and is finished alone.
// A member's determinant is the group's product of pivots, negated when its
// own column exchanges differ from the group's.
class SharedCramer {
 public:
  SharedCramer(const double* a, int n, const double* b, Workspace& ws) : a_(a), b_(b), n_(n), ws_(ws) {}

  bool solve(double* x);

 private:
  static constexpr int kMaxGroups = 16;
  // The groups' matrices together stay below this many doubles.
  static constexpr size_t kGroupSpaceLimit = size_t(1) << 21;

  struct Group {
    double* base;
    double* carried;
    double prefix;
    int step;
    int head;  // the first member with a carried column, -1 for none
    int own;   // the member whose matrix is the base, -1 for none
  };

  void run(Group& group);
  void eliminate(Group& group, int s);
  bool newGroup(const Group& from, int s, double pivot, int moving);
  void finishAlone(const Group& group, int s, int member);
  double signedPrefix(const Group& group, int member) const {
    return members_[member].negative ? -group.prefix : group.prefix;
  }
  double fromScratch(int k);

  const double* a_;
  const double* b_;
  int n_;
  Workspace& ws_;
  std::array<Group, kMaxGroups> groups_{};
  std::array<int, kMaxGroups> free_{}, pending_{};
  int freeCount_ = 0, pendingCount_ = 0;
  CramerMember* members_ = nullptr;
  double* dets_ = nullptr;
};

bool SharedCramer::solve(double* x) {
  const int n = n_;
  const size_t slot = size_t(n) * n + n;
  const int slots = int(std::max<size_t>(1, std::min<size_t>(kMaxGroups, kGroupSpaceLimit / slot)));
  double* space = sized(ws_.groups, size_t(slots) * slot);
  for (int g = 0; g < slots; ++g) {
    groups_[g].base = space + size_t(g) * slot;
    groups_[g].carried = groups_[g].base + size_t(n) * n;
  }
  for (int g = slots - 1; g >= 1; --g) free_[freeCount_++] = g;
  if (ws_.members.size() < size_t(n) + 1)
    ws_.members.resize(size_t(n) + 1);
  members_ = ws_.members.data();
  dets_ = sized(ws_.determinants, size_t(n) + 1);

  Group& root = groups_[0];
  std::memcpy(root.base, a_, size_t(n) * n * sizeof(double));
  std::memcpy(root.carried, b_, size_t(n) * sizeof(double));
  root.prefix = 1.0;
  root.step = 0;
  for (int k = 0; k < n; ++k) members_[k] = {k + 1 < n ? k + 1 : -1, k, false};
  root.head = 0;
  members_[n] = {-1, -1, false};
  root.own = n;  // det(A)

  // The root first: it gives det(A), and a zero there ends the work.
  run(root);
  const double det = dets_[n];
  if (det == 0.0)
    return false;
  while (pendingCount_ > 0) {
    const int g = pending_[--pendingCount_];
    run(groups_[g]);
    free_[freeCount_++] = g;
  }
  // A NaN's sign may depend on when a negation was applied: such a
  // determinant is taken again the plain way (before x is written: x may be b).
  for (int k = 0; k < n; ++k)
    if (std::isnan(dets_[k]))
      dets_[k] = fromScratch(k);
  for (int k = 0; k < n; ++k) x[k] = dets_[k] / det;
  return true;
}

void SharedCramer::run(Group& group) {
  const int n = n_;
  for (int s = group.step; s < n - 1; ++s) {
    if (group.head < 0) {
      // Only the base's own determinant is left: it goes on in place.
      if (group.own >= 0)
        dets_[group.own] = elimination::finishTail(group.base, n, n - s, signedPrefix(group, group.own));
      return;
    }
    eliminate(group, s);
  }
  const double baseLast = group.base[size_t(n) * n - 1], carriedLast = group.carried[n - 1];
  for (int k = group.head; k >= 0; k = members_[k].next)
    dets_[k] = snapped(signedPrefix(group, k) * (members_[k].position == n - 1 ? carriedLast : baseLast));
  if (group.own >= 0)
    dets_[group.own] = snapped(signedPrefix(group, group.own) * baseLast);
}

void SharedCramer::eliminate(Group& group, int s) {
  const int n = n_;
  double* base = group.base;
  double* carried = group.carried;
  double* row = base + size_t(s) * n;

  // The base's pivot exactly as the elimination searches it, and the first
  // largest of the other columns for the member whose column is the pivot's.
  int best = s, second = -1;
  double largest = std::fabs(row[s]), secondLargest = -1.0;
  bool unordered = std::isnan(largest);
  for (int i = s + 1; i < n; ++i) {
    const double v = std::fabs(row[i]);
    unordered |= std::isnan(v);
    if (v > largest) {
      secondLargest = largest;
      second = best;
      largest = v;
      best = i;
    } else if (v > secondLargest) {
      secondLargest = v;
      second = i;
    }
  }
  const double candidate = carried[s], magnitude = std::fabs(candidate);
  unordered |= std::isnan(magnitude);
  const bool baseSkips = largest <= kPivotTolerance;

  // Each member's own pivot search, answered from the two largest.
  int staying = -1, moving = -1;
  for (int k = group.head, next; k >= 0; k = next) {
    CramerMember& m = members_[k];
    next = m.next;
    if (unordered) {
      finishAlone(group, s, k);
      continue;
    }
    const bool atBest = m.position == best;
    const double otherLargest = atBest ? secondLargest : largest;
    const int otherAt = atBest ? second : best;
    const bool carriedWins = magnitude > otherLargest || (magnitude == otherLargest && m.position < otherAt);
    const bool memberSkips = (carriedWins ? magnitude : otherLargest) <= kPivotTolerance;
    if (memberSkips ? baseSkips : (!carriedWins && !atBest)) {
      m.next = staying;  // the same step as the base's
      staying = k;
    } else if (!memberSkips && carriedWins) {
      m.next = moving;
      moving = k;
    } else {
      finishAlone(group, s, k);
    }
  }
  group.head = staying;
  if (moving >= 0 && !newGroup(group, s, candidate, moving))
    for (int k = moving, next; k >= 0; k = next) {
      next = members_[k].next;
      finishAlone(group, s, k);
    }

  if (baseSkips) {
    group.prefix = 0.0;
    for (int k = group.head; k >= 0; k = members_[k].next) members_[k].negative = false;
    if (group.own >= 0)
      members_[group.own].negative = false;
    return;
  }
  if (best != s) {
    group.prefix = -group.prefix;
    for (int k = group.head; k >= 0; k = members_[k].next)
      if (members_[k].position == s)
        members_[k].position = best;
  }
  const double pivot = row[best];
  group.prefix *= pivot;
  elimination::subtractPivotRow(base, n, s, best, s + 1, n, n, pivot, carried);
}

// The members listed from `moving` leave the group at step s, where the
// carried column is their pivot. False (nothing changed) when no space is
// left for a new group.
bool SharedCramer::newGroup(const Group& from, int s, double pivot, int moving) {
  if (freeCount_ == 0)
    return false;
  const int n = n_;
  const int h = free_[--freeCount_];
  Group& to = groups_[h];
  const double* __restrict row = from.base + size_t(s) * n;
  for (int j = s + 1; j < n; ++j) {
    const double* __restrict src = from.base + size_t(j) * n;
    double* __restrict dst = to.base + size_t(j) * n;
    const double factor = from.carried[j] / pivot;
    for (int m = s + 1; m < n; ++m) dst[m] = src[m] - factor * row[m];
    to.carried[j] = src[s] - factor * row[s];
  }
  to.prefix = from.prefix * pivot;
  to.step = s + 1;
  to.head = -1;
  to.own = -1;
  for (int k = moving, next; k >= 0; k = next) {
    CramerMember& m = members_[k];
    next = m.next;
    if (m.position == s) {
      // Its carried column is the pivot where it stands: no exchange, and
      // what is left of its matrix is the new base.
      m.position = -1;
      to.own = k;
    } else {
      m.negative = !m.negative;
      m.next = to.head;
      to.head = k;
    }
  }
  pending_[pendingCount_++] = h;
  return true;
}

// The member's own matrix from step s on, finished alone on a compact copy
// of what is left of it.
void SharedCramer::finishAlone(const Group& group, int s, int member) {
  const int n = n_, order = n - s;
  double* work = sized(ws_.scratch, size_t(order) * order);
  const int position = members_[member].position - s;
  for (int r = 0; r < order; ++r) {
    std::memcpy(work + size_t(r) * order, group.base + size_t(s + r) * n + s, size_t(order) * sizeof(double));
    work[size_t(r) * order + position] = group.carried[s + r];
  }
  dets_[member] = elimination::finishTail(work, order, order, signedPrefix(group, member));
}

double SharedCramer::fromScratch(int k) {
  const int n = n_;
  double* work = sized(ws_.scratch, size_t(n) * n);
  std::memcpy(work, a_, size_t(n) * n * sizeof(double));
  for (int i = 0; i < n; ++i) work[size_t(i) * n + k] = b_[i];
  return finish(work, n, 0, 1.0);
}

}  // namespace

bool solveCramer(const double* a, int n, const double* b, double* x, Workspace& ws) {
  switch (n) {
    case 4: return solveFixed<4>(a, b, x);
    case 5: return solveFixed<5>(a, b, x);
    case 6: return solveFixed<6>(a, b, x);
    case 7: return solveFixed<7>(a, b, x);
    case 8: return solveFixed<8>(a, b, x);
    default: break;
  }
  if (n > kLargestSideBySideOrder)
    return SharedCramer(a, n, b, ws).solve(x);
  const double det = determinant(a, n, ws);
  if (det == 0.0)
    return false;
  double solution[3];
  double work[9];
  std::memcpy(work, a, size_t(n) * n * sizeof(double));
  for (int k = 0; k < n; ++k) {
    for (int i = 0; i < n; ++i) work[i * n + k] = b[i];
    solution[k] = determinant(work, n, ws) / det;
    for (int i = 0; i < n; ++i) work[i * n + k] = a[i * n + k];
  }
  std::memcpy(x, solution, size_t(n) * sizeof(double));
  return true;
}

}  // namespace quadrel::matrix
