#pragma once
// The walk the two schedule reports share ("Programa de obra", "Montos mensuales"): the quantity
// check, one pass per fiscal year (or one pass), every concept under its section headings with its
// detail rows between two page checks, the description's further lines, the row limit, the last
// page's foot and the print area, with the concept's columns repeated on every page across. Each
// report fills the detail cells and its period run.
#include "escritoresinternos.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
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
  // The period run of the current concept from the cell the report is on rightwards, in the look of
  // the format anchor's template cell: each period of the pass gets its value (a blank cell when
  // it has none), each year its subtotal in bold after the year's last period and after the last
  // period of the run. The sum of the values written.
  vb::Currency escribeColumnasPeriodo(wb::Book& celda, const std::function<std::optional<vb::Currency>(int)>& valor);

  // The anchor whose cell gives the period cells their look ("{volumen}", "{importe}").
  virtual QString anclaFormato() const = 0;
  // The print area reaches the last "Total" of the period titles when it is at least this column.
  virtual int columnaMinimaArea() const = 0;
  virtual void preparaReporte() {}
  // A detail key of the report's own besides those of every concept report: its value and the
  // number format it takes (none: the template's). False for a key it does not know.
  virtual bool campoPropio(const QString& clave, vb::Variant& valor, QString& formato);
  // The period run of the concept, from the "{periodo}" cell the report is on rightwards.
  virtual void escribePeriodos(wb::Book& celda) = 0;
  // After a concept's detail rows: what a page break takes to the next page with them.
  virtual void conceptoEscrito() {}
  // After the last concept of a pass, before the page foot closes it.
  virtual void finPasada() {}
  // Before the report is fitted to the paper: the report may narrow columns its figures do not need,
  // knowing the period titles' anchor and every title the period columns print.
  virtual void ajustaCifras(const Ancla& /*titulo*/, const QStringList& /*titulos*/) {}
  // The widest of the template's own texts (not placeholders) in a column of its title and foot
  // sections, each line of a cell whole, with the cell's margins: what the column must keep.
  double anchoTextosPlantilla(int col);
  // The width a cell of this look needs to show the text on one line (bold when told).
  static double anchoEnCelda(const wb::CellStyle& estilo, const QString& texto, bool negrita = false);

private:
  QHash<QString, vb::Currency> programa_;  // volumes by section, row and period
  int pasadas_ = 1;  // fiscal years printed, each a pass over every concept
  int hechos_ = 0;   // concepts written, all passes
  int columnaFinal_ = 0;  // the print area's last column: the widest pass's
  void completaConcepto(wb::Book& celda);
  void leePrograma();
  void ajustaAlPapel();
  void pasada();
  static QString clave(const QString& partida, int32_t renglon, int periodo);
};

}  // namespace repgen::detalle
