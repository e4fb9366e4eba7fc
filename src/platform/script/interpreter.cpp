#include "interpreter.h"

#include "builtins.h"
#include "errors.h"
#include "lexer.h"
#include "operators.h"
#include "parser.h"

#include <pthread.h>

#include <algorithm>
#include <new>
#include <optional>

namespace script {

namespace {

constexpr int kMaxCallDepth = 1000;
constexpr size_t kMaxStackBytes = size_t(2) << 20;  // for one outermost call into the engine
constexpr int kMaxCachedTexts = 512;
// Work that costs more than an expression node: a procedure call (its frame), a built-in's call.
constexpr uint64_t kCallSteps = 8;
constexpr uint64_t kBuiltinSteps = 4;
// What one slot of a frame holds beyond the value in it: the value's place, its address, its flag.
constexpr uint64_t kSlotBytes = sizeof(Value) + sizeof(Value*) + sizeof(char);

uintptr_t currentFrame() { return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)); }

// The lowest address of this thread's stack, looked up once per thread (the look-up reads the
// process's memory map); 0 when unknown.
uintptr_t stackBottom() {
  thread_local const uintptr_t bottom = [] {
    uintptr_t b = 0;
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      void* low = nullptr;
      size_t size = 0;
      if (pthread_attr_getstack(&attr, &low, &size) == 0) b = reinterpret_cast<uintptr_t>(low);
      pthread_attr_destroy(&attr);
    }
    return b;
  }();
  return bottom;
}

// The lowest stack address the engine may reach from here: a share of what the thread has left.
uintptr_t stackLimitFromHere() {
  const uintptr_t here = currentFrame();
  size_t room = kMaxStackBytes;
  const uintptr_t bottom = stackBottom();
  if (bottom && here > bottom) room = std::min(room, (here - bottom) / 2);
  return here - room;
}

const vb::Variant& scalarOf(const Value& v) {
  if (v.isArray()) raise(errTypeMismatch);
  return v.variant();
}

uint64_t textSize(const vb::Variant& v) { return v.isString() ? uint64_t(v.rawString().size()) : 0; }

}  // namespace

// One call's variables. Module-level code runs in a frame without procedure.
struct Frame {
  ModuleData* module = nullptr;
  const Procedure* proc = nullptr;
  Value** cells = nullptr;
  const char* nonlocal = nullptr;     // per slot: bound by reference to something outside the call
  Value* ret = nullptr;
  std::unique_ptr<QHash<QString, Value>> implicit;  // names assigned without declaration
};

// Every entry from the host: sets the stack budget, the work bound and the memory that arrays are
// counted to on the outermost one, and turns running out of memory into an error. Leaving the
// outermost one gives back the long texts no value holds any more.
struct EntryGuard {
  explicit EntryGuard(Runtime& r) : r_(r), outermost_(r_.entries_++ == 0) {
    if (outermost_) {
      r_.stackLimit_ = stackLimitFromHere();
      r_.depth_ = 0;
      if (r_.sharedWork_) r_.work_.resume();
      else r_.work_.start(r_.limit_);
      scope_.emplace(r_.memory_);
    }
  }
  ~EntryGuard() {
    --r_.entries_;
    if (outermost_) {
      r_.work_.pause();
      r_.memory_->sweep();
    }
  }
  Runtime& r_;
  const bool outermost_;
  std::optional<Memory::Scope> scope_;
};

template <typename F>
auto guarded(Runtime& r, F f) {
  EntryGuard g(r);
  try {
    return f();
  } catch (const std::bad_alloc&) {
    throw vb::Error(7);
  }
}

void ModuleData::clear() {
  code.release();
  explicitNames = false;
  vars.clear();
  store.clear();
  procs.clear();
  blocks.clear();
  statementCache.clear();
  evalCache.clear();
}

Runtime::Runtime() { addModule(QStringLiteral("Global")); }

Runtime::~Runtime() {
  modules_.clear();
  memory_->clearTexts();  // arrays the host keeps must not keep the texts alive through it
}

ModuleData* Runtime::findModule(const QString& name) {
  const QString key = nameKey(name);
  for (auto& m : modules_)
    if (nameKey(m->name) == key) return m.get();
  return nullptr;
}

ModuleData& Runtime::addModule(const QString& name) {
  if (findModule(name)) raise(errKeyInUse);
  auto m = std::make_unique<ModuleData>();
  m->name = name;
  m->code = Held(memory_.get());
  modules_.push_back(std::move(m));
  codeChanged();
  return *modules_.back();
}

void Runtime::reset() {
  modules_.resize(1);
  global().clear();
  readNames_.clear();
  codeChanged();
  memory_->sweep();
}

// What an assignment or a by-value argument keeps: an array that something else holds is copied,
// which is work; a new one (a function's result) is kept as it is.
Value Runtime::stored(const Value& v) {
  if (!v.isShared()) return v;
  charge(uint64_t(v.cells()));
  return v.copy();
}

// What a variable or a by-value argument keeps: as stored, its text counted however short.
Value Runtime::kept(const Value& v) {
  Value r = stored(v);
  memory_->keep(r);
  return r;
}

void Runtime::shareWork() {
  work_.start(limit_);
  work_.pause();
  sharedWork_ = true;
}

void Runtime::codeChanged() {
  ++epoch_;
  ++stateGen_;
}

// ---- blocks ----

void Runtime::addCode(ModuleData& m, const QString& code) {
  guarded(*this, [&] {
    // The module keeps the text and its parsed form: both count while it does. (A host's own
    // statements and expressions are not counted: only a block of code comes from a file.)
    Held parsed(memory_.get(), 2 * uint64_t(code.size()));
    std::unique_ptr<Block> b = parseBlock(code, &parsed);
    registerBlock(m, *b, code);
    m.code.merge(std::move(parsed));
    if (!b->statements.empty()) {
      Frame f;
      f.module = &m;
      execStatements(b->statements, f);
    }
    return 0;
  });
}

void Runtime::registerBlock(ModuleData& m, Block& b, const QString& code) {
  // Check every name first, so that a rejected block adds nothing.
  QSet<QString> seen;
  for (const QString& v : b.variables) {
    const QString key = nameKey(v);
    if (seen.contains(key) || m.vars.contains(key) || m.procs.contains(key)) raise(errNameRedefined);
    seen.insert(key);
  }
  QSet<QString> procs;
  for (const auto& p : b.procedures) {
    if (procs.contains(p->key) || seen.contains(p->key) || m.vars.contains(p->key)) raise(errNameRedefined);
    procs.insert(p->key);
  }
  if (b.optionExplicit) m.explicitNames = true;
  for (const QString& v : b.variables) createVariable(m, v);
  for (const auto& p : b.procedures) {
    p->module = &m;
    m.procs.insert(p->key, p);
  }
  readNames_.unite(b.readNames);
  m.blocks.append(code);
  codeChanged();
}

Variable& Runtime::createVariable(ModuleData& m, const QString& name) {
  Variable& v = m.store.emplace_back();
  v.name = name;
  v.key = nameKey(name);
  m.vars.insert(v.key, &v);
  ++epoch_;
  touchedNonlocal(v.key);
  return v;
}

void Runtime::executeStatement(ModuleData& m, const QString& code) {
  guarded(*this, [&] {
    std::shared_ptr<Block> b = m.statementCache.value(code);
    if (!b) {
      b = parseBlock(code);
      if (b->optionExplicit || !b->variables.empty() || !b->procedures.empty()) {
        registerBlock(m, *b, code);
      } else {
        if (m.statementCache.size() >= kMaxCachedTexts) m.statementCache.clear();
        m.statementCache.insert(code, b);
      }
    }
    if (!b->statements.empty()) {
      Frame f;
      f.module = &m;
      execStatements(b->statements, f);
    }
    return 0;
  });
}

vb::Variant Runtime::eval(ModuleData& m, const QString& expression) {
  return guarded(*this, [&] {
    std::shared_ptr<Expr> e = m.evalCache.value(expression);
    if (!e) {
      e = parseExpression(expression);
      if (m.evalCache.size() >= kMaxCachedTexts) m.evalCache.clear();
      m.evalCache.insert(expression, e);
    }
    Frame f;
    f.module = &m;
    return scalarOf(evalExpr(*e, f));
  });
}

Value Runtime::run(ModuleData& m, const QString& procedure, std::vector<Value>& args) {
  return guarded(*this, [&] {
    std::shared_ptr<Procedure> p = m.procs.value(nameKey(procedure));
    if (!p) raise(errProcNotFound, procedure);
    std::vector<Value*> refs;
    refs.reserve(args.size());
    for (Value& a : args) refs.push_back(&a);
    const std::vector<char> nonlocal(args.size(), 1);
    return invoke(*p, refs.data(), nonlocal.data(), int(args.size()));
  });
}

// ---- names ----

void Runtime::resolve(const NameRef& n, ModuleData& m) {
  NameRef::Cache& c = n.cache;
  c = NameRef::Cache{};
  c.epoch = epoch_;
  for (ModuleData* scope : {&m, &global()}) {
    if (Variable* v = scope->vars.value(n.key)) {
      c.kind = NameRef::Kind::Var;
      c.var = v;
      return;
    }
    auto p = scope->procs.constFind(n.key);
    if (p != scope->procs.cend()) {
      c.kind = NameRef::Kind::Proc;
      c.proc = p->get();
      return;
    }
    if (scope == &global()) break;
  }
  if (const Builtin* b = findBuiltin(n.key)) {
    c.kind = NameRef::Kind::Builtin;
    c.builtin = b;
  }
}

Value Runtime::readName(const NameRef& n, Frame& f) {
  if (n.local >= 0) return *f.cells[n.local];
  if (n.self) return *f.ret;
  if (f.implicit) {
    auto it = f.implicit->constFind(n.key);
    if (it != f.implicit->cend()) return *it;
  }
  if (n.cache.epoch != epoch_) resolve(n, *f.module);
  switch (n.cache.kind) {
    case NameRef::Kind::Var: return n.cache.var->value;
    case NameRef::Kind::Proc: {
      static const std::vector<ExprPtr> none;
      return callProcedure(*n.cache.proc, none, f);
    }
    case NameRef::Kind::Builtin: {
      static const std::vector<ExprPtr> none;
      return callBuiltin(*n.cache.builtin, none, f);
    }
    case NameRef::Kind::None: break;
  }
  if (f.module->explicitNames) raise(errUndefined, n.text);
  return Value();
}

// ---- expressions ----

void Runtime::checkStack() {
  if (currentFrame() < stackLimit_) raise(errOutOfStack);
}

Value Runtime::evalExpr(const Expr& e, Frame& f) {
  work_.charge(1);
  switch (e.kind) {
    case Expr::Kind::Literal: return Value(e.literal);
    case Expr::Kind::Name: return readName(e.name, f);
    case Expr::Kind::Call: return callExpr(e, f);
    case Expr::Kind::Unary: {
      checkStack();
      const Value a = evalExpr(*e.a, f);
      const vb::Variant& x = scalarOf(a);
      work_.chargeChars(textSize(x));  // a text is read as a number
      Value r = unaryOp(e.un, x);
      memory_->hold(r);
      return r;
    }
    case Expr::Kind::Missing: raise(errInvalidCall);
    case Expr::Kind::Binary: return binaryChain(e, f);
    case Expr::Kind::Index: {
      checkStack();
      Value array = evalExpr(*e.a, f);
      return index(array, e.name.text, e.args, f);
    }
  }
  return Value();
}

// Left to right, one operator at a time. Texts cost their characters whatever the operator does
// with them: joined, compared, or read as numbers.
Value Runtime::binaryChain(const Expr& e, Frame& f) {
  checkStack();
  Value r = evalExpr(*e.args[0], f);
  for (size_t i = 0; i < e.ops.size(); ++i) {
    if (i) work_.charge(1);
    const Value b = evalExpr(*e.args[i + 1], f);
    const vb::Variant& x = scalarOf(r);
    const vb::Variant& y = scalarOf(b);
    work_.chargeChars(textSize(x) + textSize(y));
    r = Value(binaryOp(e.ops[i], x, y));
    memory_->hold(r);
  }
  return r;
}

Value Runtime::callExpr(const Expr& e, Frame& f) {
  checkStack();
  const NameRef& n = e.name;
  if (n.local >= 0) return index(*f.cells[n.local], n.text, e.args, f);
  if (f.implicit) {
    auto it = f.implicit->find(n.key);
    if (it != f.implicit->end()) return index(*it, n.text, e.args, f);
  }
  if (n.cache.epoch != epoch_) resolve(n, *f.module);
  switch (n.cache.kind) {
    case NameRef::Kind::Var: return index(n.cache.var->value, n.text, e.args, f);
    case NameRef::Kind::Proc: return callProcedure(*n.cache.proc, e.args, f);
    case NameRef::Kind::Builtin: return callBuiltin(*n.cache.builtin, e.args, f);
    case NameRef::Kind::None: break;
  }
  raise(errTypeMismatch, n.text);
}

// The index is evaluated before the array is looked at: evaluating it may run a function that
// replaces the array.
Runtime::Element Runtime::element(Value& array, const QString& name, const std::vector<ExprPtr>& args, Frame& f) {
  if (args.size() != 1) raise(array.isArray() ? errSubscript : errTypeMismatch, name);
  const int32_t i = scalarOf(evalExpr(*args[0], f)).toLong();
  ArrayData* a = array.arrayData();
  if (!a) raise(errTypeMismatch, name);
  const int64_t pos = int64_t(i) - a->lower;
  if (pos < 0 || pos >= int64_t(a->items.size())) raise(errSubscript);
  return {a, size_t(pos)};
}

Value Runtime::index(Value& array, const QString& name, const std::vector<ExprPtr>& args, Frame& f) {
  const Element e = element(array, name, args, f);
  return e.array->items[e.position];
}

Value Runtime::callBuiltin(const Builtin& b, const std::vector<ExprPtr>& args, Frame& f) {
  if (int(args.size()) < b.minArgs || int(args.size()) > b.maxArgs) raise(errWrongArgCount, QString::fromLatin1(b.name));
  if (b.constant) return Value(*b.constant);
  std::vector<Value> values;
  values.reserve(args.size());
  uint64_t chars = 0;  // of the texts given, which the built-in may read through
  uint32_t missing = 0;
  for (const ExprPtr& a : args) {
    if (a->kind == Expr::Kind::Missing) {
      // Only an optional argument of a fixed list may be left out.
      const size_t at = values.size();
      if (at >= 32 || int(at) < b.minArgs || b.maxArgs > 32) raise(errWrongArgCount, QString::fromLatin1(b.name));
      missing |= 1u << at;
      values.emplace_back();
      continue;
    }
    values.push_back(evalExpr(*a, f));
    const vb::Variant& v = values.back().variant();
    if (v.isString()) chars += uint64_t(v.rawString().size());
  }
  work_.charge(kBuiltinSteps);
  if (!b.partial) work_.chargeChars(chars);
  if (b.isVolatile) ++stateGen_;  // what reads it has no value to remember
  // What the built-in does beyond reading its texts (the cells of an array, ...) it charges itself.
  Value r = b.fn(BuiltinArgs{values, builtinState_, work_, missing});
  if (r.isArray()) work_.charge(uint64_t(r.cells()));
  else work_.chargeChars(textSize(r.variant()));
  memory_->hold(r);
  return r;
}

Value Runtime::callProcedure(Procedure& p, const std::vector<ExprPtr>& args, Frame& caller) {
  const size_t n = args.size();
  if (n != p.params.size()) raise(errWrongArgCount, p.name);
  const Held argBytes(memory_.get(), n * kSlotBytes);
  // Arguments by reference bind to the caller's variable when they name one.
  std::vector<Value> temps(n);
  std::vector<Value*> refs(n);
  std::vector<char> nonlocal(n, 0);
  for (size_t i = 0; i < n; ++i) {
    const Expr& a = *args[i];
    if (a.kind == Expr::Kind::Missing) raise(errWrongArgCount, p.name);
    refs[i] = &temps[i];
    // An argument in its own brackets, "(X)", is an expression: it goes by value.
    if (!p.params[i].byVal && a.kind == Expr::Kind::Name && !a.paren) {
      const NameRef& an = a.name;
      if (an.local >= 0) {
        refs[i] = caller.cells[an.local];
        nonlocal[i] = caller.nonlocal[an.local];
        continue;
      }
      if (an.self) {
        refs[i] = caller.ret;
        continue;
      }
      if (caller.implicit && caller.implicit->contains(an.key)) {
        refs[i] = &(*caller.implicit)[an.key];
        continue;
      }
      if (an.cache.epoch != epoch_) resolve(an, *caller.module);
      if (an.cache.kind == NameRef::Kind::Var) {
        refs[i] = &an.cache.var->value;
        nonlocal[i] = 1;
        continue;
      }
    }
    temps[i] = kept(evalExpr(a, caller));
  }
  return invoke(p, refs.data(), nonlocal.data(), int(n));
}

Value Runtime::invoke(Procedure& p, Value** argRefs, const char* nonlocalArgs, int argc) {
  if (argc != int(p.params.size())) raise(errWrongArgCount, p.name);
  const bool remembered = p.isFunction && argc == 0;
  if (remembered && p.memoValid && p.memoGen == stateGen_) {
    charge(uint64_t(p.memo.cells()));
    return p.memo.copy();
  }
  if (depth_ >= kMaxCallDepth) raise(errOutOfStack);
  checkStack();
  struct Depth {
    explicit Depth(int& d) : d_(d) { ++d_; }
    ~Depth() { --d_; }
    int& d_;
  } depth(depth_);
  ++calls_;
  const size_t count = static_cast<size_t>(p.slotCount());
  // Its slots are made and cleared as an array's cells are, and held while it runs.
  charge(kCallSteps + count);
  const Held frameBytes(memory_.get(), count * kSlotBytes);

  const uint64_t gen = stateGen_, stores = nonlocalStores_;
  std::vector<Value> own(count);
  std::vector<Value*> refs(count);
  std::vector<char> nonlocal(count, 0);
  for (int i = 0; i < int(count); ++i) {
    if (i < argc) {
      refs[size_t(i)] = argRefs[i];
      nonlocal[size_t(i)] = nonlocalArgs[i];
    } else {
      refs[size_t(i)] = &own[size_t(i)];
    }
  }
  Value ret;
  Frame f;
  f.module = p.module;
  f.proc = &p;
  f.cells = refs.data();
  f.nonlocal = nonlocal.data();
  f.ret = &ret;
  execStatements(p.body, f);
  // A function that read nothing that changed and changed nothing outside itself gives the same
  // value next time: remember it.
  if (remembered && stateGen_ == gen && nonlocalStores_ == stores) {
    p.memo = ret.copy();
    p.memoGen = gen;
    p.memoValid = true;
  }
  return ret;
}

// ---- statements ----

void Runtime::execStatements(const std::vector<Stmt>& body, Frame& f) {
  for (const Stmt& s : body) {
    if (s.kind == Stmt::Kind::Assign) execAssign(s, f);
    else execCall(s, f);
  }
}

void Runtime::touchedNonlocal(const QString& key) {
  ++nonlocalStores_;
  if (readNames_.contains(key)) ++stateGen_;
}

// A parameter bound to a variable we cannot name here: any remembered value may have read it.
void Runtime::touchedThroughParameter() {
  ++nonlocalStores_;
  ++stateGen_;
}

void Runtime::storeNonlocal(Variable& v, Value value) {
  v.value = std::move(value);
  touchedNonlocal(v.key);
}

void Runtime::execAssign(const Stmt& s, Frame& f) {
  const NameRef& n = s.target;
  // An element is counted with its array.
  Value value = s.indexed ? stored(evalExpr(*s.value, f)) : kept(evalExpr(*s.value, f));
  if (s.indexed) {
    Value* arr = nullptr;
    bool outside = false;  // a variable of the module, by its own name
    bool bound = false;    // a parameter bound to something outside the call
    if (n.local >= 0) {
      arr = f.cells[n.local];
      bound = f.nonlocal[n.local];
    } else if (f.implicit && f.implicit->contains(n.key)) {
      arr = &(*f.implicit)[n.key];
    } else {
      if (n.cache.epoch != epoch_) resolve(n, *f.module);
      if (n.cache.kind == NameRef::Kind::Var) {
        arr = &n.cache.var->value;
        outside = true;
      } else if (n.cache.kind == NameRef::Kind::None && f.module->explicitNames) {
        raise(errUndefined, n.text);
      }
    }
    if (!arr) raise(errTypeMismatch, n.text);
    const Element e = element(*arr, n.text, s.args, f);
    e.array->set(e.position, std::move(value));
    if (outside) touchedNonlocal(n.key);
    if (bound) touchedThroughParameter();
    return;
  }
  if (n.local >= 0) {
    *f.cells[n.local] = std::move(value);
    if (f.nonlocal[n.local]) touchedThroughParameter();
    return;
  }
  if (n.self) {
    *f.ret = std::move(value);
    return;
  }
  if (f.implicit) {
    auto it = f.implicit->find(n.key);
    if (it != f.implicit->end()) {
      *it = std::move(value);
      return;
    }
  }
  if (n.cache.epoch != epoch_) resolve(n, *f.module);
  switch (n.cache.kind) {
    case NameRef::Kind::Var: storeNonlocal(*n.cache.var, std::move(value)); return;
    case NameRef::Kind::Proc:
    case NameRef::Kind::Builtin: raise(errIllegalAssignment, n.text);
    case NameRef::Kind::None: break;
  }
  if (f.module->explicitNames) raise(errUndefined, n.text);
  if (f.proc) {
    if (!f.implicit) f.implicit = std::make_unique<QHash<QString, Value>>();
    f.implicit->insert(n.key, std::move(value));
  } else {
    storeNonlocal(createVariable(*f.module, n.text), std::move(value));
  }
}

void Runtime::execCall(const Stmt& s, Frame& f) {
  const NameRef& n = s.target;
  if (n.local < 0 && !(f.implicit && f.implicit->contains(n.key))) {
    if (n.cache.epoch != epoch_) resolve(n, *f.module);
    switch (n.cache.kind) {
      case NameRef::Kind::Proc: callProcedure(*n.cache.proc, s.args, f); return;
      case NameRef::Kind::Builtin: callBuiltin(*n.cache.builtin, s.args, f); return;
      default: break;
    }
  }
  raise(errTypeMismatch, n.text);
}

}  // namespace script
