#include "visible_span.h"

#include <utility>

namespace lmx::engine {

namespace {

constexpr int kGrid = 32;       // moments looked at first
constexpr int kRefinements = 10;  // halvings of the grid step around the edge found

// Bisects between a moment in view and one out of view; returns the one out of view,
// within 1 / (kGrid * 2^kRefinements) of the edge: at the end of the stretch (or its
// start, flying on) the pieces are gone.
float Edge(const SceneContext& context, float seen, float unseen) {
  for (int i = 0; i < kRefinements; ++i) {
    float mid = (seen + unseen) / 2;
    (AnyPieceInView(context, mid) ? seen : unseen) = mid;
  }
  return unseen;
}

// Everything that places the pieces, as numbers.
std::vector<float> KeyOf(const SceneContext& c) {
  const Layout& l = *c.layout;
  const KindOptions& o = l.options;
  std::vector<float> key = {static_cast<float>(l.kind), static_cast<float>(l.pieces.size()), l.aspect,
                            static_cast<float>(l.flyOn), static_cast<float>(c.width), static_cast<float>(c.height),
                            static_cast<float>(c.objectCount), static_cast<float>(c.filterMode),
                            static_cast<float>(c.params->centerObjects), static_cast<float>(o.rows),
                            static_cast<float>(o.columns), o.spin, o.lift, static_cast<float>(o.vertical), o.scatter,
                            o.curl, o.twist, static_cast<float>(o.reverse), static_cast<float>(o.bounce)};
  for (int i = 0; i < c.objectCount && i < kMaxObjects; ++i) {
    const ObjectParams& p = c.params->objects[i];
    key.insert(key.end(), {p.transparency, static_cast<float>(p.trailCount), p.changePeriod, p.pathRotation,
                           static_cast<float>(p.rotatesWithPath), static_cast<float>(p.trailSpacing)});
  }
  return key;
}

}  // namespace

VisibleSpan FindVisibleSpan(const SceneContext& context) {
  VisibleSpan span;
  // Objects kept centred in filter mode stay in view by design.
  if (context.filterMode && context.params->centerObjects) return span;
  bool seen[kGrid + 1];
  int first = -1, last = -1;
  for (int i = 0; i <= kGrid; ++i) {
    seen[i] = AnyPieceInView(context, static_cast<float>(i) / kGrid);
    if (seen[i] && first < 0) first = i;
    if (seen[i]) last = i;
  }
  if (first < 0) return span;  // nothing ever in view: nothing to spread
  if (first > 0) span.begin = Edge(context, static_cast<float>(first) / kGrid, static_cast<float>(first - 1) / kGrid);
  if (last < kGrid) span.end = Edge(context, static_cast<float>(last) / kGrid, static_cast<float>(last + 1) / kGrid);
  return span;
}

VisibleSpan VisibleSpanCache::Get(const SceneContext& context) {
  std::vector<float> key = KeyOf(context);
  if (key != key_) {
    span_ = FindVisibleSpan(context);
    key_ = std::move(key);
  }
  return span_;
}

}  // namespace lmx::engine
