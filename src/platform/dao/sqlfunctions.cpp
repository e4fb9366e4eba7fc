#include "sqlfunctions.h"

#include "jettext.h"
#include "sqlvalue.h"

#include <variant.h>
#include <vbdate.h>

#include <cmath>
#include <functional>
#include <memory>

namespace dao::detail {
namespace {

int collate(void*, int na, const void* a, int nb, const void* b) {
  return jettext::compareUtf8(static_cast<const char*>(a), na, static_cast<const char*>(b), nb);
}

QString textOf(sqlite3_value* v) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return QString::fromUtf8(p, sqlite3_value_bytes(v));
}

// Jet's text of a value for "&" and string functions: numbers as VB writes them.
QString jetText(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_TEXT) return textOf(v);
  return fromValue(v).toString();
}

void likeFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  (void)argc;
  sqlite3_result_int(ctx, jettext::like(jetText(argv[1]), jetText(argv[0])) ? 1 : 0);
}

void concatFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  QString s;
  bool any = false;
  for (int i = 0; i < argc; ++i) {
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) continue;
    any = true;
    s += jetText(argv[i]);
  }
  if (!any) {
    sqlite3_result_null(ctx);
    return;
  }
  const QByteArray b = s.toUtf8();
  sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

// sum()/total() exact for values with at most four decimals (Currency), as Jet summed them.
struct SumState {
  bool any = false;
  bool allInteger = true;
  bool fourDecimals = true;
  __int128 integerSum = 0;
  __int128 scaledSum = 0;   // in ten-thousandths
  long double doubleSum = 0;
};

void sumStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  // The context holds a pointer: SQLite's block is not aligned for __int128.
  auto** slot = static_cast<SumState**>(sqlite3_aggregate_context(ctx, sizeof(SumState*)));
  if (!slot) return;
  sqlite3_value* v = argv[0];
  int t = sqlite3_value_numeric_type(v);
  if (t == SQLITE_NULL) return;
  if (!*slot) *slot = new SumState();
  SumState* st = *slot;
  st->any = true;
  if (t == SQLITE_INTEGER) {
    const sqlite3_int64 i = sqlite3_value_int64(v);
    st->integerSum += i;
    st->scaledSum += __int128(i) * 10000;
    st->doubleSum += i;
    return;
  }
  const double d = sqlite3_value_double(v);
  st->allInteger = false;
  st->doubleSum += d;
  if (st->fourDecimals) {
    const double s = d * 10000.0;
    const double r = std::nearbyint(s);
    if (std::isfinite(s) && std::fabs(s - r) <= std::max(1e-6, std::fabs(s) * 1e-12) && std::fabs(r) < 9e18)
      st->scaledSum += __int128(r);
    else
      st->fourDecimals = false;
  }
}

void sumFinal(sqlite3_context* ctx, bool total) {
  auto** slot = static_cast<SumState**>(sqlite3_aggregate_context(ctx, 0));
  std::unique_ptr<SumState> owned(slot ? *slot : nullptr);
  SumState* st = owned.get();
  if (!st || !st->any) {
    if (total) sqlite3_result_double(ctx, 0.0);
    else sqlite3_result_null(ctx);
    return;
  }
  if (st->allInteger && !total) {
    if (st->integerSum > INT64_MAX || st->integerSum < INT64_MIN) sqlite3_result_error(ctx, "integer overflow", -1);
    else sqlite3_result_int64(ctx, sqlite3_int64(st->integerSum));
    return;
  }
  if (st->fourDecimals) sqlite3_result_double(ctx, double((long double)st->scaledSum / 10000.0L));
  else sqlite3_result_double(ctx, double(st->doubleSum));
}

// Scalar functions written over Variants; a VB error becomes the SQL error "jet<number>:<text>".
using VFn = std::function<vb::Variant(const std::vector<vb::Variant>&)>;

void callVFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const auto* fn = static_cast<const VFn*>(sqlite3_user_data(ctx));
  std::vector<vb::Variant> args;
  args.reserve(argc);
  for (int i = 0; i < argc; ++i) args.push_back(fromValue(argv[i]));
  try {
    resultVariant(ctx, (*fn)(args));
  } catch (const vb::Error& e) {
    const QByteArray m = QStringLiteral("jet3464:%1").arg(e.description()).toUtf8();
    sqlite3_result_error(ctx, m.constData(), int(m.size()));
  }
}

void addV(sqlite3* db, const char* name, int nargs, VFn fn) {
  auto* heap = new VFn(std::move(fn));
  sqlite3_create_function_v2(db, name, nargs, SQLITE_UTF8 | SQLITE_DETERMINISTIC, heap, callVFn, nullptr, nullptr,
                             [](void* p) { delete static_cast<VFn*>(p); });
}

// jet_coerce(value, type[, keep]): the value as a field of the DAO type stores it (see coercion.cpp).
// Not convertible: the error "jet3421" (Jet's conversion error), or with keep the value unchanged.
void coerceFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  try {
    resultVariant(ctx, coerce(fromValue(argv[0]), DataType(sqlite3_value_int(argv[1])), 0));
  } catch (const vb::Error& e) {
    if (argc > 2 && sqlite3_value_int(argv[2]) != 0) {
      sqlite3_result_value(ctx, argv[0]);
      return;
    }
    const QByteArray m = QStringLiteral("jet%1:").arg(e.number()).toUtf8();
    sqlite3_result_error(ctx, m.constData(), int(m.size()));
  }
}

bool anyNull(const std::vector<vb::Variant>& a) {
  for (const auto& v : a)
    if (v.isNull()) return true;
  return false;
}

}  // namespace

void registerJetFunctions(sqlite3* db) {
  sqlite3_create_collation_v2(db, "JETTEXT", SQLITE_UTF8, nullptr, collate, nullptr);
  sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFn, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "like", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFn, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "jet_concat", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, concatFn, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "sum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, sumStep,
                             [](sqlite3_context* c) { sumFinal(c, false); }, nullptr);
  sqlite3_create_function_v2(db, "total", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, sumStep,
                             [](sqlite3_context* c) { sumFinal(c, true); }, nullptr);
  for (int nargs : {2, 3})
    sqlite3_create_function_v2(db, "jet_coerce", nargs, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               coerceFn, nullptr, nullptr, nullptr);

  using A = const std::vector<vb::Variant>&;
  const vb::Variant null = vb::Variant::null();
  addV(db, "jet_left", 2, [null](A a) { return anyNull(a) ? null : vb::Variant(vb::Left(a[0].toString(), a[1].toLong())); });
  addV(db, "jet_right", 2, [null](A a) { return anyNull(a) ? null : vb::Variant(vb::Right(a[0].toString(), a[1].toLong())); });
  addV(db, "jet_mid", 2, [null](A a) { return anyNull(a) ? null : vb::Variant(vb::Mid(a[0].toString(), a[1].toLong())); });
  addV(db, "jet_mid", 3, [null](A a) {
    return anyNull(a) ? null : vb::Variant(vb::Mid(a[0].toString(), a[1].toLong(), a[2].toLong()));
  });
  addV(db, "jet_len", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(int32_t(a[0].toString().size())); });
  addV(db, "jet_trim", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(vb::Trim(a[0].toString())); });
  addV(db, "jet_ltrim", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(vb::LTrim(a[0].toString())); });
  addV(db, "jet_rtrim", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(vb::RTrim(a[0].toString())); });
  addV(db, "jet_ucase", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(vb::UCase(a[0].toString())); });
  addV(db, "jet_lcase", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(vb::LCase(a[0].toString())); });
  addV(db, "jet_cstr", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(a[0].toString()); });
  addV(db, "jet_val", 1, [](A a) { return vb::Variant(vb::Val(a[0])); });
  addV(db, "jet_nz", 1, [](A a) { return a[0].isNull() ? vb::Variant(int32_t(0)) : a[0]; });
  addV(db, "jet_nz", 2, [](A a) { return a[0].isNull() ? a[1] : a[0]; });
  addV(db, "jet_ccur", 1, [](A a) { return vb::Variant(a[0].toCurrency()); });
  addV(db, "jet_cdbl", 1, [](A a) { return vb::Variant(a[0].toDouble()); });
  addV(db, "jet_clng", 1, [](A a) { return vb::Variant(a[0].toLong()); });
  addV(db, "jet_cint", 1, [](A a) { return vb::Variant(a[0].toInteger()); });
  addV(db, "jet_int", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(std::floor(a[0].toDouble())); });
  addV(db, "jet_fix", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(std::trunc(a[0].toDouble())); });
  addV(db, "jet_round", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(std::nearbyint(a[0].toDouble())); });
  addV(db, "jet_round", 2, [null](A a) {
    if (anyNull(a)) return null;
    const double f = std::pow(10.0, a[1].toLong());
    return vb::Variant(std::nearbyint(a[0].toDouble() * f) / f);
  });
  addV(db, "jet_year", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(int32_t(vb::year(a[0].toDate()))); });
  addV(db, "jet_month", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(int32_t(vb::month(a[0].toDate()))); });
  addV(db, "jet_day", 1, [null](A a) { return anyNull(a) ? null : vb::Variant(int32_t(vb::day(a[0].toDate()))); });
  addV(db, "jet_dateserial", 3, [null](A a) {
    return anyNull(a) ? null : vb::Variant::fromDate(vb::dateSerial(a[0].toLong(), a[1].toLong(), a[2].toLong()));
  });
  addV(db, "jet_format", 2, [null](A a) { return a[0].isNull() ? null : vb::Variant(vb::Format(a[0], a[1].toString())); });
  addV(db, "jet_instr", 2, [null](A a) {
    return anyNull(a) ? null : vb::Variant(int32_t(vb::InStr(a[0].toString(), a[1].toString())));
  });
  addV(db, "jet_instr", 3, [null](A a) {
    return anyNull(a) ? null : vb::Variant(int32_t(vb::InStr(a[1].toString(), a[2].toString(), a[0].toLong())));
  });
}

}  // namespace dao::detail
