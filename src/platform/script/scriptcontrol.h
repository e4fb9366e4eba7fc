#pragma once
// The script engine: our own interpreter for the VBScript subset that the footer's formula
// evaluator generates. The engine holds the module "Global" and the modules added to it; each
// module takes code blocks (addCode) and runs procedures, statements and expressions in its scope.
//
//   script::ScriptControl sc;
//   sc.setLanguage("VBScript");
//   script::Module& m = sc.modules().add("Quarvel");
//   m.addCode("Private X\r\nSub Main(P())\r\nX=P(1)*2\r\nEnd Sub");
//   std::vector<script::Value> args{script::Value::array(1, {vb::Variant(int16_t(21))})};
//   m.run("Main", args);
//   vb::Variant x = m.eval("X");                     // 42
//
// Every operation ends with a result or throws vb::Error with VBScript's number and a Spanish
// description: compile errors 1002-1041 (1006 "Se esperaba ')'", ...), 500 undefined name under
// Option Explicit (which covers the whole module once any block states it), 13 type mismatch,
// 11 division by zero, 6 overflow, 450 wrong number of arguments, 9 subscript, 94 Null, 28 nesting
// or recursion too deep, 18 a call that works past the bound (setWorkLimit, shareWorkBound), 7 values,
// frames and code that hold more memory than the bound (setMemoryLimit), 14 a text and 7 an array past
// their size bounds. Numbers in code and numeric text use "." whatever the locale.
#include "value.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace script {

class Runtime;
struct ModuleData;

class Module {
public:
  QString name() const;

  // Compiles a block as a whole: on a compile error nothing of it is added. Declarations and
  // procedures join the module (a procedure of an existing name replaces it; a name declared twice
  // is error 1041); statements outside procedures then run.
  void addCode(const QString& code);
  // Runs a Sub or Function of this module; arguments are bound by reference. Error 35 when there is
  // no such procedure, 450 when the argument count differs. Returns Empty for a Sub.
  Value run(const QString& procedure, std::vector<Value>& args);
  Value run(const QString& procedure);
  // Runs statements in the module's scope ("=" assigns).
  void executeStatement(const QString& statement);
  // Evaluates one expression in the module's scope ("=" compares). An array result is error 13.
  vb::Variant eval(const QString& expression);

  // The text of every block addCode accepted, in order.
  QStringList codeBlocks() const;

private:
  friend class Modules;
  Module(Runtime& rt, ModuleData& d) : rt_(&rt), d_(&d) {}
  Runtime* rt_;
  ModuleData* d_;
};

class Modules {
public:
  int count() const;
  // Adds an empty module; error 457 when the name (compared without regard to case) exists.
  Module& add(const QString& name);
  // By name (error 5 when missing) or by position from 1 (error 9 out of range).
  Module& item(const QString& name);
  Module& item(int index);
  Module& global() { return item(1); }

private:
  friend class ScriptControl;
  explicit Modules(Runtime& rt) : rt_(rt) {}
  void sync();
  Runtime& rt_;
  std::vector<std::unique_ptr<Module>> list_;
};

class ScriptControl {
public:
  ScriptControl();
  ~ScriptControl();
  ScriptControl(const ScriptControl&) = delete;
  ScriptControl& operator=(const ScriptControl&) = delete;

  QString language() const { return language_; }
  // Only "VBScript" (any case); anything else is error 5.
  void setLanguage(const QString& language);

  // Drops every module but "Global" and empties "Global". References to modules end here.
  void reset();
  Modules& modules() { return *modules_; }

  // The operations of the module "Global".
  void addCode(const QString& code) { modules_->global().addCode(code); }
  void executeStatement(const QString& statement) { modules_->global().executeStatement(statement); }
  vb::Variant eval(const QString& expression) { return modules_->global().eval(expression); }
  Value run(const QString& procedure, std::vector<Value>& args) { return modules_->global().run(procedure, args); }

  // Procedure calls that actually ran since the engine was made; a benchmark and test aid.
  uint64_t callCount() const;

  // The bound on the work of each call into the engine: evaluation steps (one per expression node;
  // calls, built-ins, the cells of arrays and the characters of texts they go through cost more) and
  // milliseconds on the clock. Past either the call ends with error 18 and the engine stays usable.
  // The default lets one call work for a few seconds.
  void setWorkLimit(uint64_t steps, int milliseconds);
  // From here on one count of work, started now, bounds every call into the engine together, instead
  // of each call on its own: a host that makes several calls for one answer (a footer's rows) bounds
  // the answer. The clock counts only the time spent inside the calls. Calling it again starts a new
  // count with the limit then set.
  void shareWorkBound();
  // The bound on what the engine holds together, in bytes (256 MB unless told): its texts and arrays,
  // the frames of the calls under way and the code of its modules. Past it the call ends with error 7
  // "Memoria insuficiente", gives back what it made, and the engine stays usable.
  void setMemoryLimit(uint64_t bytes);
  uint64_t memoryHeld() const;

private:
  std::unique_ptr<Runtime> rt_;
  std::unique_ptr<Modules> modules_;
  QString language_ = QStringLiteral("VBScript");
};

}  // namespace script
