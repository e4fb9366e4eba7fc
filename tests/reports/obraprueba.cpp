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
#include <QMap>

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

void ObraPrueba::quitaUltimoConcepto() {
  auto& rs = *quarvel::rsPresupuestoClon;
  rs.MoveLast();
  const QString donde =
      QStringLiteral(" WHERE Partida='%1' AND Renglon=%2")
          .arg(vb::CStr(rs.Value(QStringLiteral("Partida"))), vb::CStr(rs.Value(QStringLiteral("Renglon"))));
  quarvel::dbObra->Execute(QStringLiteral("DELETE FROM Programa") + donde);
  ejecuta(QStringLiteral("DELETE FROM Presupuesto") + donde);
}

void ObraPrueba::guarda(const QString& nombre) {
  const QString carpeta = qEnvironmentVariable("TORNAVO_REPORTES_SALIDA");
  if (carpeta.isEmpty())
    return;
  QDir().mkpath(carpeta);
  rep_->Reporte.write(carpeta + QLatin1Char('/') + nombre + QStringLiteral(".xlsx"));
  wb::PrintService::instance().exportPdf(rep_->Reporte, carpeta + QLatin1Char('/') + nombre + QStringLiteral(".pdf"));
}

std::vector<int> iniciosDePagina(const wb::Book& reporte) {
  std::vector<int> inicios{1};
  for (int r : reporte.pageSetup().rowBreaks)
    inicios.push_back(r);
  return inicios;
}

void revisaPresupuesto(const ContextoReporte& rep) {
  struct Concepto {
    QString codigo;
    vb::Currency importe;
    QString moneda;
  };
  std::vector<Concepto> todos;
  auto& rs = *quarvel::rsPresupuestoClon;
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
    todos.push_back({vb::CStr(rs.Value("Codigo")), vb::CCur(rs.Value("Importe")), vb::CStr(rs.Value("Moneda"))});

  const wb::Book& r = rep.Reporte;
  const std::vector<int> inicios = iniciosDePagina(r);
  ASSERT_GE(inicios.size(), 3u) << "the bid must fill several pages";
  EXPECT_EQ(int(inicios.size()), rep.numeroPagina);

  const int titulos = rep.renTitulosFin - rep.renTitulosIni + 1;
  const int pie = rep.renPieFin - rep.renPieIni + 1;
  size_t siguiente = 0;
  std::vector<QMap<QString, vb::Currency>> porPagina(inicios.size());
  for (size_t p = 0; p < inicios.size(); ++p) {
    SCOPED_TRACE(p + 1);
    const int desde = inicios[p] + titulos;
    const int hasta = (p + 1 < inicios.size() ? inicios[p + 1] : r.lastRow() + 1) - pie - 1;
    for (int ren = desde; ren <= hasta; ++ren) {
      const QString codigo = texto(r, ren, 1);
      if (codigo.isEmpty())
        continue;  // a section heading or total, a description's next line, the filler row
      ASSERT_LT(siguiente, todos.size());
      ASSERT_EQ(codigo, todos[siguiente].codigo) << "row " << ren;
      EXPECT_DOUBLE_EQ(numero(r, ren, 7), todos[siguiente].importe.toDouble());
      porPagina[p][todos[siguiente].moneda] += todos[siguiente].importe;
      ++siguiente;
    }
  }
  EXPECT_EQ(siguiente, todos.size()) << "concepts printed";

  // The foot of each page: its last two rows, one per currency.
  QMap<QString, vb::Currency> acumulado;
  for (size_t p = 0; p < inicios.size(); ++p) {
    SCOPED_TRACE(p + 1);
    const int finPie = p + 1 < inicios.size() ? inicios[p + 1] - 1 : r.lastRow();
    for (int i = 0; i < 2; ++i) {
      const int ren = finPie - 1 + i;
      const QString moneda = texto(r, ren, 5);
      ASSERT_EQ(moneda, i == 0 ? "DOLARES" : "PESOS");
      acumulado[moneda] += porPagina[p][moneda];
      EXPECT_DOUBLE_EQ(numero(r, ren, 6), porPagina[p][moneda].toDouble()) << moneda.toStdString();
      EXPECT_DOUBLE_EQ(numero(r, ren, 7), acumulado[moneda].toDouble()) << moneda.toStdString();
    }
  }

  // The filler rows put each foot at the bottom of its page: no page needs a break of the printer's.
  wb::SheetPrintLayout impreso(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter));
  EXPECT_EQ(impreso.pageCount(), rep.numeroPagina);
}

void multiplicaPresupuesto(int veces) {
  for (int k = 1; k < veces; ++k) {
    quarvel::dbObra->Execute(QStringLiteral(
        "INSERT INTO Presupuesto (Partida, Renglon, Codigo, Texto, Descri, Unidad, Cantidad, Precio, Importe, Moneda) "
        "SELECT Partida, Renglon + %1, Codigo, Texto, Descri, Unidad, Cantidad, Precio, Importe, Moneda "
        "FROM Presupuesto WHERE Renglon < 1000").arg(k * 1000));
    quarvel::dbObra->Execute(QStringLiteral("INSERT INTO Programa (Partida, Renglon, Periodo, Volumen) "
                                            "SELECT Partida, Renglon + %1, Periodo, Volumen "
                                            "FROM Programa WHERE Renglon < 1000").arg(k * 1000));
  }
  maneobra::abreRecordSets();
}

QString texto(const wb::Book& hoja, int ren, int col) {
  return hoja.workbook().displayText(hoja.currentSheet(), ren, col);
}

double numero(const wb::Book& hoja, int ren, int col) {
  const wb::Cell* c = hoja.currentSheet().cell(ren, col);
  return c && c->type == wb::Cell::Type::Number ? c->number : 0;
}

}  // namespace prueba
