#include "contextoreporte.h"

#include "dao.h"
#include "internos.h"
#include "msgbox.h"
#include "printing.h"
#include "quarvel.h"
#include "vbdate.h"

#include <QSizeF>

namespace repgen {

QString textoReporte(int tipo) {
  switch (tipo) {
    case kPresupuesto: return QStringLiteral("Presupuesto");
    case kTotalesPresupuesto: return QStringLiteral("Totales del presupuesto");
    case kProgramaObra: return QStringLiteral("Programa de obra");
    case kMontosMensuales: return QStringLiteral("Montos mensuales");
    case kConceptosPrecios: return QStringLiteral("Conceptos,cantidades y precios");
  }
  return QString();
}

QString plantillaReporte(int tipo) {
  if (tipo < 0 || tipo >= kTiposReporte)
    return QString();
  return QStringLiteral("Parator%1.kor").arg(tipo + 1);
}

QString mensajeLimite() {
  return QStringLiteral("En esta impresión se rebasaron 15,000 lineas de la hoja de cálculo\r\n"
                        "Para imprimir los conceptos restantes deberas seleccionar la\r\n"
                        "impresión por rango de partidas.\r\n");
}

void avisaLimite() { ui::MsgBox(mensajeLimite(), ui::vbOKOnly | ui::vbInformation); }

int ImpresoraPrograma::orientacion() const { return wb::PrintService::instance().orientation(); }

void ImpresoraPrograma::setOrientacion(int orientacion) { wb::PrintService::instance().setOrientation(orientacion); }

double ImpresoraPrograma::altoPapel() const { return wb::PrintService::instance().pageHeightTwips(); }

double PapelFijo::altoPapel() const {
  const QSizeF puntos = papel_.size(QPageSize::Point);
  return (orientacion_ == 2 ? puntos.width() : puntos.height()) * 20.0;
}

RangoPeriodos rangoPeriodos(double inicio, int periodos, bool porEjercicio, int ejercicio) {
  RangoPeriodos r;
  int mes = vb::month(inicio);
  int anio = vb::year(inicio);
  if (!porEjercicio) {
    r.primero = periodos > 0 ? 1 : 0;
    r.ultimo = periodos;
    r.mesInicial = mes;
    r.anioInicial = anio;
    return r;
  }
  bool encontrado = false;
  r.mesInicial = mes;
  r.anioInicial = ejercicio;
  for (int i = 1; i <= periodos; ++i) {
    if (anio == ejercicio && !encontrado) {
      r.primero = i;
      r.mesInicial = mes;
      encontrado = true;
    }
    if (mes == 12) {
      if (encontrado) {
        r.ultimo = i;
        break;
      }
      ++anio;
      mes = 0;
    }
    ++mes;
    if (i == periodos)
      r.ultimo = i;
  }
  // A year without periods prints them all, from the first.
  if (r.primero == 0 && periodos > 0) {
    r.primero = 1;
    r.mesInicial = vb::month(inicio);
    r.anioInicial = vb::year(inicio);
  }
  return r;
}

std::vector<ColumnaPeriodo> columnasPeriodo(const RangoPeriodos& rango) {
  std::vector<ColumnaPeriodo> columnas;
  if (rango.primero < 1)
    return columnas;
  int mes = rango.mesInicial, anio = rango.anioInicial;
  for (int p = rango.primero; p <= rango.ultimo; ++p) {
    columnas.push_back({p, mes, anio, mes == 12 || p == rango.ultimo});
    if (mes == 12) {
      mes = 0;
      ++anio;
    }
    ++mes;
  }
  return columnas;
}

ContextoReporte::ContextoReporte() : impresora(std::make_shared<ImpresoraPrograma>()) {}

ContextoReporte::~ContextoReporte() = default;

void ContextoReporte::setEscritor(int t, Escritor escritor) {
  if (t >= 0 && t < kTiposReporte)
    escritores_[size_t(t)] = std::move(escritor);
}

void ContextoReporte::acumulaMoneda(const QString& moneda, int columna, vb::Currency importe) {
  for (TotalMoneda& t : totalesMoneda) {
    if (t.moneda.compare(moneda, Qt::CaseInsensitive) != 0)
      continue;
    if (columna == 2)
      t.pagina += importe;
    else if (columna == 3)
      t.acumulado += importe;
    return;
  }
}

bool ContextoReporte::cargaTotalesMoneda() {
  totalesMoneda.clear();
  auto rs = detalle::abierto(quarvel::dbObra)
                .OpenRecordset(QStringLiteral("totalmonedas"), dao::RecordsetType::Snapshot);
  for (; !rs->EOF_(); rs->MoveNext())
    totalesMoneda.push_back({vb::CStr(rs->Value(QStringLiteral("Moneda"))), {}, {}});
  rs->Close();
  return !totalesMoneda.empty();
}

RangoPeriodos ContextoReporte::rangoPeriodos() const {
  auto& dg = detalle::abierto(quarvel::rsDatosGenerales);
  const vb::Variant periodos = dg.Value(QStringLiteral("Periodos"));
  const int n = periodos.isNull() ? 0 : vb::CInt(periodos);
  return repgen::rangoPeriodos(vb::CDate(dg.Value(QStringLiteral("FechaInicioProy"))), n, ImprimePorEjercicio,
                               EjercicioActual);
}

}  // namespace repgen
