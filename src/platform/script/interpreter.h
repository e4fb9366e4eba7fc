#pragma once
// The engine's inner workings: modules, their variables and procedures, and the tree-walking
// evaluation. Hosts use scriptcontrol.h.
#include "ast.h"
#include "builtins.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

namespace script {

struct Variable {
  QString name;
  QString key;
  Value value;
};

struct ModuleData {
  QString name;
  bool explicitNames = false;                        // Option Explicit in any block of the module
  std::deque<Variable> store;                        // stable addresses for the name caches
  QHash<QString, Variable*> vars;
  QHash<QString, std::shared_ptr<Procedure>> procs;
  QStringList blocks;                                // accepted code, in order
  QHash<QString, std::shared_ptr<Block>> statementCache;
  QHash<QString, std::shared_ptr<Expr>> evalCache;

  void clear();
};

struct Frame;

// The bound on the work of one call into the engine (addCode, run, executeStatement, eval):
// evaluation steps (a node of an expression is one, a procedure call or a long text costs more),
// and the time on the clock as a safety net. Past either the call ends with error 18. The default
// step count is about three seconds of work on a current machine; no footer comes near it.
struct WorkLimit {
  uint64_t steps = 150'000'000;
  int milliseconds = 10'000;
};

class Runtime {
public:
  Runtime();
  ~Runtime();

  ModuleData& global() { return *modules_.front(); }
  int moduleCount() const { return int(modules_.size()); }
  ModuleData& moduleAt(int index) { return *modules_[size_t(index)]; }
  ModuleData* findModule(const QString& name);
  ModuleData& addModule(const QString& name);
  void reset();

  void addCode(ModuleData& m, const QString& code);
  Value run(ModuleData& m, const QString& procedure, std::vector<Value>& args);
  void executeStatement(ModuleData& m, const QString& code);
  vb::Variant eval(ModuleData& m, const QString& expression);

  // Calls of procedures that actually ran (a remembered result of an argument-less function
  // is not a run).
  uint64_t callCount() const { return calls_; }

  void setWorkLimit(WorkLimit limit) { limit_ = limit; }
  WorkLimit workLimit() const { return limit_; }
  // Counts work done: error 18 past the bound.
  void charge(uint64_t steps) {
    steps_ += steps;
    if (steps_ >= nextCheck_) checkWork();
  }

  // ---- used by the evaluation ----
  Value evalExpr(const Expr& e, Frame& f);
  void execStatements(const std::vector<Stmt>& body, Frame& f);

private:
  friend struct EntryGuard;
  void registerBlock(ModuleData& m, Block& b, const QString& code);
  void resolve(const NameRef& n, ModuleData& m);
  Value readName(const NameRef& n, Frame& f);
  Value callExpr(const Expr& e, Frame& f);
  void execAssign(const Stmt& s, Frame& f);
  void execCall(const Stmt& s, Frame& f);
  Value callProcedure(Procedure& p, const std::vector<ExprPtr>& args, Frame& caller);
  Value invoke(Procedure& p, Value** argRefs, const char* nonlocalArgs, int argc);
  Value callBuiltin(const Builtin& b, const std::vector<ExprPtr>& args, Frame& f);
  struct Element {
    ArrayData* array;
    size_t position;
  };
  Element element(Value& array, const NameRef& n, const std::vector<ExprPtr>& args, Frame& f);
  Value index(Value& array, const NameRef& n, const std::vector<ExprPtr>& args, Frame& f);
  Value stored(const Value& v);
  void startWork();
  void checkWork();
  void storeNonlocal(Variable& v, Value value);
  void touchedNonlocal(const QString& key);
  Variable& createVariable(ModuleData& m, const QString& name);
  void checkStack();
  void codeChanged();

  std::vector<std::unique_ptr<ModuleData>> modules_;
  uint64_t epoch_ = 1;       // declarations: name lookups cached under an older epoch are redone
  uint64_t stateGen_ = 1;    // what argument-less functions can read: remembered results expire
  uint64_t nonlocalStores_ = 0;
  QSet<QString> readNames_;  // non-local names that some procedure reads
  uint64_t calls_ = 0;
  int depth_ = 0;
  int entries_ = 0;
  uintptr_t stackLimit_ = 0;
  WorkLimit limit_;
  uint64_t steps_ = 0;
  uint64_t nextCheck_ = 0;
  QElapsedTimer clock_;
  BuiltinState builtinState_;
};

}  // namespace script
