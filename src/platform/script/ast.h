#pragma once
// The parsed form of a code block.
#include "value.h"

#include <QSet>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace script {

struct Procedure;
struct Variable;
struct Builtin;
struct ModuleData;

// A name as written in the code. Procedure locals are resolved when the procedure is parsed;
// everything else is looked up at run time, and the lookup is kept until declarations change.
struct NameRef {
  QString text;        // as written, for messages
  QString key;         // lower case
  int local = -1;      // slot of a parameter or Dim'd local of the enclosing procedure
  bool self = false;   // the enclosing function's own name: its return value

  enum class Kind : unsigned char { None, Var, Proc, Builtin };
  struct Cache {
    uint64_t epoch = 0;  // 0: never resolved
    Kind kind = Kind::None;
    Variable* var = nullptr;
    Procedure* proc = nullptr;
    const Builtin* builtin = nullptr;
  };
  mutable Cache cache;
};

enum class BinOp : unsigned char {
  Imp, Eqv, Xor, Or, And, Eq, Ne, Lt, Gt, Le, Ge, Cat, Add, Sub, Mod, IntDiv, Mul, Div, Pow
};
enum class UnOp : unsigned char { Neg, Plus, Not };

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
  // Binary: operators of one level in a row, a op1 b op2 c ..., kept as one flat chain evaluated
  // left to right, so that a long chain is no deeper than one operator.
  // Index: the array a call gives, indexed where it stands: Split(T, ",")(1).
  // Missing: an argument left out between commas, F(1, , 3); a built-in takes its default.
  enum class Kind : unsigned char { Literal, Name, Call, Unary, Binary, Index, Missing };
  Kind kind = Kind::Literal;
  UnOp un = UnOp::Neg;
  int depth = 1;                 // height of the tree below, bounded by the parser
  bool paren = false;            // written in its own brackets: as an argument it goes by value
  vb::Variant literal;           // Literal
  NameRef name;                  // Name (bare), Call (name with a bracketed argument list); Index: the
                                 // called name, for messages
  std::vector<ExprPtr> args;     // Call: arguments; Binary: the operands; Index: the index
  std::vector<BinOp> ops;        // Binary: the operators between the operands
  ExprPtr a;                     // Unary: the operand; Index: the call whose result is indexed
};

struct Stmt {
  enum class Kind : unsigned char { Assign, Call };
  Kind kind = Kind::Assign;
  NameRef target;                // the assigned variable, or the called procedure
  bool indexed = false;          // Assign to an array element: target(args) = value
  std::vector<ExprPtr> args;     // index (Assign) or arguments (Call)
  ExprPtr value;                 // Assign
};

struct Param {
  QString name;
  QString key;
  bool byVal = false;
};

struct Procedure {
  QString name;
  QString key;
  bool isFunction = false;
  std::vector<Param> params;
  std::vector<QString> locals;   // Dim'd names, after the parameters in the frame
  std::vector<Stmt> body;
  ModuleData* module = nullptr;  // set when the block is registered
  int slotCount() const { return int(params.size() + locals.size()); }

  // Result of the last call of an argument-less function, valid while the engine's state
  // generation is unchanged (see Runtime).
  mutable bool memoValid = false;
  mutable uint64_t memoGen = 0;
  mutable Value memo;
};

// One addCode / executeStatement text.
struct Block {
  bool optionExplicit = false;
  std::vector<QString> variables;                    // module-level declarations, as written
  std::vector<std::shared_ptr<Procedure>> procedures;
  std::vector<Stmt> statements;                      // module-level statements, run in order
  QSet<QString> readNames;                           // non-local names read inside procedures
};

}  // namespace script
