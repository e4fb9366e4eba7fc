#pragma once
// Tokens of the VBScript subset. A whole code block is split at once; errors are raised as
// VBScript's compile errors (1030-1033).
#include "variant.h"

#include <QString>
#include <vector>

namespace script {

enum class Tok : unsigned char { End, Newline, Ident, Keyword, Number, String, Op };

// Reserved words. Those the subset does not run are reserved too, so that an unsupported
// statement fails as a syntax error instead of being read as a name.
enum class Kw : unsigned char {
  And, As, ByRef, ByVal, Call, Case, Class, Const, Dim, Do, Each, Else, ElseIf, Empty, End, Eqv,
  Erase, Exit, False, For, Function, Get, GoTo, If, Imp, In, Is, Let, Loop, Mod, New, Next, Not,
  Nothing, Null, On, Option, Or, Preserve, Private, Property, Public, ReDim, Rem, Select, Set, Step,
  Sub, Then, To, True, Until, Wend, While, With, Xor
};

enum class Op : unsigned char {
  Plus, Minus, Star, Slash, Backslash, Caret, Amp, Eq, Ne, Lt, Gt, Le, Ge, LParen, RParen, Comma, Dot
};

struct Token {
  Tok kind = Tok::End;
  Kw kw = Kw::And;          // Keyword
  Op op = Op::Plus;         // Op
  QString text;             // Ident: as written
  QString key;              // Ident: lower case, for lookups
  vb::Variant value;        // Number, String
};

class Held;

// What one token costs while its block is parsed and kept: the token, and the node of the tree that
// the parser makes of it (the parser checks that both fit). Its texts cost their characters besides.
constexpr uint64_t kParsedTokenBytes = 384;

// Splits a block. Line ends (CR LF, LF, CR) and ":" give Newline; "'" and Rem comments and
// " _" continuations are dropped. The last token is End. Each token is counted to `parsed` as it is
// made (when given), so that a block too large to keep ends with error 7 before it is split whole.
std::vector<Token> tokenize(const QString& code, Held* parsed = nullptr);

// Lower-case key of a name (names compare without regard to case).
QString nameKey(const QString& name);

}  // namespace script
