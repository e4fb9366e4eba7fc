// A footer of 100 rows evaluated as the footer page does it: a new evaluator, the variables V99 and
// VA, one expression per row, then each row asked for by name and taken as Currency. That is one
// module build and one run of Main, then one statement and one value read per row.
// The rows repeat the usual shape: a percentage of the subtotal above, then the new subtotal (the
// two rows above), so every row reaches back to row 1. Target: the whole footer under 5 ms.
#include "evaluador.h"
#include "scriptcontrol.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 100;
constexpr int kRuns = 200;
constexpr double kTargetMs = 5.0;

QStringList footerFormulas() {
  QStringList f{"round((V99)*1+ VA,2)"};
  for (int row = 2; row <= kRows; ++row) {
    if (row % 2 == 0)
      f << QString("round((E%1)*(%2/ 100)+ VA,2)").arg(row - 1).arg(row % 7 + 0.5);
    else
      f << QString("round((E%1+E%2)*1+ VA,2)").arg(row - 2).arg(row - 1);
  }
  return f;
}

}  // namespace

int main() {
  QTemporaryDir folder;  // a program folder without a function file
  const QStringList formulas = footerFormulas();
  std::vector<double> ms;
  vb::Currency last;
  uint64_t calls = 0;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer t;
    t.start();
    auto ev = footer::Evaluador::crear(folder.path());
    ev->Variables()->Add("V99", vb::Variant(int16_t(100)));
    ev->Variables()->Add("VA", vb::Variant("0.0000001"));
    for (int i = 0; i < kRows; ++i) ev->Expresiones()->Add(QString("E%1").arg(i + 1), formulas[i]);
    for (int i = 1; i <= kRows; ++i) last = vb::CCur(ev->Expresiones()->Item(QString("E%1").arg(i))->Calcular(""));
    ms.push_back(double(t.nsecsElapsed()) / 1e6);
    calls = ev->SecComandos().callCount();
  }
  std::sort(ms.begin(), ms.end());
  const double median = ms[ms.size() / 2];
  std::printf("footer of %d rows, %d runs: median %.3f ms, best %.3f ms, worst %.3f ms (target %.1f ms: %s)\n",
              kRows, kRuns, median, ms.front(), ms.back(), kTargetMs, median < kTargetMs ? "met" : "MISSED");
  std::printf("procedure calls per footer: %llu; last row total %s\n", static_cast<unsigned long long>(calls),
              last.toString().toUtf8().constData());
  return 0;
}
