#pragma once
// The walk the two schedule reports share ("Programa de obra", "Montos mensuales"): the quantity
// check, one pass per fiscal year (or one pass), every concept under its section headings with its
// detail rows between two page checks, the description's further lines, the row limit, the last
// page's foot and the print area. Each report fills the detail cells and its period run.
#include "escritoresinternos.h"

#include <QHash>
#include <QString>
#include <optional>

namespace dao {
class Recordset;
}

namespace repgen::detalle {

class CuadroPeriodos {
public:
  explicit CuadroPeriodos(ContextoReporte& rep);
  virtual ~CuadroPeriodos() = default;
  // The whole report; errors show "ErrorRepCuadro: " and end it.
  void escribe();

protected:
  ContextoReporte& rep_;
  dao::Recordset& rs_;        // the budget, on the concept being written
  Ancla periodo_, descripcion_, formato_;
  QString descripcionPendiente_;
  QString partida_;      // the concept being written
  int32_t renglon_ = 0;

  // The volume programmed for the current concept in a period, if any.
  std::optional<vb::Currency> volumen(int periodo) const;
  // The cell of a period run at (ren, col): the look of the format anchor's template cell.
  void celdaPeriodo(int ren, int col);

  // The anchor whose cell gives the period cells their look ("{volumen}", "{importe}").
  virtual QString anclaFormato() const = 0;
  // The print area reaches the last "Total" of the period titles when it is at least this column.
  virtual int columnaMinimaArea() const = 0;
  virtual void preparaReporte() {}
  // Fills a detail cell the report is on (a copy of a template cell).
  virtual void completaConcepto(wb::Book& celda) = 0;
  // After a concept's detail rows: what a page break takes to the next page with them.
  virtual void conceptoEscrito() {}
  // After the last concept of a pass, before the page foot closes it.
  virtual void finPasada() {}

private:
  QHash<QString, vb::Currency> programa_;  // volumes by section, row and period
  void leePrograma();
  void pasada();
  static QString clave(const QString& partida, int32_t renglon, int periodo);
};

}  // namespace repgen::detalle
