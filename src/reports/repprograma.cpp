// "Programa de obra": the volume of every concept programmed in each period, with the year's
// subtotal after every December and after the last period.
#include "cuadroperiodos.h"
#include "escritores.h"

#include "dao.h"
#include "internos.h"
#include "msgbox.h"
#include "quarvel.h"

namespace repgen {

namespace {

const QString kFormatoCantidad = QStringLiteral("#,###,###,##0.00##");

class ProgramaObra : public detalle::CuadroPeriodos {
public:
  using CuadroPeriodos::CuadroPeriodos;

private:
  QString anclaFormato() const override { return QStringLiteral("{volumen}"); }
  int columnaMinimaArea() const override { return 18; }
  void completaConcepto(wb::Book& celda) override;
  void completaVolumenesPeriodo(wb::Book& celda);
};

void ProgramaObra::completaConcepto(wb::Book& celda) {
  const QString clave = vb::LCase(celda.text());
  vb::Variant valor = vb::Variant::null();
  try {
    if (clave == QLatin1String("{renglon}") || clave == QStringLiteral("{renglón}")) {
      valor = rs_.Value(QStringLiteral("Renglon"));
    } else if (clave == QStringLiteral("{código}") || clave == QLatin1String("{codigo}")) {
      valor = rs_.Value(QStringLiteral("Codigo"));
    } else if (clave == QStringLiteral("{código auxiliar}") || clave == QLatin1String("{codigo auxiliar}")) {
      valor = rs_.Value(QStringLiteral("Codemp"));
    } else if (clave == QStringLiteral("{descripción}") || clave == QLatin1String("{descripcion}")) {
      valor = cortaTexto(descripcionPendiente_, 255);
    } else if (clave == QLatin1String("{unidad}")) {
      valor = rs_.Value(QStringLiteral("Unidad"));
    } else if (clave == QLatin1String("{volumen}")) {
      valor = rs_.Value(QStringLiteral("Cantidad"));
      detalle::escribeCampo(celda, valor);
      celda.setNumberFormat(kFormatoCantidad);
      return;
    } else if (clave == QLatin1String("{periodo}")) {
      completaVolumenesPeriodo(celda);
      return;
    }
    detalle::escribeCampo(celda, valor);
  } catch (const vb::Error& e) {
    if (e.number() == 13)
      celda.setText(vb::CStr(valor));
    else
      ui::MsgBox(QStringLiteral("rcPresupuesto: Error no. ") + QString::number(e.number()) + QLatin1Char(' ') +
                 e.description());
  }
}

// The period cells of the concept from the current cell rightwards: the volume of each period of
// the pass (blank without one), and the year's subtotal in bold after December and after the last.
void ProgramaObra::completaVolumenesPeriodo(wb::Book& celda) {
  try {
    if (detalle::abierto(quarvel::rsPrograma).RecordCount() == 0)
      return;
    const int ren = celda.row(), primera = celda.col();
    int col = primera;
    vb::Currency subtotal;
    for (const ColumnaPeriodo& p : columnasPeriodo(rep_.rangoPeriodos())) {
      celdaPeriodo(ren, col++);
      if (const std::optional<vb::Currency> v = volumen(p.periodo)) {
        celda.setNumber(v->toDouble());
        celda.setNumberFormat(kFormatoCantidad);
        subtotal += *v;
      } else {
        celda.setText(QStringLiteral(" "));
        celda.setNumberFormat(QStringLiteral(" "));
      }
      if (p.subtotal) {
        celdaPeriodo(ren, col++);
        celda.setNumber(subtotal.toDouble());
        celda.setNumberFormat(kFormatoCantidad);
        celda.setFontBold(true);
        subtotal = {};
      }
    }
    celda.setActiveCell(ren, primera);
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("Imprimeperiodos: Error no. ") + QString::number(e.number()) + QLatin1Char(' ') +
               e.description());
  }
}

}  // namespace

void reporteProgramaObra(ContextoReporte& rep) { ProgramaObra(rep).escribe(); }

}  // namespace repgen
