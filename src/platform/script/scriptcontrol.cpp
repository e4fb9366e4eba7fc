#include "scriptcontrol.h"

#include "errors.h"
#include "interpreter.h"

namespace script {

QString Module::name() const { return d_->name; }
void Module::addCode(const QString& code) { rt_->addCode(*d_, code); }
Value Module::run(const QString& procedure, std::vector<Value>& args) { return rt_->run(*d_, procedure, args); }
Value Module::run(const QString& procedure) {
  std::vector<Value> none;
  return rt_->run(*d_, procedure, none);
}
void Module::executeStatement(const QString& statement) { rt_->executeStatement(*d_, statement); }
vb::Variant Module::eval(const QString& expression) { return rt_->eval(*d_, expression); }
QStringList Module::codeBlocks() const { return d_->blocks; }

// The facades follow the runtime's module list, which only grows at its end or shrinks to "Global".
void Modules::sync() {
  if (int(list_.size()) > rt_.moduleCount()) list_.resize(size_t(rt_.moduleCount()));
  while (int(list_.size()) < rt_.moduleCount())
    list_.push_back(std::unique_ptr<Module>(new Module(rt_, rt_.moduleAt(int(list_.size())))));
}

int Modules::count() const { return rt_.moduleCount(); }

Module& Modules::add(const QString& name) {
  rt_.addModule(name);
  sync();
  return *list_.back();
}

Module& Modules::item(const QString& name) {
  sync();
  ModuleData* d = rt_.findModule(name);
  if (!d) raise(errInvalidCall);
  for (auto& m : list_)
    if (m->d_ == d) return *m;
  raise(errInvalidCall);
}

Module& Modules::item(int index) {
  sync();
  if (index < 1 || index > int(list_.size())) raise(errSubscript);
  return *list_[size_t(index - 1)];
}

ScriptControl::ScriptControl() : rt_(std::make_unique<Runtime>()), modules_(new Modules(*rt_)) { modules_->sync(); }
ScriptControl::~ScriptControl() = default;

void ScriptControl::setLanguage(const QString& language) {
  if (language.compare(QLatin1String("VBScript"), Qt::CaseInsensitive) != 0) raise(errInvalidCall);
  language_ = language;
}

void ScriptControl::reset() {
  rt_->reset();
  modules_->sync();
}

uint64_t ScriptControl::callCount() const { return rt_->callCount(); }

void ScriptControl::setWorkLimit(uint64_t steps, int milliseconds) { rt_->setWorkLimit({steps, milliseconds}); }

void ScriptControl::shareWorkBound() { rt_->shareWork(); }

void ScriptControl::setMemoryLimit(uint64_t bytes) { rt_->setMemoryLimit(bytes); }

uint64_t ScriptControl::memoryHeld() const { return rt_->memoryHeld(); }

}  // namespace script
