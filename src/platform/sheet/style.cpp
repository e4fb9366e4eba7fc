#include "style.h"

namespace wb {

size_t qHash(const CellStyle& s, size_t seed) noexcept {
  QtPrivate::QHashCombine c;
  const Font& f = s.font;
  seed = c(seed, f.name);
  seed = c(seed, f.sizeTwips);
  seed = c(seed, (int(f.bold) | int(f.italic) << 1 | int(f.strike) << 2 | int(f.outline) << 3 |
                  int(f.shadow) << 4 | int(f.underline) << 5));
  seed = c(seed, f.color);
  seed = c(seed, s.fill.pattern);
  seed = c(seed, s.fill.fg);
  seed = c(seed, s.fill.bg);
  for (const Edge* e : {&s.left, &s.right, &s.top, &s.bottom}) {
    seed = c(seed, int(e->style));
    seed = c(seed, e->color);
  }
  seed = c(seed, (int(s.shade) | int(s.h) << 1 | int(s.v) << 5 | int(s.wrap) << 9));
  seed = c(seed, s.rotation);
  seed = c(seed, s.indent);
  seed = c(seed, s.numFmt);
  return seed;
}

StylePool::StylePool() {
  styles_.emplace_back();
  index_.insert(styles_[0], 0);
}

int StylePool::intern(const CellStyle& s) {
  auto it = index_.constFind(s);
  if (it != index_.constEnd())
    return it.value();
  const int i = int(styles_.size());
  styles_.push_back(s);
  index_.insert(s, i);
  return i;
}

void StylePool::setDefault(const CellStyle& s) {
  auto it = index_.find(styles_[0]);
  if (it != index_.end() && it.value() == 0)
    index_.erase(it);
  styles_[0] = s;
  index_.insert(s, 0);
}

}  // namespace wb
