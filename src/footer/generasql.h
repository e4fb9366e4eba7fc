#pragma once
// The SQL statement builder: the caller names a table and the kind of statement, adds fields with
// their values and a type code, adds WHERE terms, and takes the text of one INSERT, UPDATE or DELETE,
// which it then executes itself. Values become SQL literals by their type code:
//   0 as they stand, 1 number ("." decimals, null is 0, a Boolean -1/0, a date its serial),
//   2 text (quoted, quotes doubled), 3 Boolean (1 or 0, null is 0), 4 date ('yyyy/mm/dd'; not a date
//   gives today).
// Each operation traps its own errors: it shows "<prefix><number> <description>" in a message box
// and ends without finishing (see each operation).
//
//   GeneraSql g;
//   g.ParametrosSQL("Pie", 2, false);
//   g.DameValores("Total", 1, vb::Variant(12.5));
//   g.CondicionSQL("", "Renglon", "=", vb::Variant(int16_t(3)), 1, false);
//   db->Execute(g.DameSentencia());   // "UPDATE Pie SET Total = 12.5 WHERE   Renglon = 3 "
#include "variant.h"

#include <QString>
#include <memory>
#include <vector>

namespace footer {

// One field of the statement: its name and its value already as SQL literal text.
struct Campos {
  QString Campo;
  QString Valor;
};

// The fields in insertion order, keyed by name without regard to case.
class colCampos {
public:
  // Stores the value as text; nullptr when the name is in the list already or the value has no
  // text form (Null).
  Campos* Add(const QString& campo, const vb::Variant& valor);
  Campos* Item(const QString& campo);   // nullptr when missing
  Campos* Item(int32_t posicion);       // from 1; nullptr when out of range
  int32_t Count() const { return int32_t(campos_.size()); }
  void Remove(const QString& campo);    // a missing entry is ignored
  void Remove(int32_t posicion);
  void RemoveAll();
  const std::vector<Campos>& lista() const { return campos_; }

private:
  int indice(const QString& campo) const;
  std::vector<Campos> campos_;
};

class GeneraSql {
public:
  GeneraSql();

  // SQL dialect: 1 Jet (the only one the program uses); 2 and 3 other engines.
  int32_t TipoBaseDatos() const { return tipoBaseDatos_; }
  void setTipoBaseDatos(int32_t tipo) { tipoBaseDatos_ = tipo; }

  // Table and kind (1 INSERT, 2 UPDATE, any other DELETE; 0-255); unless conservar, empties the
  // condition and the fields.
  void ParametrosSQL(const QString& tabla, int32_t tipo, bool conservar);
  // Appends " conector campo operador valor" to the WHERE condition, the value as it stands when
  // literal, else formatted by its type code with a trailing blank.
  void CondicionSQL(const QString& conector, const QString& campo, const QString& operador,
                    const vb::Variant& valor, int32_t tipo, bool literal);
  // Adds a field with its value formatted by the type code; a field already in the list keeps its
  // first value. A value of the form IIF(condition,a,b) gets its two branches formatted.
  void DameValores(const QString& campo, int32_t tipo, const vb::Variant& valor);
  // The statement text; fields and condition stay until the next ParametrosSQL.
  QString DameSentencia();
  // Removes a field by name (text) or position (number); a missing one is ignored.
  void Remueve(const vb::Variant& campo);
  // A value as literal text: 1 number, 2 text (quoted when comillas), 3 "1"/"0", 4 date, other as text.
  QString CadenaOk(const vb::Variant& valor, int32_t tipo, bool comillas);
  // Escapes the "%" inside LIKE patterns but the wildcard at the end (and, unless soloFinal, at the
  // start).
  QString analizaSqlLike(const QString& sentencia, bool soloFinal);

private:
  QString DameCadenaIIF(const vb::Variant& valor, int32_t tipo);
  QString valorCampo(const QString& campo, int32_t tipo, const vb::Variant& valor) const;
  QString valorCondicion(int32_t tipo, const vb::Variant& valor) const;
  colCampos& campos();

  int32_t tipoBaseDatos_ = 1;
  std::unique_ptr<colCampos> campos_;
  QString tabla_;
  QString condicion_;
  uint8_t tipo_ = 0;
};

}  // namespace footer
