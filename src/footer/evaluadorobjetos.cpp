// The evaluator's members and keyed collections, and the rules by which their writes clear
// the evaluator's Calculado.
#include "errors.h"
#include "evaluador.h"

namespace footer {

namespace {
QString claveDe(const QString& nombre) { return nombre.toLower(); }
// From this many members on, a collection looks its keys up in an index.
constexpr size_t kIndexadaDesde = 32;
}  // namespace

// ---- Coleccion ----

template <class T, class P>
int Coleccion<T, P>::posicion(const QString& clave) const {
  const QString k = claveDe(clave);
  if (claves_.size() >= kIndexadaDesde) return indices_.value(k, -1);
  for (size_t i = 0; i < claves_.size(); ++i)
    if (claves_[i] == k) return int(i);
  return -1;
}

// The index from position `desde` on; none while the collection is small.
template <class T, class P>
void Coleccion<T, P>::indexa(size_t desde) {
  if (claves_.size() < kIndexadaDesde) {
    indices_.clear();
    return;
  }
  if (indices_.isEmpty()) desde = 0;
  for (size_t i = desde; i < claves_.size(); ++i) indices_[claves_[i]] = int(i);
}

template <class T, class P>
std::shared_ptr<T> Coleccion<T, P>::Item(const QString& clave) const {
  const int i = posicion(clave);
  if (i < 0) script::raise(script::errInvalidCall);
  return miembros_[size_t(i)];
}

template <class T, class P>
std::shared_ptr<T> Coleccion<T, P>::Item(int32_t posicion) const {
  if (posicion < 1 || posicion > Count()) script::raise(script::errSubscript);
  return miembros_[size_t(posicion - 1)];
}

template <class T, class P>
void Coleccion<T, P>::Remove(const QString& clave) {
  const int i = posicion(clave);
  if (i < 0) script::raise(script::errInvalidCall);
  Remove(int32_t(i + 1));
}

template <class T, class P>
void Coleccion<T, P>::Remove(int32_t posicion) {
  if (posicion < 1 || posicion > Count()) script::raise(script::errSubscript);
  // Released after the collection is consistent again: a Variable's end notifies its owner.
  std::shared_ptr<T> quitado = std::move(miembros_[size_t(posicion - 1)]);
  miembros_.erase(miembros_.begin() + (posicion - 1));
  indices_.remove(claves_[size_t(posicion - 1)]);
  claves_.erase(claves_.begin() + (posicion - 1));
  indexa(size_t(posicion - 1));
}

template <class T, class P>
void Coleccion<T, P>::agrega(const QString& clave, std::shared_ptr<T> miembro) {
  if (posicion(clave) >= 0) script::raise(script::errKeyInUse);
  miembros_.push_back(std::move(miembro));
  claves_.push_back(claveDe(clave));
  indexa(claves_.size() - 1);
}

template class Coleccion<Variable, Propietario>;
template class Coleccion<Parametro, Funcion>;
template class Coleccion<Funcion, Evaluador>;
template class Coleccion<Expresion, Evaluador>;

// ---- Variable ----

Variable::~Variable() { avisaCambio(); }

void Variable::setValor(const vb::Variant& valor) {
  valor_ = valor;
  avisaCambio();
}

// A changed expression variable always invalidates; an evaluator variable only before the module
// exists, since afterwards Main passes the values in again only when it runs anyway.
void Variable::avisaCambio() {
  const std::shared_ptr<Propietario> p = parent_.lock();
  if (!p) return;
  if (p->NombreClase().compare(QLatin1String("EVALUADOR"), Qt::CaseInsensitive) == 0) {
    if (static_cast<Evaluador&>(*p).CuantosModulos() <= 1) p->setCalculado(false);
  } else {
    p->setCalculado(false);
  }
}

std::shared_ptr<Variable> Variables::Add(const QString& nombre, const vb::Variant& valor) {
  auto v = std::make_shared<Variable>();
  v->setParent(Parent());
  v->setNombre(nombre);
  if (!(valor.isString() && valor.rawString() == QLatin1String("Vacio"))) v->setValor(valor);
  agrega(nombre, v);
  return v;
}

// ---- Parametro ----

void Parametro::setNombre(const QString& nombre) {
  nombre_ = nombre;
  if (auto f = parent_.lock())
    if (auto ev = f->Parent()) ev->setCalculado(false);
}

std::shared_ptr<Parametro> Parametros::Add(const QString& nombre) {
  auto p = std::make_shared<Parametro>();
  p->setParent(Parent());
  p->setNombre(nombre);
  agrega(nombre, p);
  return p;
}

// ---- Funcion ----

std::shared_ptr<Parametros> Funcion::Parametros() {
  if (!parametros_) {
    parametros_ = std::make_shared<footer::Parametros>();
    parametros_->setParent(shared_from_this());
  }
  return parametros_;
}

void Funcion::setNombre(const QString& nombre) {
  nombre_ = nombre;
  if (auto ev = parent_.lock()) ev->setCalculado(false);
}

void Funcion::setValor(const QString& valor) {
  valor_ = valor;
  if (auto ev = parent_.lock()) ev->setCalculado(false);
}

std::shared_ptr<Funcion> Funciones::Add(const QString& nombre, const QString& cuerpo) {
  auto f = std::make_shared<Funcion>();
  f->setParent(Parent());
  f->setNombre(nombre);
  f->setValor(cuerpo);
  agrega(nombre, f);
  return f;
}

// ---- Expresion ----

void Expresion::setCalculado(bool valor) {
  if (auto ev = parent_.lock()) ev->setCalculado(valor);
}

vb::Variant Expresion::Calcular(const QString& formula) {
  if (!formula.isEmpty()) setValor(vb::Variant(formula));
  const std::shared_ptr<Evaluador> ev = parent_.lock();
  if (!ev) script::raise(script::errObjectNotSet);
  return ev->Calcular(nombre_);
}

void Expresion::setNombre(const QString& nombre) {
  nombre_ = nombre;
  setCalculado(false);
}

void Expresion::setValor(const vb::Variant& valor) {
  valor_ = valor;
  setCalculado(false);
}

std::shared_ptr<Variables> Expresion::Variables() {
  if (!variables_) {
    variables_ = std::make_shared<footer::Variables>();
    variables_->setParent(shared_from_this());
  }
  return variables_;
}

std::shared_ptr<Expresion> Expresiones::Add(const QString& nombre, const QString& formula) {
  auto e = std::make_shared<Expresion>();
  e->setParent(Parent());
  e->setNombre(nombre);
  e->setValor(vb::Variant(formula));
  agrega(nombre, e);
  return e;
}

std::shared_ptr<Expresion> Expresiones::Item(const QString& clave) const {
  const int i = posicion(clave);
  return i < 0 ? nullptr : Coleccion::Item(int32_t(i + 1));
}

std::shared_ptr<Expresion> Expresiones::Item(int32_t posicion) const {
  if (posicion < 1 || posicion > Count()) return nullptr;
  return Coleccion::Item(posicion);
}

}  // namespace footer
