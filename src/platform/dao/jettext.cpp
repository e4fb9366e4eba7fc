#include "jettext.h"

#include <QChar>
#include <array>
#include <vector>

namespace dao::jettext {
namespace {

struct Weight {
  uint32_t primary;    // base letter (accent removed), case folded; ties broken by secondary
  uint32_t secondary;  // case folded code point
};

// Latin range with accents and case pairs: precomputed once.
constexpr char32_t kTableEnd = 0x250;

struct Table {
  std::array<Weight, kTableEnd> w{};
  Table() {
    for (char32_t c = 0; c < kTableEnd; ++c) {
      char32_t f = QChar::toCaseFolded(c);
      char32_t base = f;
      if (f >= 0x80) {
        const QString d = QChar::decomposition(f);
        if (!d.isEmpty() && QChar::decompositionTag(f) == QChar::Canonical && d.at(0).unicode() < 0x80 &&
            QChar::isLetter(d.at(0).unicode()))
          base = QChar::toCaseFolded(char32_t(d.at(0).unicode()));
      } else if (f >= 'A' && f <= 'Z') {
        base = f = f - 'A' + 'a';
      }
      uint32_t primary = uint32_t(base) * 4;
      if (f == 0xF1) primary = uint32_t('n') * 4 + 2;  // ñ: its own letter after n
      w[c] = {primary, uint32_t(f)};
    }
  }
};

const Table& table() {
  static const Table t;
  return t;
}

inline Weight weight(char32_t c) {
  if (c < kTableEnd) return table().w[c];
  const char32_t f = QChar::toCaseFolded(c);
  return {uint32_t(f) * 4, uint32_t(f)};
}

// Decodes one UTF-8 code point; malformed bytes are taken as Latin-1 so that comparison never fails.
inline char32_t next(const unsigned char* s, int n, int& i) {
  unsigned char c = s[i++];
  if (c < 0x80) return c;
  int extra = (c >= 0xF0) ? 3 : (c >= 0xE0) ? 2 : (c >= 0xC0) ? 1 : 0;
  if (extra == 0 || i + extra > n) return c;
  char32_t cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    unsigned char cc = s[i + k];
    if ((cc & 0xC0) != 0x80) return c;
    cp = (cp << 6) | (cc & 0x3F);
  }
  i += extra;
  return cp;
}

inline uint8_t asciiLower(uint8_t c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

}  // namespace

char32_t fold(char32_t c) { return weight(c).secondary; }

int compareUtf8(const char* a, int na, const char* b, int nb) {
  const auto* sa = reinterpret_cast<const unsigned char*>(a);
  const auto* sb = reinterpret_cast<const unsigned char*>(b);
  int i = 0, j = 0, secondary = 0;
  while (i < na && j < nb) {
    // ASCII fast path: weights are the lower-cased byte.
    if (sa[i] < 0x80 && sb[j] < 0x80) {
      uint8_t x = asciiLower(sa[i++]), y = asciiLower(sb[j++]);
      if (x != y) return x < y ? -1 : 1;
      continue;
    }
    char32_t ca = next(sa, na, i), cb = next(sb, nb, j);
    if (ca == cb) continue;
    Weight wa = weight(ca), wb = weight(cb);
    if (wa.primary != wb.primary) return wa.primary < wb.primary ? -1 : 1;
    if (secondary == 0 && wa.secondary != wb.secondary) secondary = wa.secondary < wb.secondary ? -1 : 1;
  }
  if (i < na) return 1;
  if (j < nb) return -1;
  return secondary;
}

int compare(const QString& a, const QString& b) {
  const QByteArray x = a.toUtf8(), y = b.toUtf8();
  return compareUtf8(x.constData(), int(x.size()), y.constData(), int(y.size()));
}

namespace {

bool matchClass(const std::u32string& p, size_t& k, char32_t c) {
  // p[k] is just after '['; on return k is just after ']'.
  bool negate = false;
  if (k < p.size() && p[k] == U'!') { negate = true; ++k; }
  bool hit = false;
  const char32_t fc = fold(c);
  bool first = true;
  while (k < p.size() && (p[k] != U']' || first)) {
    first = false;
    char32_t lo = p[k++];
    if (k + 1 < p.size() && p[k] == U'-' && p[k + 1] != U']') {
      char32_t hi = p[k + 1];
      k += 2;
      if (compare(QString::fromUcs4(&lo, 1), QString::fromUcs4(&c, 1)) <= 0 &&
          compare(QString::fromUcs4(&c, 1), QString::fromUcs4(&hi, 1)) <= 0)
        hit = true;
    } else if (fold(lo) == fc) {
      hit = true;
    }
  }
  if (k < p.size()) ++k;  // ']'
  return hit != negate;
}

bool likeAt(const std::u32string& t, size_t i, const std::u32string& p, size_t k) {
  while (k < p.size()) {
    const char32_t pc = p[k];
    if (pc == U'*') {
      while (k < p.size() && p[k] == U'*') ++k;
      if (k == p.size()) return true;
      for (size_t s = i; s <= t.size(); ++s)
        if (likeAt(t, s, p, k)) return true;
      return false;
    }
    if (i >= t.size()) return false;
    if (pc == U'?') {
      ++i; ++k;
    } else if (pc == U'#') {
      if (t[i] < U'0' || t[i] > U'9') return false;
      ++i; ++k;
    } else if (pc == U'[' && p.find(U']', k + 1) != std::u32string::npos) {
      ++k;
      if (!matchClass(p, k, t[i])) return false;
      ++i;
    } else {
      if (fold(pc) != fold(t[i])) return false;
      ++i; ++k;
    }
  }
  return i == t.size();
}

}  // namespace

bool like(const QString& text, const QString& pattern) {
  return likeAt(text.toStdU32String(), 0, pattern.toStdU32String(), 0);
}

}  // namespace dao::jettext
