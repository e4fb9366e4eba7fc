#include "obraprueba.h"

#include "dao.h"
#include "korgen.h"
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
    const QString destino = ruta(archivo);
    ASSERT_TRUE(QFile::copy(QStringLiteral(TORNAVO_BIN_DIR "/") + archivo, destino)) << archivo.toStdString();
    QFile::setPermissions(destino, QFile::permissions(destino) | QFileDevice::WriteOwner);
  }
  quarvel::rutaPrograma = dir_.path();
  quarvel::dbObra = dao::DBEngine::OpenDatabase(ruta(QStringLiteral("Ejemplo.mdb")), true, false, quarvel::kConexion);
  maneobra::abreRecordSets();
  quarvel::dbParametros =
      dao::DBEngine::OpenDatabase(ruta(QStringLiteral("paratorn.kor")), false, false, quarvel::kConexion);
  maneobra::AbreReportes();
  quarvel::obraAbierta = true;
  quarvel::unidadRedondeo = vb::Currency::fromScaled(100);  // as the report window sets it
  rep_ = std::make_unique<ContextoReporte>();
  rep_->impresora = std::make_shared<repgen::PapelFijo>();  // Letter, whatever printer the machine has
  rep_->setEscritor(repgen::kPresupuesto, escritorPrueba);
}

void ObraPrueba::TearDown() {
  rep_.reset();
  using namespace quarvel;
  for (RecordsetPtr* rs : {&rsDatosGenerales, &rsPresupuesto, &rsPresupuestoClon, &rsPresupuestoClon2, &rsMonedas,
                           &rsMonedasClon, &rsPartidas, &rsPartidasClon, &rsPrograma, &rsTotalPartidas,
                           &rsProgramaObra, &rsBuscaPre, &rsReportes, &rsRepOpciones})
    rs->reset();
  qdBuscaPre.reset();
  for (auto* db : {&quarvel::dbObra, &quarvel::dbParametros}) {
    if (*db)
      (*db)->Close();
    db->reset();
  }
  quarvel::obraAbierta = false;
  quarvel::unidadRedondeo = {};
  quarvel::rutaPrograma.clear();
}

QString ObraPrueba::ruta(const QString& archivo) const { return dir_.filePath(archivo); }

void ObraPrueba::elige(int tipo, const QString& archivo, int hoja) {
  rep_->tipo = tipo;
  rep_->libro = ruta(archivo.isEmpty() ? repgen::plantillaReporte(tipo) : archivo);
  rep_->hojaIndice = hoja;
  rep_->hoja = repgen::textoReporte(tipo);
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

void escritorPrueba(ContextoReporte& rep) {
  auto& rs = *quarvel::rsPresupuestoClon;
  if (rs.RecordCount() == 0 || !rep.cargaTotalesMoneda())
    return;
  repgen::calculaTotalLetra();
  rep.buscaEtiqueta(rep.Formato, QStringLiteral("{descripción}"));
  const int renDescripcion = rep.renEtiqueta, colDescripcion = rep.colEtiqueta;
  rep.Reporte.setActiveCell(1, 1);
  rep.imprimeTitulos();
  const int renglones = rep.renglonesDetalle();
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
    rep.imprimePieyTitulos(false, true, renglones, true);
    const QString descri = vb::Trim(vb::CStr(rs.Value(QStringLiteral("Descri"))));
    QString descripcion = descri.isEmpty() ? vb::Trim(vb::CStr(rs.Value(QStringLiteral("Texto")))) : descri;
    const vb::Currency importe = vb::CCur(rs.Value(QStringLiteral("Importe")));
    const QString moneda = vb::CStr(rs.Value(QStringLiteral("Moneda")));
    rep.acumulaMoneda(moneda, 2, importe);
    rep.acumulaMoneda(moneda, 3, importe);
    rep.escribeDetalle([&](wb::Book& celda) {
      const QString clave = vb::LCase(celda.text());
      vb::Variant valor = vb::Variant::null();
      if (clave == QStringLiteral("{código}"))
        valor = rs.Value(QStringLiteral("Codigo"));
      else if (clave == QStringLiteral("{descripción}"))
        valor = repgen::cortaTexto(descripcion, rep.LongitudConcepto);
      else if (clave == QStringLiteral("{unidad}"))
        valor = rs.Value(QStringLiteral("Unidad"));
      else if (clave == QStringLiteral("{volumen}"))
        valor = rs.Value(QStringLiteral("Cantidad"));
      else if (clave == QStringLiteral("{precio}"))
        valor = rs.Value(QStringLiteral("Precio"));
      else if (clave == QStringLiteral("{importe}"))
        valor = importe;
      else if (clave == QStringLiteral("{precio con letra}")) {
        auto& monedas = *quarvel::rsMonedasClon;
        monedas.FindFirst(QStringLiteral("Moneda='") + moneda + QLatin1Char('\''));
        valor = monedas.NoMatch() ? QString()
                                  : KorGen::Conlet(vb::CCur(rs.Value(QStringLiteral("Precio"))), QStringLiteral("E"),
                                                   vb::CStr(monedas.Value(QStringLiteral("Texto"))),
                                                   vb::CStr(monedas.Value(QStringLiteral("Remate"))));
      }
      if (valor.isString())
        celda.setText(valor.rawString());
      else
        repgen::escribeValor(celda, valor);
    });
    rep.importeRenglon = importe;
    rep.monedaRenglon = moneda;
    rep.imprimePieyTitulos(false, true, renglones, true);
    rep.importeRenglon = {};
    while (!descripcion.isEmpty())
      rep.repEscribeTexto(repgen::cortaTexto(descripcion, rep.LongitudConcepto), colDescripcion, colDescripcion,
                          renDescripcion, false, true, false, true, true, true);
    if (rep.Reporte.row() > repgen::kLimiteRenglones || rep.soloMuestra)
      break;
  }
  rep.revisaSaltoHoja(true);
  if (rep.Reporte.row() > repgen::kLimiteRenglones)
    repgen::avisaLimite();
}

}  // namespace prueba
