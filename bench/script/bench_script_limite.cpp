// How long runaway user functions run before the engine's work bound stops them, with the default
// bound. Each case is a function file whose functions call the level below twice (the work doubles
// at each level), reached through a user function named round; the cases differ in what each call
// does: little, much arithmetic, built-ins, long texts, arrays. Target: every case stopped (error 18) within
// ten seconds, the first three well inside.
#include "scriptcontrol.h"

#include "timing.h"

#include <cstdio>

namespace {

constexpr double kTargetMs = 10000.0;
constexpr int kLevels = 70;

struct Case {
  const char* name;
  const char* body;  // of level k, calling level k-1 as %1
};

const Case kCases[] = {
    {"two calls", "%1(X)+%1(X)"},
    {"arithmetic", "(%1(X)*2-X*3+X/4-X*X+1)*0.5+(%1(X)*2-X*3+X/4-X*X+1)*0.5"},
    {"built-ins", "Sin(%1(X))+Abs(Fix(%1(X)))+Len(CStr(X))+Year(DateAdd(\"m\",X,#2025-03-01#))"},
    {"arrays", "UBound(Split(Space(5000))) + UBound(Array(%1(X), %1(X), Split(Space(3000), \" \")))"},
    {"texts", "Len(Space(20000) & %1(X)) + Len(Replace(Space(20000), \" \", \"ab\") & %1(X))"},
};

}  // namespace

int main() {
  bool met = true;
  for (const Case& c : kCases) {
    script::ScriptControl sc;
    script::Module& m = sc.modules().add("M");
    m.addCode("Function F0(X)\r\nF0=X+1\r\nEnd Function");
    for (int k = 1; k <= kLevels; ++k) {
      const QString below = QString("F%1").arg(k - 1);
      m.addCode(QString("Function F%1(X)\r\nF%1=%2\r\nEnd Function").arg(k).arg(QString(c.body).arg(below)));
    }
    m.addCode(QString("Function round(X, N)\r\nround=F%1(X)\r\nEnd Function").arg(kLevels));
    int number = 0;
    const double ms = bench::millis([&] {
      try {
        m.eval("round((1)*1+ 0.0000001,2)");
      } catch (const vb::Error& e) {
        number = e.number();
      }
    });
    const bool ok = number == 18 && ms < kTargetMs;
    met = met && ok;
    std::printf("%-10s stopped with error %d after %.0f ms, %llu calls (%s)\n", c.name, number, ms,
                static_cast<unsigned long long>(sc.callCount()), ok ? "met" : "MISSED");
  }
  std::printf("target: every case stopped by error 18 within %.0f ms: %s\n", kTargetMs, met ? "met" : "MISSED");
  return 0;
}
