// Formatting built-ins: FormatNumber, FormatCurrency, FormatPercent and FormatDateTime, on the
// program's own conventions: "." decimals, "," thousands, "$", two decimals, "-" before a negative
// number, day-first dates and 24-hour times.
#include "builtins_impl.h"

#include "errors.h"
#include "numformat.h"
#include "vbdate.h"

namespace script {

using vb::Variant;

namespace {

using namespace bi;

constexpr int kDefaultDecimals = 2;
constexpr int kMaxDecimals = 255;

// A Tristate argument: vbUseDefault (-2) or missing gives the default.
bool tristate(const BuiltinArgs& a, size_t i, bool byDefault) {
  if (!a.has(i) || isNull(a[i])) return byDefault;
  const int32_t v = whole(a[i]);
  return v == -2 ? byDefault : v != 0;
}

// FormatNumber and its kin: (expression[, decimals[, leading digit[, brackets[, grouping]]]]).
Value formatted(const BuiltinArgs& a, const QString& prefix, const QString& suffix) {
  const double x = number(a[0]);
  int decimals = a.has(1) && !isNull(a[1]) ? whole(a[1]) : -1;
  if (decimals < -1 || decimals > kMaxDecimals) raise(errInvalidCall);
  if (decimals == -1) decimals = kDefaultDecimals;
  const bool leading = tristate(a, 2, true);
  const bool brackets = tristate(a, 3, false);
  const bool grouping = tristate(a, 4, true);
  QString code = leading ? (grouping ? QStringLiteral("#,##0") : QStringLiteral("0"))
                         : (grouping ? QStringLiteral("#,###") : QStringLiteral("#"));
  if (decimals > 0) code += u'.' + QString(decimals, u'0');
  code = prefix + code + suffix;
  if (brackets) code += QStringLiteral(";(") + code + u')';
  return Variant(vb::NumberFormat(code, vb::NumberFormat::Style::Vb).format(x));
}

Value bFormatNumber(const BuiltinArgs& a) { return formatted(a, QString(), QString()); }
Value bFormatCurrency(const BuiltinArgs& a) { return formatted(a, QStringLiteral("$"), QString()); }
Value bFormatPercent(const BuiltinArgs& a) { return formatted(a, QString(), QStringLiteral("%")); }

// FormatDateTime(date[, format]): 0 general (as CStr), 1 long date, 2 short date, 3 long time,
// 4 short time.
Value bFormatDateTime(const BuiltinArgs& a) {
  const double serial = date(a[0]);
  const int32_t kind = a.has(1) ? whole(a[1]) : 0;
  const char* code = nullptr;
  switch (kind) {
    case 0: return Variant(vb::dateToString(serial));
    case 1: code = "dddddd"; break;
    case 2: code = "dd/mm/yyyy"; break;
    case 3: code = "hh:mm:ss"; break;
    case 4: code = "hh:mm"; break;
    default: raise(errInvalidCall);
  }
  return Variant(vb::NumberFormat(QString::fromLatin1(code), vb::NumberFormat::Style::Vb).format(serial));
}

const Builtin kFormat[] = {
    {"formatnumber", 1, 5, bFormatNumber},
    {"formatcurrency", 1, 5, bFormatCurrency},
    {"formatpercent", 1, 5, bFormatPercent},
    {"formatdatetime", 1, 2, bFormatDateTime},
};

}  // namespace

namespace bi {
std::span<const Builtin> formatBuiltins() { return kFormat; }
}  // namespace bi

}  // namespace script
