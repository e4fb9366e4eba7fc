#pragma once
// The text form of the sample bid (resources/Ejemplo.txt): general data, currencies, footer,
// a catalogue of concepts and the sections that use them; and what follows from it (amounts,
// dates, schedule), worked out here so that the writer only stores rows.
#include "currency.h"

#include <QDate>
#include <QString>
#include <map>
#include <vector>

namespace resources {

struct SampleCurrency {
  QString code, text, closing;
  double parity = 1;
};

struct SampleFooterRow {
  int row = 0;
  QString text;
  int refs[9] = {};
  QString operation, percent;
  double factor = 0;
  vb::Currency total;
};

struct SampleConcept {
  QString code, unit, currency, text, description;
  vb::Currency price;
};

struct SampleItem {
  QString code;
  vb::Currency quantity;
};

struct SampleSection {
  QString code, text;
  int firstPeriod = 0, lastPeriod = 0;  // 0: a section that holds no concepts
  std::vector<SampleItem> items;
};

struct SampleBid {
  std::vector<std::pair<QString, QString>> general;  // field, value as written
  std::vector<SampleCurrency> currencies;
  std::vector<SampleFooterRow> footer;
  std::map<QString, SampleConcept> concepts;
  std::vector<SampleSection> sections;

  QDate generalDate(const QString& field) const;  // invalid when absent
  QString generalValue(const QString& field) const;
};

// One concept row of the bid with everything the writer stores.
struct SampleRow {
  QString partida;
  int renglon = 0;
  const SampleConcept* entry = nullptr;
  vb::Currency quantity, amount;
  QDate start, end;
  std::vector<std::pair<int, vb::Currency>> schedule;  // period, volume (non-zero only)
};

// Throws std::runtime_error naming `origin` and the line for text it cannot read, an unknown
// concept or currency, or a period outside the project.
SampleBid parseSample(const QString& text, const QString& origin = QStringLiteral("sample"));

// The concept rows in section and row order. `decimals` is the bid's rounding of amounts.
std::vector<SampleRow> expandSample(const SampleBid& bid, int decimals);

// Whole-amount helpers shared with the synthetic bids of the benchmark.
vb::Currency roundAmount(vb::Currency value, int decimals);  // halves upwards, as the bid rounds amounts
// `quantity` spread over `periods` equal parts cut to `decimals` decimals, the last taking the rest.
std::vector<vb::Currency> spread(vb::Currency quantity, int periods, int decimals);

}  // namespace resources
