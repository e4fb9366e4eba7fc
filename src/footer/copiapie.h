#pragma once
// What the footer page and the format dialogs share: copying stored format rows into the bid's Pie,
// and the text of a trapped error.
#include "error.h"
#include "msgbox.h"

#include <QString>

#include <functional>

namespace dao {
class Recordset;
}

namespace footer {

// The INSERT INTO Pie of one stored format row (fields of CalDet): texts quoted with their quotes
// doubled, numbers as plain text with "." (a Null number as 0), flags 1 or 0.
QString sentenciaInsertaPie(dao::Recordset& fila);

// Runs paso in one transaction over the open databases: a failure undoes every write of paso and
// goes on to the caller.
void todoONada(const std::function<void()>& paso);

// Replaces every row of the bid's Pie by the rows still to be read from filas, all or nothing: a
// failure leaves Pie as it was and goes on to the caller.
void copiaAPie(dao::Recordset& filas);

// prefijo, the error's number, separador and its description.
QString textoError(const QString& prefijo, const vb::Error& e, const QString& separador);

// Runs paso; a run-time error ends it and is shown as textoError (OK only). False after an error.
template <class F>
bool atrapa(const QString& prefijo, const QString& separador, F&& paso) {
  try {
    paso();
    return true;
  } catch (const vb::Error& e) {
    ui::MsgBox(textoError(prefijo, e, separador));
    return false;
  }
}

}  // namespace footer
