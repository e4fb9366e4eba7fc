#include "parser.h"

#include "errors.h"
#include "lexer.h"

#include <QHash>

namespace script {

namespace {

// Bounds that turn pathological input into error 28 instead of a native stack overflow:
// nested brackets and unary operators, and the height of any expression tree (which bounds the
// recursion of evaluating and destroying it).
constexpr int kMaxNesting = 200;
constexpr int kMaxTreeDepth = 1000;

// A token and the node made of it, with the allocator's share and a place in a list of operands.
static_assert(sizeof(Token) + sizeof(Expr) + 64 <= kParsedTokenBytes);

// Binding power of the binary operators, loosest first.
int precedence(const Token& t, BinOp* op) {
  if (t.kind == Tok::Keyword) {
    switch (t.kw) {
      case Kw::Imp: *op = BinOp::Imp; return 1;
      case Kw::Eqv: *op = BinOp::Eqv; return 2;
      case Kw::Xor: *op = BinOp::Xor; return 3;
      case Kw::Or: *op = BinOp::Or; return 4;
      case Kw::And: *op = BinOp::And; return 5;
      // 6: Not
      case Kw::Mod: *op = BinOp::Mod; return 10;
      default: return 0;
    }
  }
  if (t.kind != Tok::Op) return 0;
  switch (t.op) {
    case Op::Eq: *op = BinOp::Eq; return 7;
    case Op::Ne: *op = BinOp::Ne; return 7;
    case Op::Lt: *op = BinOp::Lt; return 7;
    case Op::Gt: *op = BinOp::Gt; return 7;
    case Op::Le: *op = BinOp::Le; return 7;
    case Op::Ge: *op = BinOp::Ge; return 7;
    case Op::Amp: *op = BinOp::Cat; return 8;
    case Op::Plus: *op = BinOp::Add; return 9;
    case Op::Minus: *op = BinOp::Sub; return 9;
    case Op::Backslash: *op = BinOp::IntDiv; return 11;
    case Op::Star: *op = BinOp::Mul; return 12;
    case Op::Slash: *op = BinOp::Div; return 12;
    // 13: unary minus
    case Op::Caret: *op = BinOp::Pow; return 14;
    default: return 0;
  }
}
constexpr int kNotPrec = 6;
constexpr int kNegPrec = 13;
constexpr int kPowPrec = 14;

class Parser {
public:
  Parser(const QString& code, Held* parsed) : toks_(tokenize(code, parsed)) {}

  std::unique_ptr<Block> block() {
    auto b = std::make_unique<Block>();
    bool first = true;
    for (;;) {
      skipNewlines();
      if (at(Tok::End)) break;
      if (isKw(Kw::Option)) {
        if (!first) raise(errSyntax);
        next();
        if (!at(Tok::Ident) || cur().key != QLatin1String("explicit")) raise(errSyntax);
        next();
        b->optionExplicit = true;
      } else if (isKw(Kw::Private) || isKw(Kw::Public) || isKw(Kw::Dim)) {
        const bool dim = isKw(Kw::Dim);
        next();
        if (!dim && (isKw(Kw::Sub) || isKw(Kw::Function))) {
          b->procedures.push_back(procedure(*b));
        } else {
          declarations(b->variables);
        }
      } else if (isKw(Kw::Sub) || isKw(Kw::Function)) {
        b->procedures.push_back(procedure(*b));
      } else {
        b->statements.push_back(statement());
      }
      first = false;
      endOfStatement();
    }
    return b;
  }

  ExprPtr wholeExpression() {
    skipNewlines();
    ExprPtr e = expression(1);
    skipNewlines();
    if (!at(Tok::End)) raise(errExpectedEndOfStatement);
    return e;
  }

private:
  // ---- tokens ----
  const Token& cur() const { return toks_[pos_]; }
  void next() {
    if (toks_[pos_].kind != Tok::End) ++pos_;
  }
  bool at(Tok k) const { return cur().kind == k; }
  bool isKw(Kw k) const { return at(Tok::Keyword) && cur().kw == k; }
  bool isOp(Op o) const { return at(Tok::Op) && cur().op == o; }
  bool atStatementEnd() const { return at(Tok::Newline) || at(Tok::End); }
  void skipNewlines() {
    while (at(Tok::Newline)) next();
  }
  void endOfStatement() {
    if (!atStatementEnd()) raise(errExpectedEndOfStatement);
  }
  NameRef identifier() {
    if (!at(Tok::Ident)) raise(errExpectedIdentifier);
    NameRef n;
    n.text = cur().text;
    n.key = cur().key;
    next();
    return n;
  }

  // ---- declarations ----
  void declarations(std::vector<QString>& into) {
    for (;;) {
      NameRef n = identifier();
      if (isOp(Op::LParen)) {  // a dynamic array declared as Name()
        next();
        if (!isOp(Op::RParen)) raise(errExpectedRParen);
        next();
      }
      into.push_back(n.text);
      if (!isOp(Op::Comma)) break;
      next();
    }
  }

  std::shared_ptr<Procedure> procedure(Block& block) {
    auto p = std::make_shared<Procedure>();
    p->isFunction = isKw(Kw::Function);
    next();
    NameRef n = identifier();
    p->name = n.text;
    p->key = n.key;
    QHash<QString, int> vars;
    if (isOp(Op::LParen)) {
      next();
      if (!isOp(Op::RParen)) {
        for (;;) {
          Param par;
          if (isKw(Kw::ByVal)) { par.byVal = true; next(); }
          else if (isKw(Kw::ByRef)) next();
          NameRef pn = identifier();
          if (isOp(Op::LParen)) {
            next();
            if (!isOp(Op::RParen)) raise(errExpectedRParen);
            next();
          }
          if (vars.contains(pn.key)) raise(errNameRedefined);
          vars.insert(pn.key, int(p->params.size()));
          par.name = pn.text;
          par.key = pn.key;
          p->params.push_back(par);
          if (!isOp(Op::Comma)) break;
          next();
        }
      }
      if (!isOp(Op::RParen)) raise(errExpectedRParen);
      next();
    }
    endOfStatement();
    for (;;) {
      skipNewlines();
      if (at(Tok::End)) raise(errExpectedEnd);
      if (isKw(Kw::End)) {
        next();
        if (p->isFunction && !isKw(Kw::Function)) raise(errExpectedFunction);
        if (!p->isFunction && !isKw(Kw::Sub)) raise(errExpectedSub);
        next();
        break;
      }
      if (isKw(Kw::Dim)) {
        next();
        std::vector<QString> names;
        declarations(names);
        for (const QString& name : names) {
          const QString key = nameKey(name);
          if (vars.contains(key) || key == p->key) raise(errNameRedefined);
          vars.insert(key, int(p->params.size() + p->locals.size()));
          p->locals.push_back(name);
        }
      } else {
        p->body.push_back(statement());
      }
      endOfStatement();
    }
    // Bind the procedure's own names now; collect the names it reads from outside.
    for (Stmt& s : p->body) {
      bindName(s.target, *p, vars, s.kind == Stmt::Kind::Assign && !s.indexed);
      for (ExprPtr& e : s.args) bindExpr(*e, *p, vars, block.readNames);
      if (s.value) bindExpr(*s.value, *p, vars, block.readNames);
      if (s.kind == Stmt::Kind::Call && s.target.local < 0) block.readNames.insert(s.target.key);
    }
    return p;
  }

  static void bindName(NameRef& n, const Procedure& p, const QHash<QString, int>& vars, bool bare) {
    auto it = vars.constFind(n.key);
    if (it != vars.cend()) n.local = *it;
    else if (bare && p.isFunction && n.key == p.key) n.self = true;
  }

  static void bindExpr(Expr& e, const Procedure& p, const QHash<QString, int>& vars, QSet<QString>& reads) {
    switch (e.kind) {
      case Expr::Kind::Literal: case Expr::Kind::Missing: break;
      case Expr::Kind::Name:
      case Expr::Kind::Call:
        bindName(e.name, p, vars, e.kind == Expr::Kind::Name);
        if (e.name.local < 0 && !e.name.self) reads.insert(e.name.key);
        for (ExprPtr& a : e.args) bindExpr(*a, p, vars, reads);
        break;
      case Expr::Kind::Unary: bindExpr(*e.a, p, vars, reads); break;
      case Expr::Kind::Binary:
        for (ExprPtr& a : e.args) bindExpr(*a, p, vars, reads);
        break;
      case Expr::Kind::Index:
        bindExpr(*e.a, p, vars, reads);
        for (ExprPtr& a : e.args) bindExpr(*a, p, vars, reads);
        break;
    }
  }

  // ---- statements ----
  Stmt statement() {
    Stmt s;
    if (isKw(Kw::Call)) {
      next();
      s.kind = Stmt::Kind::Call;
      s.target = identifier();
      if (isOp(Op::LParen)) s.args = bracketedArgs();
      return s;
    }
    if (!at(Tok::Ident)) raise(at(Tok::Keyword) ? errSyntax : errExpectedStatement);
    s.target = identifier();
    if (isOp(Op::Eq)) {
      next();
      s.value = expression(1);
      return s;
    }
    if (isOp(Op::LParen)) {
      const size_t open = pos_;
      std::vector<ExprPtr> list = bracketedArgs();
      if (isOp(Op::Eq)) {
        next();
        s.args = std::move(list);
        s.indexed = true;
        s.value = expression(1);
        return s;
      }
      s.kind = Stmt::Kind::Call;
      if (atStatementEnd()) {
        // Without Call the brackets belong to the argument, which therefore goes by value.
        if (list.size() > 1) raise(errParensOnSubCall);
        for (ExprPtr& a : list) a->paren = true;
        s.args = std::move(list);
        return s;
      }
      pos_ = open;  // "Pon (A) + 1, B": the brackets open the first argument
    }
    s.kind = Stmt::Kind::Call;
    if (!atStatementEnd()) {
      for (;;) {
        s.args.push_back(expression(1));
        if (!isOp(Op::Comma)) break;
        next();
      }
    }
    return s;
  }

  std::vector<ExprPtr> bracketedArgs() {
    std::vector<ExprPtr> args;
    next();  // "("
    if (isOp(Op::RParen)) {
      next();
      return args;
    }
    Nest guard(*this);
    for (;;) {
      args.push_back(isOp(Op::Comma) || isOp(Op::RParen) ? make(Expr::Kind::Missing) : expression(1));
      if (isOp(Op::Comma)) {
        next();
        continue;
      }
      if (!isOp(Op::RParen)) raise(errExpectedRParen);
      next();
      return args;
    }
  }

  // ---- expressions (precedence climbing) ----
  struct Nest {
    explicit Nest(Parser& p) : p_(p) {
      if (++p_.nesting_ > kMaxNesting) raise(errOutOfStack);
    }
    ~Nest() { --p_.nesting_; }
    Parser& p_;
  };

  static ExprPtr make(Expr::Kind k) {
    auto e = std::make_unique<Expr>();
    e->kind = k;
    return e;
  }

  static int deepest(const std::vector<ExprPtr>& list) {
    int below = 0;
    for (const ExprPtr& x : list) below = std::max(below, x->depth);
    return below;
  }

  static void setDepth(Expr& e, int below) {
    e.depth = below + 1;
    if (e.depth > kMaxTreeDepth) raise(errOutOfStack);
  }

  ExprPtr expression(int minPrec) {
    ExprPtr lhs = operand(minPrec);
    int chainPrec = 0;  // the level of the chain built here so far
    for (;;) {
      BinOp op;
      const int prec = precedence(cur(), &op);
      if (prec == 0 || prec < minPrec) return lhs;
      next();
      // Left-associative: the right side binds only tighter operators, so the operators met here
      // never bind tighter than the one before. After "^" a sign may still come (2^-1).
      ExprPtr rhs = expression(prec + 1);
      if (prec != chainPrec) {
        ExprPtr e = make(Expr::Kind::Binary);
        setDepth(*e, lhs->depth);
        e->args.push_back(std::move(lhs));
        lhs = std::move(e);
        chainPrec = prec;
      }
      setDepth(*lhs, std::max(lhs->depth - 1, rhs->depth));
      lhs->ops.push_back(op);
      lhs->args.push_back(std::move(rhs));
    }
  }

  ExprPtr operand(int minPrec) {
    if (isKw(Kw::Not)) {
      next();
      return unary(UnOp::Not, std::max(minPrec, kNotPrec + 1));
    }
    if (isOp(Op::Minus) || isOp(Op::Plus)) {
      const UnOp op = isOp(Op::Minus) ? UnOp::Neg : UnOp::Plus;
      next();
      // "-2^2" is -(2^2); after "^" the sign takes a single operand: 2^-1^2 is (2^-1)^2.
      return unary(op, std::max(minPrec, kPowPrec));
    }
    return primary();
  }

  ExprPtr unary(UnOp op, int operandPrec) {
    Nest guard(*this);
    ExprPtr inner = expression(operandPrec);
    ExprPtr e = make(Expr::Kind::Unary);
    e->un = op;
    setDepth(*e, inner->depth);
    e->a = std::move(inner);
    return e;
  }

  ExprPtr primary() {
    const Token& t = cur();
    switch (t.kind) {
      case Tok::Number:
      case Tok::String: {
        ExprPtr e = make(Expr::Kind::Literal);
        e->literal = t.value;
        next();
        return e;
      }
      case Tok::Keyword: {
        ExprPtr e = make(Expr::Kind::Literal);
        switch (t.kw) {
          case Kw::True: e->literal = vb::Variant(true); break;
          case Kw::False: e->literal = vb::Variant(false); break;
          case Kw::Empty: break;
          case Kw::Null: e->literal = vb::Variant::null(); break;
          default: raise(errExpectedExpression);
        }
        next();
        return e;
      }
      case Tok::Ident: {
        NameRef n = identifier();
        if (isOp(Op::LParen)) {
          ExprPtr e = make(Expr::Kind::Call);
          e->args = bracketedArgs();
          setDepth(*e, deepest(e->args));
          e->name = std::move(n);
          // What the call gives may be indexed at once, as often as it is an array of arrays.
          while (isOp(Op::LParen)) {
            ExprPtr ix = make(Expr::Kind::Index);
            ix->args = bracketedArgs();
            setDepth(*ix, std::max(e->depth, deepest(ix->args)));
            ix->name.text = e->name.text;
            ix->a = std::move(e);
            e = std::move(ix);
          }
          return e;
        }
        ExprPtr e = make(Expr::Kind::Name);
        e->name = std::move(n);
        return e;
      }
      case Tok::Op:
        if (t.op == Op::LParen) {
          next();
          Nest guard(*this);
          ExprPtr inner = expression(1);
          if (!isOp(Op::RParen)) raise(errExpectedRParen);
          next();
          inner->paren = true;
          return inner;
        }
        raise(errExpectedExpression);
      default:
        raise(errExpectedExpression);
    }
  }

  std::vector<Token> toks_;
  size_t pos_ = 0;
  int nesting_ = 0;
};

}  // namespace

std::unique_ptr<Block> parseBlock(const QString& code, Held* parsed) { return Parser(code, parsed).block(); }

ExprPtr parseExpression(const QString& code) { return Parser(code, nullptr).wholeExpression(); }

}  // namespace script
