#include "jetsql.h"

#include "daoerror.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>

namespace dao::jetsql {
namespace {

enum class T { Space, Word, Ident, String, Number, Param, Op, Group, Comma, Semi, Dot };

struct Tok {
  T t;
  QString text;            // Word/Number/Op/Space/Param as written; Ident and String: the value
  std::vector<Tok> kids;   // Group: the tokens between the parentheses
};

struct SyntaxError {};

bool isWordStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

std::vector<Tok> tokenize(const QString& s) {
  std::vector<Tok> out;
  const int n = int(s.size());
  int i = 0;
  while (i < n) {
    const QChar c = s[i];
    if (c.isSpace()) {
      int j = i;
      while (j < n && s[j].isSpace()) ++j;
      out.push_back({T::Space, s.mid(i, j - i), {}});
      i = j;
    } else if (c == u'\'' || c == u'"') {
      QString v;
      int j = i + 1;
      for (;;) {
        if (j >= n) throw SyntaxError{};
        if (s[j] == c) {
          if (j + 1 < n && s[j + 1] == c) { v += c; j += 2; continue; }
          break;
        }
        v += s[j++];
      }
      out.push_back({T::String, v, {}});
      i = j + 1;
    } else if (c == u'[') {
      int j = s.indexOf(u']', i + 1);
      if (j < 0) throw SyntaxError{};
      out.push_back({T::Ident, s.mid(i + 1, j - i - 1), {}});
      i = j + 1;
    } else if (c == u'#') {
      int j = s.indexOf(u'#', i + 1);
      double serial = 0;
      if (j > i && j - i < 40 && parseDateLiteral(s.mid(i + 1, j - i - 1), serial)) {
        out.push_back({T::Number, QString::number(serial, 'g', 17), {}});
        i = j + 1;
      } else {
        out.push_back({T::Op, QStringLiteral("#"), {}});
        ++i;
      }
    } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
      int j = i;
      while (j < n && s[j].isDigit()) ++j;
      if (j < n && s[j] == u'.') { ++j; while (j < n && s[j].isDigit()) ++j; }
      if (j < n && (s[j] == u'e' || s[j] == u'E')) {
        int k = j + 1;
        if (k < n && (s[k] == u'+' || s[k] == u'-')) ++k;
        if (k < n && s[k].isDigit()) { j = k; while (j < n && s[j].isDigit()) ++j; }
      }
      out.push_back({T::Number, s.mid(i, j - i), {}});
      i = j;
    } else if (isWordStart(c)) {
      int j = i + 1;
      while (j < n && isWordChar(s[j])) ++j;
      out.push_back({T::Word, s.mid(i, j - i), {}});
      i = j;
    } else if (c == u'(' || c == u')') {
      out.push_back({T::Op, QString(c), {}});
      ++i;
    } else if (c == u',') { out.push_back({T::Comma, QStringLiteral(","), {}}); ++i; }
    else if (c == u';') { out.push_back({T::Semi, QStringLiteral(";"), {}}); ++i; }
    else if (c == u'.') { out.push_back({T::Dot, QStringLiteral("."), {}}); ++i; }
    else if (c == u'<' || c == u'>' || c == u'!' || c == u'=') {
      if (i + 1 < n && (s[i + 1] == u'=' || (c == u'<' && s[i + 1] == u'>'))) {
        out.push_back({T::Op, s.mid(i, 2), {}});
        i += 2;
      } else {
        out.push_back({T::Op, QString(c), {}});
        ++i;
      }
    } else {
      out.push_back({T::Op, QString(c), {}});
      ++i;
    }
  }
  return out;
}

// Nests the tokens between parentheses into Group tokens.
std::vector<Tok> nest(const std::vector<Tok>& flat, size_t& i, bool inner) {
  std::vector<Tok> out;
  while (i < flat.size()) {
    const Tok& t = flat[i++];
    if (t.t == T::Op && t.text == u"(") {
      Tok g{T::Group, {}, nest(flat, i, true)};
      out.push_back(std::move(g));
    } else if (t.t == T::Op && t.text == u")") {
      if (!inner) throw SyntaxError{};
      return out;
    } else {
      out.push_back(t);
    }
  }
  if (inner) throw SyntaxError{};
  return out;
}

bool isWord(const Tok& t, const char* w) { return t.t == T::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0; }

int nextSolid(const std::vector<Tok>& v, int i) {
  while (i < int(v.size()) && v[i].t == T::Space) ++i;
  return i;
}
int prevSolid(const std::vector<Tok>& v, int i) {
  while (i >= 0 && v[i].t == T::Space) --i;
  return i;
}

// Jet functions we provide under our own names (SQLite's names would clash or behave otherwise).
const QHash<QString, QString>& functionMap() {
  static const QHash<QString, QString> m = {
      {"left", "jet_left"},   {"right", "jet_right"}, {"mid", "jet_mid"},     {"len", "jet_len"},
      {"trim", "jet_trim"},   {"ltrim", "jet_ltrim"}, {"rtrim", "jet_rtrim"}, {"ucase", "jet_ucase"},
      {"lcase", "jet_lcase"}, {"val", "jet_val"},     {"nz", "jet_nz"},       {"ccur", "jet_ccur"},
      {"cdbl", "jet_cdbl"},   {"clng", "jet_clng"},   {"cint", "jet_cint"},   {"cstr", "jet_cstr"},
      {"int", "jet_int"},     {"fix", "jet_fix"},     {"year", "jet_year"},   {"month", "jet_month"},
      {"day", "jet_day"},     {"format", "jet_format"}, {"instr", "jet_instr"}, {"abs", "abs"},
      {"round", "jet_round"}, {"dateserial", "jet_dateserial"}};
  return m;
}

const QSet<QString>& aggregateNames() {
  static const QSet<QString> s = {"count", "sum", "avg", "min", "max", "total", "group_concat", "first", "last",
                                  "stdev", "stdevp", "var", "varp"};
  return s;
}

// Tokens at which a run of "&" operands ends.
bool isConcatBoundary(const Tok& t) {
  if (t.t == T::Comma || t.t == T::Semi) return true;
  if (t.t == T::Op) {
    static const QSet<QString> ops = {"=", "<>", "<", ">", "<=", ">=", "!="};
    return ops.contains(t.text);
  }
  if (t.t == T::Word) {
    static const QSet<QString> kw = {"AND", "OR", "NOT", "LIKE", "BETWEEN", "IN", "IS", "SELECT", "FROM",
                                     "WHERE", "ON", "AS", "BY", "HAVING", "WHEN", "THEN", "ELSE", "END",
                                     "CASE", "SET", "VALUES", "ORDER", "GROUP", "UNION", "JOIN", "INNER",
                                     "LEFT", "RIGHT", "DISTINCT", "ESCAPE", "LIMIT", "ASC", "DESC", "INTO",
                                     "XOR", "EQV", "ALL", "EXCEPT", "INTERSECT", "OUTER"};
    return kw.contains(t.text.toUpper());
  }
  return false;
}

struct Context {
  Kind kind;
  std::vector<ParameterDecl> params;
  int paramIndex(const QString& name) const {
    for (size_t k = 0; k < params.size(); ++k)
      if (params[k].name.compare(name, Qt::CaseInsensitive) == 0) return int(k) + 1;
    return 0;
  }
};

void transform(std::vector<Tok>& seq, Context& cx, bool top);

// a & b & c  ->  jet_concat(a, b, c), operands taken up to the nearest boundary token.
void groupConcat(std::vector<Tok>& seq) {
  bool any = false;
  for (const Tok& t : seq) any = any || (t.t == T::Op && t.text == u"&");
  if (!any) return;
  std::vector<Tok> out;
  size_t i = 0;
  while (i < seq.size()) {
    // A span runs from i to the next boundary.
    size_t j = i;
    while (j < seq.size() && !isConcatBoundary(seq[j])) ++j;
    bool has = false;
    for (size_t k = i; k < j; ++k) has = has || (seq[k].t == T::Op && seq[k].text == u"&");
    if (!has) {
      for (size_t k = i; k < j; ++k) out.push_back(seq[k]);
    } else {
      // Keep leading and trailing blanks outside the call.
      size_t a = i, b = j;
      while (a < b && seq[a].t == T::Space) out.push_back(seq[a++]);
      size_t tailStart = b;
      while (tailStart > a && seq[tailStart - 1].t == T::Space) --tailStart;
      Tok call{T::Group, {}, {}};
      std::vector<Tok> operand;
      auto flush = [&] {
        while (!operand.empty() && operand.back().t == T::Space) operand.pop_back();
        size_t s = 0;
        while (s < operand.size() && operand[s].t == T::Space) ++s;
        if (s == operand.size()) throw SyntaxError{};
        if (!call.kids.empty()) {
          call.kids.push_back({T::Comma, QStringLiteral(","), {}});
          call.kids.push_back({T::Space, QStringLiteral(" "), {}});
        }
        call.kids.push_back({T::Group, {}, std::vector<Tok>(operand.begin() + long(s), operand.end())});
        operand.clear();
      };
      for (size_t k = a; k < tailStart; ++k) {
        if (seq[k].t == T::Op && seq[k].text == u"&") flush();
        else operand.push_back(seq[k]);
      }
      flush();
      out.push_back({T::Word, QStringLiteral("jet_concat"), {}});
      out.push_back(std::move(call));
      for (size_t k = tailStart; k < b; ++k) out.push_back(seq[k]);
    }
    if (j < seq.size()) out.push_back(seq[j]);
    i = j + 1;
  }
  seq = std::move(out);
}

void parseParameters(std::vector<Tok>& seq, Context& cx) {
  int first = nextSolid(seq, 0);
  if (first >= int(seq.size()) || !isWord(seq[first], "PARAMETERS")) return;
  int k = first + 1;
  std::vector<std::vector<Tok>> decls(1);
  for (; k < int(seq.size()) && seq[k].t != T::Semi; ++k) {
    if (seq[k].t == T::Comma) decls.emplace_back();
    else if (seq[k].t != T::Space) decls.back().push_back(seq[k]);
  }
  if (k >= int(seq.size())) throw SyntaxError{};
  for (auto& d : decls) {
    if (d.empty()) throw SyntaxError{};
    ParameterDecl p;
    p.name = d[0].text;
    p.type = d.size() > 1 && d[1].t == T::Word ? parameterType(d[1].text) : DataType::Text;
    cx.params.push_back(p);
  }
  seq.erase(seq.begin(), seq.begin() + k + 1);
}

void transform(std::vector<Tok>& seq, Context& cx, bool top) {
  if (top && cx.kind == Kind::Statement) parseParameters(seq, cx);
  for (Tok& t : seq)
    if (t.t == T::Group) transform(t.kids, cx, false);

  std::vector<Tok> out;
  QString limit;
  for (int i = 0; i < int(seq.size()); ++i) {
    Tok t = seq[i];
    const int nx = nextSolid(seq, i + 1);
    const bool callFollows = nx < int(seq.size()) && seq[nx].t == T::Group;
    const int pv = prevSolid(seq, i - 1);
    const bool afterDot = pv >= 0 && seq[pv].t == T::Dot;
    if (t.t == T::Word && !afterDot) {
      const QString lw = t.text.toLower();
      if (lw == u"isnull" && callFollows) {
        Tok inner{T::Group, {}, seq[nx].kids};
        Tok g{T::Group, {}, {inner, {T::Space, " ", {}}, {T::Word, "IS", {}}, {T::Space, " ", {}}, {T::Word, "NULL", {}}}};
        out.push_back(std::move(g));
        i = nx;
        continue;
      }
      if (callFollows && functionMap().contains(lw)) t.text = functionMap().value(lw);
      else if (!callFollows && (lw == u"true" || lw == u"false")) t = {T::Number, lw == u"true" ? "1" : "0", {}};
      else if (lw == u"mod") t = {T::Op, "%", {}};
      else if (lw == u"distinctrow") t.text = QStringLiteral("DISTINCT");
      else if (lw == u"delete" && top && nx < int(seq.size()) && seq[nx].t == T::Op && seq[nx].text == u"*") {
        out.push_back(t);
        i = nx;  // DELETE * FROM: the star goes
        continue;
      } else if (lw == u"select") {
        out.push_back(t);
        int k = nx;
        if (k < int(seq.size()) && (isWord(seq[k], "DISTINCT") || isWord(seq[k], "ALL") || isWord(seq[k], "DISTINCTROW"))) {
          Tok d = seq[k];
          if (isWord(d, "DISTINCTROW")) d.text = QStringLiteral("DISTINCT");
          out.push_back({T::Space, " ", {}});
          out.push_back(d);
          i = k;
          k = nextSolid(seq, k + 1);
        }
        if (k < int(seq.size()) && isWord(seq[k], "TOP")) {
          int m = nextSolid(seq, k + 1);
          if (m >= int(seq.size()) || seq[m].t != T::Number) throw SyntaxError{};
          limit = seq[m].text;
          int p = nextSolid(seq, m + 1);
          if (p < int(seq.size()) && isWord(seq[p], "PERCENT")) throw SyntaxError{};
          i = m;
        }
        continue;
      }
    } else if (t.t == T::Ident) {
      if (int p = cx.paramIndex(t.text)) t = {T::Param, QStringLiteral("?%1").arg(p), {}};
    } else if (t.t == T::Semi && top) {
      if (nextSolid(seq, i + 1) < int(seq.size())) throw SyntaxError{};
      break;
    } else if (t.t == T::Op && (t.text == u"?" || t.text == u"#" || t.text == u"!" )) {
      throw SyntaxError{};
    }
    out.push_back(std::move(t));
  }
  while (!out.empty() && out.back().t == T::Space && top) out.pop_back();
  if (!limit.isEmpty()) {
    out.push_back({T::Space, " ", {}});
    out.push_back({T::Word, "LIMIT", {}});
    out.push_back({T::Space, " ", {}});
    out.push_back({T::Number, limit, {}});
  }
  groupConcat(out);
  seq = std::move(out);
}

void serialize(const std::vector<Tok>& seq, QString& s, size_t from = 0, size_t to = size_t(-1)) {
  to = std::min(to, seq.size());
  for (size_t i = from; i < to; ++i) {
    const Tok& t = seq[i];
    switch (t.t) {
      case T::Ident: s += quoteIdent(t.text); break;
      case T::String: s += quoteString(t.text); break;
      case T::Group: s += u'('; serialize(t.kids, s); s += u')'; break;
      default: s += t.text;
    }
  }
}

QString text(const std::vector<Tok>& seq, size_t from, size_t to) {
  QString s;
  serialize(seq, s, from, to);
  return s.trimmed();
}

bool hasAggregate(const std::vector<Tok>& seq) {
  for (size_t i = 0; i < seq.size(); ++i) {
    const Tok& t = seq[i];
    if (t.t == T::Group && hasAggregate(t.kids)) return true;
    if (t.t == T::Word && aggregateNames().contains(t.text.toLower())) {
      int nx = nextSolid(seq, int(i) + 1);
      if (nx < int(seq.size()) && seq[nx].t == T::Group) return true;
    }
  }
  return false;
}

SelectShape shapeOf(const std::vector<Tok>& seq) {
  SelectShape sh;
  int first = nextSolid(seq, 0);
  if (first >= int(seq.size()) || !isWord(seq[first], "SELECT")) return sh;
  sh.isSelect = true;
  // Clause starts at top level.
  int from = -1, where = -1, group = -1, having = -1, order = -1, limit = -1;
  size_t listStart = first + 1;
  int d = nextSolid(seq, first + 1);
  if (d < int(seq.size()) && (isWord(seq[d], "DISTINCT") || isWord(seq[d], "ALL"))) {
    sh.distinct = isWord(seq[d], "DISTINCT");
    listStart = d + 1;
  }
  for (int i = first + 1; i < int(seq.size()); ++i) {
    const Tok& t = seq[i];
    if (t.t != T::Word) continue;
    if (isWord(t, "FROM") && from < 0) from = i;
    else if (isWord(t, "WHERE") && where < 0) where = i;
    else if (isWord(t, "GROUP") && group < 0) group = i;
    else if (isWord(t, "HAVING") && having < 0) having = i;
    else if (isWord(t, "ORDER") && order < 0) order = i;
    else if (isWord(t, "LIMIT") && limit < 0) limit = i;
    else if (isWord(t, "UNION") || isWord(t, "EXCEPT") || isWord(t, "INTERSECT")) sh.compound = true;
  }
  const int end = int(seq.size());
  auto nextStart = [&](int after) {
    int best = end;
    for (int c : {from, where, group, having, order, limit})
      if (c > after && c < best) best = c;
    return best;
  };
  int listEnd = nextStart(int(listStart) - 1);
  sh.selectList = text(seq, listStart, listEnd);
  std::vector<Tok> list(seq.begin() + long(listStart), seq.begin() + listEnd);
  sh.aggregate = hasAggregate(list);
  if (from >= 0) sh.fromClause = text(seq, from + 1, nextStart(from));
  if (where >= 0) sh.whereClause = text(seq, where + 1, nextStart(where));
  int gh = group >= 0 ? group : having;
  if (gh >= 0) {
    sh.grouped = true;
    int ghEnd = nextStart(std::max(group, having));
    sh.groupHaving = text(seq, gh, ghEnd);
  }
  if (order >= 0) {
    int by = nextSolid(seq, order + 1);
    sh.orderBy = text(seq, by + 1, nextStart(order));
  }
  if (limit >= 0) sh.limit = text(seq, limit, end);
  if (from >= 0) {
    std::vector<const Tok*> f;
    for (int i = from + 1; i < nextStart(from); ++i)
      if (seq[i].t != T::Space) f.push_back(&seq[i]);
    auto nameTok = [](const Tok* t) { return t->t == T::Word || t->t == T::Ident; };
    auto reserved = [](const Tok* t) {
      return t->t == T::Word && (isWord(*t, "JOIN") || isWord(*t, "INNER") || isWord(*t, "LEFT") ||
                                 isWord(*t, "RIGHT") || isWord(*t, "ON") || isWord(*t, "CROSS") ||
                                 isWord(*t, "NATURAL") || isWord(*t, "OUTER"));
    };
    bool ok = !f.empty() && nameTok(f[0]) && !reserved(f[0]);
    size_t k = 1;
    QString alias;
    if (ok && k < f.size() && isWord(*f[k], "AS")) ++k;
    if (ok && k < f.size()) {
      if (nameTok(f[k]) && !reserved(f[k])) { alias = f[k]->text; ++k; }
      else ok = false;
    }
    if (ok && k == f.size()) {
      sh.singleTable = f[0]->text;
      sh.qualifier = alias.isEmpty() ? sh.singleTable : alias;
    }
  }
  return sh;
}

}  // namespace

QString quoteIdent(const QString& name) {
  QString s = name;
  s.replace(u'"', QStringLiteral("\"\""));
  return u'"' + s + u'"';
}

QString quoteString(const QString& text) {
  QString s = text;
  s.replace(u'\'', QStringLiteral("''"));
  return u'\'' + s + u'\'';
}

DataType parameterType(const QString& name) {
  const QString n = name.toLower();
  if (n == u"long" || n == u"integer" && false) return DataType::Long;
  if (n == u"short" || n == u"integer" || n == u"smallint") return DataType::Integer;
  if (n == u"long" || n == u"int" || n == u"counter") return DataType::Long;
  if (n == u"byte") return DataType::Byte;
  if (n == u"currency" || n == u"money") return DataType::Currency;
  if (n == u"double" || n == u"float" || n == u"ieeedouble" || n == u"number") return DataType::Double;
  if (n == u"single" || n == u"real" || n == u"ieeesingle") return DataType::Single;
  if (n == u"datetime" || n == u"date" || n == u"time") return DataType::Date;
  if (n == u"bit" || n == u"yesno" || n == u"logical") return DataType::Boolean;
  if (n == u"memo" || n == u"longtext") return DataType::Memo;
  return DataType::Text;
}

bool parseDateLiteral(const QString& body, double& serial) {
  static const QRegularExpression re(
      QStringLiteral("^\\s*(?:(\\d{1,4})[/-](\\d{1,2})[/-](\\d{1,4}))?\\s*"
                     "(?:(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*([AaPp][Mm])?)?\\s*$"));
  const auto m = re.match(body);
  if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(4).isEmpty())) return false;
  double days = 0;
  if (!m.captured(1).isEmpty()) {
    int a = m.captured(1).toInt(), b = m.captured(2).toInt(), c = m.captured(3).toInt();
    int y, mo, d;
    if (m.captured(1).size() >= 3) { y = a; mo = b; d = c; }   // yyyy/mm/dd
    else { mo = a; d = b; y = c; }                              // mm/dd/yyyy, as Jet reads #..#
    if (y < 100) y += y < 30 ? 2000 : 1900;
    const QDate date(y, mo, d);
    if (!date.isValid()) return false;
    days = double(date.toJulianDay() - QDate(1899, 12, 30).toJulianDay());
  }
  double frac = 0;
  if (!m.captured(4).isEmpty()) {
    int h = m.captured(4).toInt(), mi = m.captured(5).toInt(), s = m.captured(6).toInt();
    const QString ampm = m.captured(7).toLower();
    if (ampm == u"pm" && h < 12) h += 12;
    if (ampm == u"am" && h == 12) h = 0;
    if (h > 23 || mi > 59 || s > 59) return false;
    frac = (h * 3600 + mi * 60 + s) / 86400.0;
  }
  serial = days < 0 ? days - frac : days + frac;
  return true;
}

Translation translate(const QString& jet, Kind kind) {
  Translation tr;
  try {
    std::vector<Tok> flat = tokenize(jet);
    size_t i = 0;
    std::vector<Tok> seq = nest(flat, i, false);
    Context cx{kind, {}};
    transform(seq, cx, true);
    QString s;
    serialize(seq, s);
    tr.sql = s.trimmed();
    tr.params = cx.params;
    if (kind == Kind::Statement) tr.shape = shapeOf(seq);
  } catch (const SyntaxError&) {
    raise(kind == Kind::Statement ? 3075 : 3077, jet);
  }
  if (tr.sql.isEmpty()) raise(kind == Kind::Statement ? 3075 : 3077, jet);
  return tr;
}

}  // namespace dao::jetsql
