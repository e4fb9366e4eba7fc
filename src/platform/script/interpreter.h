#pragma once
// The engine's inner workings: modules, their variables and procedures, and the tree-walking
// evaluation. Hosts use scriptcontrol.h.
#include "ast.h"
#include "bounds.h"
#include "builtins.h"

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
  Held code;                                         // what the accepted blocks hold, parsed

  void clear();
};

struct Frame;

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
  // From here on one count of work, started now, bounds every call together.
  void shareWork();
  void setMemoryLimit(uint64_t bytes) { memory_->setLimit(bytes); }
  // What the engine's texts and arrays hold now.
  uint64_t memoryHeld() const { return memory_->held(); }
  // Counts work done: error 18 past the bound.
  void charge(uint64_t steps) { work_.charge(steps); }

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
  Element element(Value& array, const QString& name, const std::vector<ExprPtr>& args, Frame& f);
  Value index(Value& array, const QString& name, const std::vector<ExprPtr>& args, Frame& f);
  Value stored(const Value& v);
  Value kept(const Value& v);
  Value binaryChain(const Expr& e, Frame& f);
  void storeNonlocal(Variable& v, Value value);
  void touchedNonlocal(const QString& key);
  void touchedThroughParameter();
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
  Work work_;
  bool sharedWork_ = false;
  std::shared_ptr<Memory> memory_ = std::make_shared<Memory>();
  BuiltinState builtinState_;
};

}  // namespace script
