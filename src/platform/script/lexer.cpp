#include "lexer.h"

#include "bounds.h"
#include "dates.h"
#include "errors.h"

#include <QHash>
#include <QLocale>

namespace script {

namespace {

const QHash<QString, Kw>& keywords() {
  static const QHash<QString, Kw> table = {
      {"and", Kw::And}, {"as", Kw::As}, {"byref", Kw::ByRef}, {"byval", Kw::ByVal}, {"call", Kw::Call},
      {"case", Kw::Case}, {"class", Kw::Class}, {"const", Kw::Const}, {"dim", Kw::Dim}, {"do", Kw::Do},
      {"each", Kw::Each}, {"else", Kw::Else}, {"elseif", Kw::ElseIf}, {"empty", Kw::Empty},
      {"end", Kw::End}, {"eqv", Kw::Eqv}, {"erase", Kw::Erase}, {"exit", Kw::Exit},
      {"false", Kw::False}, {"for", Kw::For}, {"function", Kw::Function}, {"get", Kw::Get},
      {"goto", Kw::GoTo}, {"if", Kw::If}, {"imp", Kw::Imp}, {"in", Kw::In}, {"is", Kw::Is},
      {"let", Kw::Let}, {"loop", Kw::Loop}, {"mod", Kw::Mod}, {"new", Kw::New}, {"next", Kw::Next},
      {"not", Kw::Not}, {"nothing", Kw::Nothing}, {"null", Kw::Null}, {"on", Kw::On},
      {"option", Kw::Option}, {"or", Kw::Or}, {"preserve", Kw::Preserve}, {"private", Kw::Private},
      {"property", Kw::Property}, {"public", Kw::Public}, {"redim", Kw::ReDim}, {"rem", Kw::Rem},
      {"select", Kw::Select}, {"set", Kw::Set}, {"step", Kw::Step}, {"sub", Kw::Sub},
      {"then", Kw::Then}, {"to", Kw::To}, {"true", Kw::True}, {"until", Kw::Until},
      {"wend", Kw::Wend}, {"while", Kw::While}, {"with", Kw::With}, {"xor", Kw::Xor}};
  return table;
}

constexpr int kMaxIdentifier = 255;

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

class Lexer {
public:
  Lexer(const QString& s, Held* parsed) : s_(s), n_(s.size()), parsed_(parsed) {}

  std::vector<Token> run() {
    while (i_ < n_) {
      const QChar c = s_[i_];
      if (isBlank(c)) { ++i_; continue; }
      if (isLineEnd(c)) {
        if (c == u'\r' && i_ + 1 < n_ && s_[i_ + 1] == u'\n') ++i_;
        ++i_;
        newline();
        continue;
      }
      if (c == u':') { ++i_; newline(); continue; }
      if (c == u'\'') { skipToLineEnd(); continue; }
      if (c == u'_' && continuation()) continue;
      if (isDigit(c) || (c == u'.' && i_ + 1 < n_ && isDigit(s_[i_ + 1]))) { number(); continue; }
      if (c == u'"') { string(); continue; }
      if (c == u'&' && radixNumber()) continue;
      if (c == u'#') { dateLiteral(); continue; }
      if (c.isLetter()) { word(); continue; }
      op();
    }
    Token end;
    end.kind = Tok::End;
    add(std::move(end));
    return std::move(out_);
  }

private:
  void add(Token t) {
    if (parsed_) {
      const uint64_t chars = uint64_t(t.text.size() + t.key.size()) +
                             (t.value.isString() ? uint64_t(t.value.rawString().size()) : 0);
      parsed_->add(kParsedTokenBytes + 2 * chars);
    }
    out_.push_back(std::move(t));
  }

  void newline() {
    if (!out_.empty() && out_.back().kind == Tok::Newline) return;
    Token t;
    t.kind = Tok::Newline;
    add(std::move(t));
  }

  void skipToLineEnd() {
    while (i_ < n_ && !isLineEnd(s_[i_])) ++i_;
  }

  // "_" at the end of a line (blanks allowed after it) joins the next line.
  bool continuation() {
    qsizetype j = i_ + 1;
    while (j < n_ && isBlank(s_[j])) ++j;
    if (j < n_ && !isLineEnd(s_[j])) return false;
    if (j < n_ && s_[j] == u'\r' && j + 1 < n_ && s_[j + 1] == u'\n') ++j;
    i_ = j + 1;
    return true;
  }

  void number() {
    const qsizetype start = i_;
    bool whole = true;
    while (i_ < n_ && isDigit(s_[i_])) ++i_;
    if (i_ < n_ && s_[i_] == u'.') {
      whole = false;
      ++i_;
      while (i_ < n_ && isDigit(s_[i_])) ++i_;
    }
    if (i_ < n_ && (s_[i_] == u'e' || s_[i_] == u'E')) {
      qsizetype j = i_ + 1;
      if (j < n_ && (s_[j] == u'+' || s_[j] == u'-')) ++j;
      if (j >= n_ || !isDigit(s_[j])) raise(errInvalidNumber);
      while (j < n_ && isDigit(s_[j])) ++j;
      i_ = j;
      whole = false;
    }
    const QString text = s_.mid(start, i_ - start);
    Token t;
    t.kind = Tok::Number;
    bool ok = false;
    if (whole) {
      const qlonglong v = text.toLongLong(&ok);
      if (ok && v <= 32767) t.value = vb::Variant(static_cast<int16_t>(v));
      else if (ok && v <= 2147483647) t.value = vb::Variant(static_cast<int32_t>(v));
      else ok = false;
    }
    if (!ok) {
      const double d = QLocale::c().toDouble(text, &ok);
      if (!ok || !std::isfinite(d)) raise(errInvalidNumber);
      t.value = vb::Variant(d);
    }
    add(std::move(t));
  }

  // &H1F and &O17: up to 32 bits; a value that fits in 16 bits is an Integer, so &HFFFF is -1.
  bool radixNumber() {
    const QChar kind = i_ + 1 < n_ ? s_[i_ + 1].toUpper() : QChar();
    const int base = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
    auto digit = [base](QChar ch) {
      const QChar u = ch.toUpper();
      const int d = ch.isDigit() ? ch.digitValue() : (u >= u'A' && u <= u'F') ? u.unicode() - 'A' + 10 : 99;
      return d < base ? d : -1;
    };
    if (!base || i_ + 2 >= n_ || digit(s_[i_ + 2]) < 0) return false;
    qsizetype j = i_ + 2;
    uint64_t v = 0;
    for (; j < n_ && digit(s_[j]) >= 0; ++j) {
      v = v * uint64_t(base) + uint64_t(digit(s_[j]));
      if (v > 0xFFFFFFFFull) raise(errInvalidNumber);
    }
    if (j < n_ && (s_[j].isLetterOrNumber() || s_[j] == u'_')) raise(errInvalidNumber);
    i_ = j;
    Token t;
    t.kind = Tok::Number;
    if (v <= 0xFFFF) t.value = vb::Variant(static_cast<int16_t>(static_cast<uint16_t>(v)));
    else t.value = vb::Variant(static_cast<int32_t>(static_cast<uint32_t>(v)));
    add(std::move(t));
    return true;
  }

  // #2025-03-01#, #03/01/2025# (month first), #1:30 PM#: a Date. Without a closing "#" on the line
  // the "#" is an invalid character; a text between two "#" that is no date is a syntax error.
  void dateLiteral() {
    qsizetype j = i_ + 1;
    while (j < n_ && s_[j] != u'#' && !isLineEnd(s_[j])) ++j;
    if (j >= n_ || s_[j] != u'#') raise(errInvalidCharacter);
    const std::optional<double> serial = parseDateLiteral(s_.mid(i_ + 1, j - i_ - 1));
    if (!serial) raise(errSyntax);
    i_ = j + 1;
    Token t;
    t.kind = Tok::Number;
    t.value = vb::Variant::fromDate(*serial);
    add(std::move(t));
  }

  void string() {
    QString text;
    ++i_;
    for (;;) {
      if (i_ >= n_ || isLineEnd(s_[i_])) raise(errUnterminatedString);
      if (s_[i_] == u'"') {
        if (i_ + 1 < n_ && s_[i_ + 1] == u'"') {
          text += u'"';
          i_ += 2;
          continue;
        }
        ++i_;
        break;
      }
      text += s_[i_++];
    }
    Token t;
    t.kind = Tok::String;
    t.value = vb::Variant(text);
    add(std::move(t));
  }

  void word() {
    const qsizetype start = i_;
    while (i_ < n_ && (s_[i_].isLetterOrNumber() || s_[i_] == u'_')) ++i_;
    if (i_ - start > kMaxIdentifier) raise(errIdentifierTooLong);
    Token t;
    t.text = s_.mid(start, i_ - start);
    t.key = nameKey(t.text);
    auto kw = keywords().constFind(t.key);
    if (kw != keywords().cend()) {
      if (*kw == Kw::Rem) { skipToLineEnd(); return; }
      t.kind = Tok::Keyword;
      t.kw = *kw;
    } else {
      t.kind = Tok::Ident;
    }
    add(std::move(t));
  }

  void op() {
    const QChar c = s_[i_];
    const QChar next = i_ + 1 < n_ ? s_[i_ + 1] : QChar();
    Op o;
    int len = 1;
    switch (c.unicode()) {
      case '+': o = Op::Plus; break;
      case '-': o = Op::Minus; break;
      case '*': o = Op::Star; break;
      case '/': o = Op::Slash; break;
      case '\\': o = Op::Backslash; break;
      case '^': o = Op::Caret; break;
      case '&': o = Op::Amp; break;
      case '=': o = Op::Eq; break;
      case '(': o = Op::LParen; break;
      case ')': o = Op::RParen; break;
      case ',': o = Op::Comma; break;
      case '.': o = Op::Dot; break;
      case '<':
        if (next == u'>') { o = Op::Ne; len = 2; }
        else if (next == u'=') { o = Op::Le; len = 2; }
        else o = Op::Lt;
        break;
      case '>':
        if (next == u'=') { o = Op::Ge; len = 2; }
        else o = Op::Gt;
        break;
      default: raise(errInvalidCharacter);
    }
    i_ += len;
    Token t;
    t.kind = Tok::Op;
    t.op = o;
    add(std::move(t));
  }

  const QString& s_;
  const qsizetype n_;
  Held* parsed_;
  qsizetype i_ = 0;
  std::vector<Token> out_;
};

}  // namespace

std::vector<Token> tokenize(const QString& code, Held* parsed) { return Lexer(code, parsed).run(); }

QString nameKey(const QString& name) { return name.toLower(); }

}  // namespace script
