#pragma once
// The formula evaluator: named input values (Variables), named formulas (Expresiones) and user
// functions (Funciones with their Parametros), turned into one VBScript module and evaluated by
// the script engine. Collections keep insertion order; their keys ignore letter case. Writes that
// change what the module would say clear Calculado, and the next Calcular rebuilds the module.
//
//   auto ev = footer::Evaluador::crear(carpetaPrograma);     // reads ANALIZEM.FUN there
//   ev->Variables()->Add("V99", vb::Variant(int16_t(100)));
//   ev->Expresiones()->Add("E1", "round((V99)*1+ VA,2)");
//   vb::Variant v = ev->Expresiones()->Item("E1")->Calcular("");
//
// Errors are vb::Error: 457 key already in use, 5 missing key, 9 position out of range, 91 no object,
// and whatever the engine raises while the module runs.
#include "variant.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace script {
class ScriptControl;
}

namespace footer {

class Evaluador;
class Expresion;
class Funcion;
class Expresiones;
class Variables;
class Funciones;
class Parametros;

// An owner of Variables: the evaluator or an expression.
class Propietario : public std::enable_shared_from_this<Propietario> {
public:
  virtual ~Propietario() = default;
  // The class name, which tells the two kinds of owner apart.
  virtual QString NombreClase() const = 0;
  virtual void setCalculado(bool valor) = 0;
};

// A keyed collection in insertion order. Item and Remove take a key or a position from 1.
template <class T, class P>
class Coleccion {
public:
  using Miembros = std::vector<std::shared_ptr<T>>;

  std::shared_ptr<P> Parent() const { return parent_.lock(); }
  void setParent(const std::shared_ptr<P>& p) { parent_ = p; }
  int32_t Count() const { return int32_t(miembros_.size()); }
  std::shared_ptr<T> Item(const QString& clave) const;   // error 5 when missing
  std::shared_ptr<T> Item(int32_t posicion) const;       // error 9 out of range
  void Remove(const QString& clave);
  void Remove(int32_t posicion);
  // For-each in insertion order.
  typename Miembros::const_iterator begin() const { return miembros_.begin(); }
  typename Miembros::const_iterator end() const { return miembros_.end(); }

protected:
  // Error 457 when the key is in use (the member stays out of the collection).
  void agrega(const QString& clave, std::shared_ptr<T> miembro);
  int posicion(const QString& clave) const;

private:
  std::weak_ptr<P> parent_;
  Miembros miembros_;
  std::vector<QString> claves_;  // lower case, parallel to miembros_
  // Each key's place, once there are many: a function file of many functions, or of functions of
  // many parameters, loads in time linear in its size. Few keys are looked for one by one.
  QHash<QString, int> indices_;
  void indexa(size_t desde);
};

class Variable {
public:
  Variable() = default;
  ~Variable();
  Variable(const Variable&) = delete;
  Variable& operator=(const Variable&) = delete;

  std::shared_ptr<Propietario> Parent() const { return parent_.lock(); }
  void setParent(const std::shared_ptr<Propietario>& p) { parent_ = p; }
  const vb::Variant& Valor() const { return valor_; }
  void setValor(const vb::Variant& valor);
  const QString& Nombre() const { return nombre_; }
  void setNombre(const QString& nombre) { nombre_ = nombre; }

private:
  void avisaCambio();
  QString nombre_;
  vb::Variant valor_ = vb::Variant::null();
  std::weak_ptr<Propietario> parent_;
};

class Variables : public Coleccion<Variable, Propietario> {
public:
  // A value omitted, or the text "Vacio", leaves the variable Null.
  std::shared_ptr<Variable> Add(const QString& nombre, const vb::Variant& valor = vb::Variant("Vacio"));
};

class Parametro {
public:
  std::shared_ptr<Funcion> Parent() const { return parent_.lock(); }
  void setParent(const std::shared_ptr<Funcion>& p) { parent_ = p; }
  const QString& Nombre() const { return nombre_; }
  void setNombre(const QString& nombre);

private:
  QString nombre_;
  std::weak_ptr<Funcion> parent_;
};

class Parametros : public Coleccion<Parametro, Funcion> {
public:
  std::shared_ptr<Parametro> Add(const QString& nombre);
};

class Funcion : public std::enable_shared_from_this<Funcion> {
public:
  std::shared_ptr<Evaluador> Parent() const { return parent_.lock(); }
  void setParent(const std::shared_ptr<Evaluador>& p) { parent_ = p; }
  std::shared_ptr<footer::Parametros> Parametros();
  void setParametros(std::shared_ptr<footer::Parametros> p) { parametros_ = std::move(p); }
  const QString& Nombre() const { return nombre_; }
  void setNombre(const QString& nombre);
  const QString& Valor() const { return valor_; }  // the body: a VBScript expression
  void setValor(const QString& valor);

private:
  QString valor_;
  QString nombre_;
  std::shared_ptr<footer::Parametros> parametros_;
  std::weak_ptr<Evaluador> parent_;
};

class Funciones : public Coleccion<Funcion, Evaluador> {
public:
  std::shared_ptr<Funcion> Add(const QString& nombre, const QString& cuerpo);
};

class Expresion : public Propietario {
public:
  QString NombreClase() const override { return QStringLiteral("Expresion"); }
  // Write-only in its model: passes the value on to the evaluator.
  void setCalculado(bool valor) override;
  std::shared_ptr<Evaluador> Parent() const { return parent_.lock(); }
  void setParent(const std::shared_ptr<Evaluador>& p) { parent_ = p; }
  // A non-empty formula first becomes Valor; then the evaluator's Calcular of this Nombre.
  vb::Variant Calcular(const QString& formula);
  const QString& Nombre() const { return nombre_; }
  void setNombre(const QString& nombre);
  const vb::Variant& Valor() const { return valor_; }  // the formula text
  void setValor(const vb::Variant& valor);
  // Local variables: each becomes a Dim'd variable of the expression's function.
  std::shared_ptr<footer::Variables> Variables();
  void setVariables(std::shared_ptr<footer::Variables> v) { variables_ = std::move(v); }

private:
  std::shared_ptr<footer::Variables> variables_;
  vb::Variant valor_;
  QString nombre_;
  std::weak_ptr<Evaluador> parent_;
};

class Expresiones : public Coleccion<Expresion, Evaluador> {
public:
  bool EnColeccion(const QString& nombre) const { return Item(nombre) != nullptr; }
  std::shared_ptr<Expresion> Add(const QString& nombre, const QString& formula);
  // Nothing (nullptr) instead of an error when there is no such member.
  std::shared_ptr<Expresion> Item(const QString& clave) const;
  std::shared_ptr<Expresion> Item(int32_t posicion) const;
};

class Evaluador : public Propietario {
  struct Llave {};

public:
  // Creates the engine and loads the user functions of "ANALIZEM.FUN" in carpetaPrograma when a
  // readable file of that name is there (its name in any letter case; anything else of that name loads
  // nothing); a malformed file makes the creation fail with the reading error.
  static std::shared_ptr<Evaluador> crear(const QString& carpetaPrograma);
  Evaluador(Llave, const QString& carpetaPrograma);
  // Rewrites "ANALIZEM.FUN", under the name it was found by, when Funciones holds a function.
  ~Evaluador() override;
  Evaluador(const Evaluador&) = delete;
  Evaluador& operator=(const Evaluador&) = delete;

  QString NombreClase() const override { return QStringLiteral("Evaluador"); }

  int16_t CuantosModulos() const;
  void Restaurar();
  const QString& DErr() const { return dErr_; }
  void setDErr(const QString& d) { dErr_ = d; }
  int32_t NErr() const { return nErr_; }
  void setNErr(int32_t n) { nErr_ = n; }
  // A formula text, the name of an expression, or empty (the last expression).
  vb::Variant Calcular(const QString& formula);
  const vb::Variant& Resultado() const { return resultado_; }
  void setResultado(const vb::Variant& r);
  const QString& Nombre() const { return nombre_; }
  void setNombre(const QString& n) { nombre_ = n; }
  bool Calculado() const { return calculado_; }
  void setCalculado(bool valor) override { calculado_ = valor; }
  std::shared_ptr<footer::Funciones> Funciones();
  void setFunciones(std::shared_ptr<footer::Funciones> f) { funciones_ = std::move(f); }
  std::shared_ptr<footer::Variables> Variables();
  void setVariables(std::shared_ptr<footer::Variables> v) { variables_ = std::move(v); }
  std::shared_ptr<footer::Expresiones> Expresiones();
  void setExpresiones(std::shared_ptr<footer::Expresiones> e) { expresiones_ = std::move(e); }
  script::ScriptControl& SecComandos() { return *motor_; }

  // The function file's name and its header line.
  static const QString ArchivoFunciones;
  static const QString EncabezadoFunciones;

private:
  bool GeneraModulo();
  QString rutaFunciones() const;
  void cargaFunciones();
  void grabaFunciones();

  std::shared_ptr<footer::Expresiones> expresiones_;
  std::shared_ptr<footer::Variables> variables_;
  std::shared_ptr<footer::Funciones> funciones_;
  bool calculado_ = false;
  QString nombre_;
  vb::Variant resultado_;
  int32_t nErr_ = 0;
  QString dErr_;
  std::unique_ptr<script::ScriptControl> motor_;
  QString carpeta_;
  bool creado_ = false;  // the function file is rewritten only by an evaluator that was fully made
};

}  // namespace footer
