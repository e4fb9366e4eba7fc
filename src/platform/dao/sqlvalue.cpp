#include "sqlvalue.h"

#include "daoerror.h"
#include "jetsql.h"

#include <cmath>
#include <limits>

namespace dao::detail {

vb::Variant fromValue(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return vb::Variant::null();
    case SQLITE_INTEGER: {
      const sqlite3_int64 i = sqlite3_value_int64(v);
      if (i >= std::numeric_limits<int32_t>::min() && i <= std::numeric_limits<int32_t>::max())
        return vb::Variant(int32_t(i));
      return vb::Variant(double(i));
    }
    case SQLITE_FLOAT: return vb::Variant(sqlite3_value_double(v));
    default: {
      const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
      return vb::Variant(QString::fromUtf8(p, sqlite3_value_bytes(v)));
    }
  }
}

vb::Variant readDynamic(sqlite3_stmt* st, int col) { return fromValue(sqlite3_column_value(st, col)); }

vb::Variant readColumn(sqlite3_stmt* st, int col, DataType type) {
  const int t = sqlite3_column_type(st, col);
  if (t == SQLITE_NULL) return vb::Variant::null();
  if (type == DataType::Text || type == DataType::Memo) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return vb::Variant(QString::fromUtf8(p, sqlite3_column_bytes(st, col)));
  }
  if (t == SQLITE_TEXT) {
    // A text in a typed column (written by raw SQL): converted when it reads as the type.
    const vb::Variant raw = readDynamic(st, col);
    try {
      return coerce(raw, type, 0);
    } catch (const vb::Error&) {
      return raw;
    }
  }
  switch (type) {
    case DataType::Boolean: return vb::Variant(sqlite3_column_double(st, col) != 0);
    case DataType::Byte:
    case DataType::Integer: return vb::Variant(int16_t(sqlite3_column_int(st, col)));
    case DataType::Long: return vb::Variant(int32_t(sqlite3_column_int64(st, col)));
    case DataType::Currency: {
      if (t == SQLITE_INTEGER) return vb::Variant(vb::Currency::fromScaled(sqlite3_column_int64(st, col) * 10000));
      return vb::Variant(vb::Currency::fromDouble(sqlite3_column_double(st, col)));
    }
    case DataType::Single: return vb::Variant(float(sqlite3_column_double(st, col)));
    case DataType::Date: return vb::Variant::fromDate(sqlite3_column_double(st, col));
    default: return vb::Variant(sqlite3_column_double(st, col));
  }
}

void bindVariant(sqlite3_stmt* st, int index, const vb::Variant& v) {
  switch (v.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null: sqlite3_bind_null(st, index); break;
    case vb::VarType::Boolean: sqlite3_bind_int(st, index, v.rawInt() != 0 ? 1 : 0); break;
    case vb::VarType::Integer:
    case vb::VarType::Long: sqlite3_bind_int64(st, index, v.rawInt()); break;
    case vb::VarType::Currency: {
      const int64_t s = v.rawCurrency().scaled();
      if (s % 10000 == 0) sqlite3_bind_int64(st, index, s / 10000);
      else sqlite3_bind_double(st, index, double(s) / 10000.0);
      break;
    }
    case vb::VarType::Single:
    case vb::VarType::Double:
    case vb::VarType::Date: sqlite3_bind_double(st, index, v.rawDouble()); break;
    case vb::VarType::String: {
      const QByteArray b = v.rawString().toUtf8();
      sqlite3_bind_text(st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
      break;
    }
  }
}

void resultVariant(sqlite3_context* ctx, const vb::Variant& v) {
  switch (v.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null: sqlite3_result_null(ctx); break;
    case vb::VarType::Boolean: sqlite3_result_int(ctx, v.rawInt() != 0 ? 1 : 0); break;
    case vb::VarType::Integer:
    case vb::VarType::Long: sqlite3_result_int64(ctx, v.rawInt()); break;
    case vb::VarType::Currency: sqlite3_result_double(ctx, double(v.rawCurrency().scaled()) / 10000.0); break;
    case vb::VarType::Single:
    case vb::VarType::Double:
    case vb::VarType::Date: sqlite3_result_double(ctx, v.rawDouble()); break;
    case vb::VarType::String: {
      const QByteArray b = v.rawString().toUtf8();
      sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
      break;
    }
  }
}

vb::Variant coerce(const vb::Variant& v, DataType type, int size) {
  if (v.isNull() || v.isEmpty()) return vb::Variant::null();
  try {
    switch (type) {
      case DataType::Text:
      case DataType::Memo: {
        const QString s = v.toString();
        if (type == DataType::Text && size > 0 && s.size() > size) raise(3163);
        return vb::Variant(s);
      }
      case DataType::Boolean: return vb::Variant(v.toBool());
      case DataType::Byte: {
        const int32_t l = v.toLong();
        if (l < 0 || l > 255) raise(3421);
        return vb::Variant(int16_t(l));
      }
      case DataType::Integer: return vb::Variant(v.toInteger());
      case DataType::Long: return vb::Variant(v.toLong());
      case DataType::Currency: return vb::Variant(v.toCurrency());
      case DataType::Single: return vb::Variant(float(v.toDouble()));
      case DataType::Double: return vb::Variant(v.toDouble());
      case DataType::Date: return vb::Variant::fromDate(v.toDate());
    }
  } catch (const vb::Error& e) {
    if (e.number() == 3163) throw;
    raise(3421);
  }
  raise(3421);
}

namespace {

// The default text reduced to a value: quoted text, a number, or a Yes/No word.
vb::Variant parseDefault(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return {};
  if (t.size() >= 2 && (t.front() == u'"' || t.front() == u'\'') && t.back() == t.front()) {
    QString body = t.mid(1, t.size() - 2);
    body.replace(QString(2, t.front()), QString(t.front()));
    return vb::Variant(body);
  }
  const QString l = t.toLower();
  if (l == u"yes" || l == u"true" || l == u"sí" || l == u"verdadero") return vb::Variant(true);
  if (l == u"no" || l == u"false" || l == u"falso") return vb::Variant(false);
  bool ok = false;
  const double d = t.toDouble(&ok);
  if (ok) return vb::Variant(d);
  return vb::Variant(t);
}

}  // namespace

vb::Variant defaultValueOf(const QString& defaultText, DataType type) {
  const vb::Variant v = parseDefault(defaultText);
  if (v.isEmpty()) return {};
  try {
    return coerce(v, type, 0);
  } catch (const vb::Error&) {
    return {};
  }
}

QString defaultLiteral(const QString& defaultText, DataType type) {
  const vb::Variant v = defaultValueOf(defaultText, type);
  switch (v.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null: return {};
    case vb::VarType::String: return jetsql::quoteString(v.rawString());
    case vb::VarType::Boolean: return v.rawInt() ? QStringLiteral("1") : QStringLiteral("0");
    case vb::VarType::Integer:
    case vb::VarType::Long: return QString::number(v.rawInt());
    case vb::VarType::Currency: return v.rawCurrency().toString();
    default: return QString::number(v.rawDouble(), 'g', 17);
  }
}

}  // namespace dao::detail
