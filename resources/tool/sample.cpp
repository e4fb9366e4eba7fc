#include "sample.h"

#include "textreader.h"

#include <QRegularExpression>
#include <stdexcept>

namespace resources {

namespace {

// "12.5" or "-3" with at most four decimals, exactly.
vb::Currency fixed(const TextReader& r, const QString& text) {
  static const QRegularExpression number(QStringLiteral("^(-?)(\\d{1,14})(?:\\.(\\d{1,4}))?$"));
  const auto m = number.match(text.trimmed());
  if (!m.hasMatch()) r.fail(QStringLiteral("\"%1\" is not a number with up to four decimals").arg(text));
  const int64_t scaled = m.captured(2).toLongLong() * vb::Currency::Scale +
                         m.captured(3).leftJustified(4, QLatin1Char('0')).toLongLong();
  return vb::Currency::fromScaled(m.captured(1).isEmpty() ? scaled : -scaled);
}

double number(const TextReader& r, const QString& text) { return fixed(r, text).toDouble(); }

int whole(const TextReader& r, const QString& text) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok);
  if (!ok) r.fail(QStringLiteral("\"%1\" is not a whole number").arg(text));
  return v;
}

// The "|"-separated parts of a statement, `optional` of them may be left out at the end.
QStringList parts(const TextReader& r, const QString& text, qsizetype count, qsizetype optional = 0) {
  QStringList p = text.split(QLatin1Char('|'));
  for (QString& s : p) s = s.trimmed();
  if (p.size() < count - optional || p.size() > count)
    r.fail(QStringLiteral("expected %1 parts separated by \"|\"").arg(count));
  return p;
}

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

vb::Currency roundAmount(vb::Currency value, int decimals) {
  int64_t unit = 1;
  for (int i = decimals; i < 4; ++i) unit *= 10;
  return vb::Currency::fromScaled(floorDiv(value.scaled() + unit / 2, unit) * unit);
}

std::vector<vb::Currency> spread(vb::Currency quantity, int periods, int decimals) {
  std::vector<vb::Currency> parts;
  vb::Currency rest = quantity;
  for (int p = 1; p < periods; ++p) {
    // Truncated, so that the last period's rest is never below the others.
    int64_t unit = 1;
    for (int i = decimals; i < 4; ++i) unit *= 10;
    const vb::Currency part = vb::Currency::fromScaled(quantity.scaled() / periods / unit * unit);
    parts.push_back(part);
    rest -= part;
  }
  parts.push_back(rest);
  return parts;
}

QString SampleBid::generalValue(const QString& field) const {
  for (const auto& [name, value] : general)
    if (name.compare(field, Qt::CaseInsensitive) == 0) return value;
  return QString();
}

QDate SampleBid::generalDate(const QString& field) const {
  return QDate::fromString(generalValue(field), Qt::ISODate);
}

SampleBid parseSample(const QString& text, const QString& origin) {
  SampleBid bid;
  TextReader r(text, origin);
  SampleSection* section = nullptr;
  while (r.next()) {
    const QString& line = r.line();
    if (r.indented()) {  // "<code> <quantity>" of the current section
      if (!section || section->firstPeriod == 0)
        r.fail(QStringLiteral("concepts belong to a section with periods"));
      const QStringList w = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
      if (w.size() != 2) r.fail(QStringLiteral("expected \"<concept> <quantity>\""));
      if (!bid.concepts.count(w[0])) r.fail(QStringLiteral("unknown concept %1").arg(w[0]));
      section->items.push_back({w[0], fixed(r, w[1])});
      continue;
    }
    section = nullptr;
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    const QString keyword = line.left(blank);
    const QString body = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
    if (keyword == QStringLiteral("DATO")) {
      const qsizetype eq = body.indexOf(QLatin1Char('='));
      if (eq < 1) r.fail(QStringLiteral("expected DATO <field> = <value>"));
      bid.general.emplace_back(body.left(eq).trimmed(), body.mid(eq + 1).trimmed());
    } else if (keyword == QStringLiteral("MONEDA")) {
      const QStringList p = parts(r, body, 4);
      bid.currencies.push_back({p[0], p[1], p[3], number(r, p[2])});
    } else if (keyword == QStringLiteral("PIE")) {
      const QStringList p = parts(r, body, 7);
      SampleFooterRow row;
      row.row = whole(r, p[0]);
      row.text = p[1];
      const QStringList refs = p[2].split(QLatin1Char(' '), Qt::SkipEmptyParts);
      if (refs.size() != 9) r.fail(QStringLiteral("a footer row has nine references"));
      for (int k = 0; k < 9; ++k) row.refs[k] = whole(r, refs[k]);
      row.operation = p[3];
      row.factor = number(r, p[4]);
      row.percent = p[5];
      row.total = fixed(r, p[6]);
      bid.footer.push_back(row);
    } else if (keyword == QStringLiteral("CONCEPTO")) {
      const QStringList p = parts(r, body, 6);
      if (bid.concepts.count(p[0])) r.fail(QStringLiteral("concept %1 appears twice").arg(p[0]));
      bool known = false;
      for (const SampleCurrency& c : bid.currencies) known = known || c.code == p[3];
      if (!known) r.fail(QStringLiteral("unknown currency %1").arg(p[3]));
      bid.concepts[p[0]] = SampleConcept{p[0], p[1], p[3], p[4], p[5], fixed(r, p[2])};
    } else if (keyword == QStringLiteral("SECCION")) {
      const QStringList p = parts(r, body, 3, 1);
      for (const SampleSection& s : bid.sections)
        if (s.code == p[0]) r.fail(QStringLiteral("section %1 appears twice").arg(p[0]));
      SampleSection s{p[0], p[1], 0, 0, {}};
      if (p.size() == 3) {
        const QStringList range = p[2].split(QLatin1Char('-'));
        if (range.size() != 2) r.fail(QStringLiteral("periods as <first>-<last>"));
        s.firstPeriod = whole(r, range[0]);
        s.lastPeriod = whole(r, range[1]);
        const int periods = bid.generalValue(QStringLiteral("Periodos")).toInt();
        if (s.firstPeriod < 1 || s.lastPeriod < s.firstPeriod || s.lastPeriod > periods)
          r.fail(QStringLiteral("periods %1 outside the project's 1-%2").arg(p[2]).arg(periods));
      }
      bid.sections.push_back(s);
      section = &bid.sections.back();
    } else {
      r.fail(QStringLiteral("cannot read \"%1\"").arg(line));
    }
  }
  return bid;
}

std::vector<SampleRow> expandSample(const SampleBid& bid, int decimals) {
  const QDate start = bid.generalDate(QStringLiteral("FechaInicioProy"));
  const QDate end = bid.generalDate(QStringLiteral("FechaFinalProy"));
  if (!start.isValid() || !end.isValid() || end < start)
    throw std::runtime_error("the sample needs FechaInicioProy and FechaFinalProy (yyyy-mm-dd)");
  const QDate firstMonth(start.year(), start.month(), 1);
  std::vector<SampleRow> rows;
  for (const SampleSection& s : bid.sections) {
    int renglon = 0;
    // Periods are calendar months counted from the project's first month.
    const QDate from = std::max(start, firstMonth.addMonths(s.firstPeriod - 1));
    const QDate to = std::min(end, firstMonth.addMonths(s.lastPeriod).addDays(-1));
    for (const SampleItem& item : s.items) {
      SampleRow row;
      row.partida = s.code;
      row.renglon = ++renglon;
      row.entry = &bid.concepts.at(item.code);
      row.quantity = item.quantity;
      row.amount = roundAmount(row.entry->price * item.quantity, decimals);
      row.start = from;
      row.end = to;
      const auto volumes = spread(item.quantity, s.lastPeriod - s.firstPeriod + 1, 2);
      for (size_t k = 0; k < volumes.size(); ++k)
        if (volumes[k].scaled() != 0) row.schedule.emplace_back(s.firstPeriod + int(k), volumes[k]);
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

}  // namespace resources
