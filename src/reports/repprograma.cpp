// "Programa de obra": the volume of every concept programmed in each period, with the year's
// subtotal after every December and after the last period.
#include "cuadroperiodos.h"
#include "escritores.h"

#include "dao.h"

namespace repgen {

namespace {

using detalle::kFormatoCantidad;

class ProgramaObra : public detalle::CuadroPeriodos {
public:
  using CuadroPeriodos::CuadroPeriodos;

private:
  QString anclaFormato() const override { return QStringLiteral("{volumen}"); }
  int columnaMinimaArea() const override { return 18; }
  bool campoPropio(const QString& clave, vb::Variant& valor, QString& formato) override;
  void escribePeriodos(wb::Book& celda) override;
};

bool ProgramaObra::campoPropio(const QString& clave, vb::Variant& valor, QString& formato) {
  if (clave == QLatin1String("{unidad}")) {
    valor = rs_.Value(QStringLiteral("Unidad"));
  } else if (clave == QLatin1String("{volumen}")) {
    valor = rs_.Value(QStringLiteral("Cantidad"));
    formato = kFormatoCantidad;
  } else {
    return false;
  }
  return true;
}

// The volume of each period of the pass.
void ProgramaObra::escribePeriodos(wb::Book& celda) {
  escribeColumnasPeriodo(celda, [this](int periodo) { return volumen(periodo); });
}

}  // namespace

void reporteProgramaObra(ContextoReporte& rep) { ProgramaObra(rep).escribe(); }

}  // namespace repgen
