#include "contextoreporte.h"

#include "dao.h"
#include "files.h"
#include "internos.h"
#include "msgbox.h"
#include "periodos.h"
#include "printing.h"
#include "quarvel.h"
#include "vbdate.h"

#include <QDir>
#include <QFileInfo>
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

QString archivoPdf(const QString& nombre) {
  // Beside the bid; in the user's own folder when the bid's folder cannot be written, whatever the
  // bid's file is (on a CD both are read-only, and the bid says so of the file).
  QString carpeta = QFileInfo(quarvel::rutaObra).absolutePath();
  if (files::writeRefusal(carpeta) != 0)
    carpeta = QDir::homePath();
  return carpeta + QLatin1Char('/') + nombre + QStringLiteral(".pdf");
}

QString mensajeLimite() {
  return QStringLiteral("Esta impresión no cabe en las 1,048,576 lineas de la hoja de cálculo\r\n"
                        "Los conceptos restantes no se imprimieron.\r\n");
}

void avisaLimite() { ui::MsgBox(mensajeLimite(), ui::vbOKOnly | ui::vbInformation); }

int ImpresoraPrograma::orientacion() const { return wb::PrintService::instance().orientation(); }

void ImpresoraPrograma::setOrientacion(int orientacion) { wb::PrintService::instance().setOrientation(orientacion); }

double ImpresoraPrograma::altoPapel() const { return wb::PrintService::instance().pageHeightTwips(); }

double ImpresoraPrograma::anchoPapel() const { return wb::PrintService::instance().pageWidthTwips(); }

double PapelFijo::altoPapel() const {
  const QSizeF puntos = papel_.size(QPageSize::Point);
  return (orientacion_ == 2 ? puntos.width() : puntos.height()) * 20.0;
}

double PapelFijo::anchoPapel() const {
  const QSizeF puntos = papel_.size(QPageSize::Point);
  return (orientacion_ == 2 ? puntos.height() : puntos.width()) * 20.0;
}

RangoPeriodos rangoPeriodos(double inicio, int periodos, int16_t periodicidad, bool porEjercicio, int ejercicio) {
  RangoPeriodos r;
  r.inicio = inicio;
  r.periodicidad = periodicidad;
  if (porEjercicio)
    for (int p = 1; p <= periodos; ++p) {
      const int anio = vb::year(periodos::primerDia(p, inicio, periodicidad));
      if (anio == ejercicio) {
        r.primero = r.primero ? r.primero : p;
        r.ultimo = p;
      } else if (anio > ejercicio) {
        break;
      }
    }
  // Not by year, or a year without periods: all of them.
  if (r.primero == 0) {
    r.primero = periodos > 0 ? 1 : 0;
    r.ultimo = periodos;
  }
  return r;
}

std::vector<ColumnaPeriodo> columnasPeriodo(const RangoPeriodos& rango) {
  std::vector<ColumnaPeriodo> columnas;
  if (rango.primero < 1)
    return columnas;
  double dia = periodos::primerDia(rango.primero, rango.inicio, rango.periodicidad);
  for (int p = rango.primero; p <= rango.ultimo; ++p) {
    const double siguiente = periodos::primerDia(p + 1, rango.inicio, rango.periodicidad);
    const int anio = vb::year(dia);
    columnas.push_back({p, dia, vb::month(dia), anio, p == rango.ultimo || vb::year(siguiente) != anio});
    dia = siguiente;
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

bool ContextoReporte::avanza(int hechos, int total) {
  if (soloMuestra || !avance || cancelado)
    return !cancelado;
  cancelado = !avance(hechos, total);
  return !cancelado;
}

bool ContextoReporte::cargaTotalesMoneda() {
  totalesMoneda.clear();
  for (const TotalDeMoneda& t : totalesPorMoneda())
    totalesMoneda.push_back({t.moneda, {}, {}});
  return !totalesMoneda.empty();
}

RangoPeriodos ContextoReporte::rangoPeriodos() const {
  auto& dg = detalle::abierto(quarvel::rsDatosGenerales);
  const vb::Variant periodos = dg.Value(QStringLiteral("Periodos"));
  const int n = periodos.isNull() ? 0 : vb::CInt(periodos);
  return repgen::rangoPeriodos(vb::CDate(dg.Value(QStringLiteral("FechaInicioProy"))), n,
                               periodos::periodicidadDe(dg.Value(QStringLiteral("Periodicidad"))), ImprimePorEjercicio,
                               EjercicioActual);
}

}  // namespace repgen
