#include "obraprueba.h"

#include "copia_programa.h"
#include "dao.h"
#include "escritores.h"
#include "estado_quarvel.h"
#include "maneobra.h"
#include "printing.h"
#include "quarvel.h"

#include <QDir>
#include <QFile>

namespace prueba {

using repgen::ContextoReporte;

void ObraPrueba::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  for (const QString& archivo : {QStringLiteral("Ejemplo.mdb"), QStringLiteral("paratorn.kor"),
                                 QStringLiteral("Parator1.kor"), QStringLiteral("Parator2.kor"),
                                 QStringLiteral("Parator3.kor"), QStringLiteral("Parator4.kor"),
                                 QStringLiteral("Parator5.kor")}) {
    ASSERT_TRUE(testsupport::copiaDelPrograma(archivo, ruta(archivo))) << archivo.toStdString();
  }
  quarvel::rutaPrograma = dir_.path();
  testsupport::abreObra(ruta(QStringLiteral("Ejemplo.mdb")));
  quarvel::dbParametros =
      dao::DBEngine::OpenDatabase(ruta(QStringLiteral("paratorn.kor")), false, false, quarvel::kConexion);
  maneobra::AbreReportes();
  quarvel::unidadRedondeo = vb::Currency::fromInt(100);  // two decimals, as the report window sets it
  rep_ = std::make_unique<ContextoReporte>();
  rep_->impresora = std::make_shared<repgen::PapelFijo>();  // Letter, whatever printer the machine has
  repgen::registraEscritores(*rep_);
}

void ObraPrueba::TearDown() {
  rep_.reset();
  testsupport::reiniciaQuarvel();
}

QString ObraPrueba::ruta(const QString& archivo) const { return dir_.filePath(archivo); }

void ObraPrueba::elige(int tipo, const QString& archivo, int hoja) {
  rep_->tipo = tipo;
  rep_->libro = ruta(archivo.isEmpty() ? repgen::plantillaReporte(tipo) : archivo);
  rep_->hojaIndice = hoja;
  rep_->hoja = repgen::textoReporte(tipo);
}

void ObraPrueba::opcion(const QString& parametro, const vb::Variant& valor) {
  repgen::grabaOpcion(repgen::textoReporte(rep_->tipo), rep_->libro, rep_->hoja, parametro, valor);
}

void ObraPrueba::ejecuta(const QString& sql) {
  quarvel::dbObra->Execute(sql);
  maneobra::abreRecordSets();
}

void ObraPrueba::guarda(const QString& nombre) {
  const QString carpeta = qEnvironmentVariable("TORNAVO_REPORTES_SALIDA");
  if (carpeta.isEmpty())
    return;
  QDir().mkpath(carpeta);
  rep_->Reporte.write(carpeta + QLatin1Char('/') + nombre + QStringLiteral(".xlsx"));
  wb::PrintService::instance().exportPdf(rep_->Reporte, carpeta + QLatin1Char('/') + nombre + QStringLiteral(".pdf"));
}

QString texto(const wb::Book& hoja, int ren, int col) {
  return hoja.workbook().displayText(hoja.currentSheet(), ren, col);
}

double numero(const wb::Book& hoja, int ren, int col) {
  const wb::Cell* c = hoja.currentSheet().cell(ren, col);
  return c && c->type == wb::Cell::Type::Number ? c->number : 0;
}

}  // namespace prueba
