// The quantity check of the schedule reports: every concept's quantity against the volumes
// programmed for it, the list of differences in the error window, and the reports that then write
// nothing.
#include "dao.h"
#include "escritores.h"
#include "frmerrores.h"
#include "obraprueba.h"
#include "printing.h"
#include "quarvel.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>

namespace {

class Cantidades : public prueba::ObraPrueba {
protected:
  void SetUp() override {
    ObraPrueba::SetUp();
    ui::Forms::instance().setModalRunner([this](QDialog* d) {
      auto* f = qobject_cast<FrmErrores*>(d);
      EXPECT_TRUE(f);
      if (f) {
        listas_ << f->Text1->toPlainText();
        f->Salir->click();
      }
      return 0;
    });
  }
  void TearDown() override {
    ui::Forms::instance().setModalRunner({});
    ObraPrueba::TearDown();
  }
  // TotalVol of a concept, as stored.
  double totalVol(const QString& partida, int renglon) {
    auto rs = quarvel::dbObra->OpenRecordset(
        QStringLiteral("SELECT TotalVol FROM Presupuesto WHERE Partida='%1' AND Renglon=%2").arg(partida).arg(renglon),
        dao::RecordsetType::Snapshot);
    return vb::CDbl(rs->Value("TotalVol"));
  }
  // Concepts whose TotalVol is not the sum of their volumes.
  int64_t totalesDistintos() {
    auto rs = quarvel::dbObra->OpenRecordset(
        "SELECT Presupuesto.Partida FROM Presupuesto LEFT JOIN (SELECT Partida, Renglon, Sum(Volumen) AS Suma FROM "
        "Programa GROUP BY Partida, Renglon) AS P ON Presupuesto.Partida = P.Partida AND Presupuesto.Renglon = "
        "P.Renglon WHERE Presupuesto.TotalVol <> Nz(P.Suma, 0)",
        dao::RecordsetType::Snapshot);
    return rs->RecordCount();
  }
  QStringList listas_;
};

// A line of the list: section, row and code in their columns.
QString linea(const QString& partida, const QString& renglon, const QString& codigo) {
  return partida.leftJustified(21) + renglon.leftJustified(13) + codigo.leftJustified(12) + "\r\n";
}

// The list as the window's text box shows it: one line end per line.
QString enPantalla(QString lista) { return lista.replace("\r\n", "\n"); }

const QString kEncabezado = QStringLiteral(
    "Diferencias de cantidades entre el Presupuesto y Programa de Obra\r\n"
    "Partidas             Renglón      Código     \r\n");

TEST_F(Cantidades, QuantitiesThatAgreeRefreshTheProgrammedTotals) {
  ejecuta("UPDATE Presupuesto SET TotalVol = 99");
  EXPECT_FALSE(repgen::validaCantidadesPrograma());
  EXPECT_TRUE(listas_.isEmpty());
  EXPECT_EQ(totalesDistintos(), 0);
  EXPECT_DOUBLE_EQ(totalVol("A01001", 2), 257);
}

// Volumes that add up to another quantity: listed, the programmed totals left alone, and none of
// the three schedule reports written.
TEST_F(Cantidades, VolumesThatDoNotAddUpStopTheScheduleReports) {
  ejecuta("UPDATE Presupuesto SET TotalVol = 99");
  ejecuta("UPDATE Programa SET Volumen = Volumen + 1 WHERE Partida='A01001' AND Renglon=1");
  ejecuta("UPDATE Programa SET Volumen = Volumen - 0.5 WHERE Partida='A05002' AND Renglon=3");
  EXPECT_TRUE(repgen::validaCantidadesPrograma());
  ASSERT_EQ(listas_.size(), 1);
  EXPECT_EQ(listas_[0], enPantalla(kEncabezado + linea("A01001", "1", "PRE-001") + linea("A05002", "3", "EXT-003")));
  EXPECT_DOUBLE_EQ(totalVol("A01001", 2), 99);
  EXPECT_FALSE(ui::Forms::instance().find<FrmErrores>());

  for (int tipo : {repgen::kProgramaObra, repgen::kMontosMensuales, repgen::kConceptosPrecios}) {
    SCOPED_TRACE(tipo);
    elige(tipo);
    ASSERT_TRUE(rep_->GeneraReporte());
    EXPECT_EQ(rep_->Reporte.lastRow(), 0);
    EXPECT_EQ(rep_->numeroPagina, 0);
  }
  EXPECT_EQ(listas_.size(), 4);
  EXPECT_TRUE(cajas_.shown().empty());
}

// A quantity with nothing programmed: listed by the second check, after the totals were refreshed.
TEST_F(Cantidades, AQuantityWithoutVolumesIsListed) {
  ejecuta("UPDATE Presupuesto SET TotalVol = 99");
  ejecuta("DELETE FROM Programa WHERE Partida='A01001' AND Renglon=3");
  ejecuta("UPDATE Presupuesto SET Cantidad = 0 WHERE Partida='A01001' AND Renglon=4");
  ejecuta("DELETE FROM Programa WHERE Partida='A01001' AND Renglon=4");
  EXPECT_TRUE(repgen::validaCantidadesPrograma());
  ASSERT_EQ(listas_.size(), 1);
  EXPECT_EQ(listas_[0], enPantalla(kEncabezado + linea("A01001", "3", "PRE-003")));
  EXPECT_EQ(totalesDistintos(), 0);
  EXPECT_DOUBLE_EQ(totalVol("A01001", 3), 0);
}

// No schedule at all and nothing to program: the schedule reports have nothing to print.
TEST_F(Cantidades, NoScheduleLeavesNothingToPrint) {
  ejecuta("UPDATE Presupuesto SET Cantidad = 0");
  ejecuta("DELETE FROM Programa");
  for (int tipo : {repgen::kProgramaObra, repgen::kMontosMensuales, repgen::kConceptosPrecios}) {
    SCOPED_TRACE(tipo);
    elige(tipo);
    cajas_.answer(ui::vbOK);
    ASSERT_TRUE(rep_->GeneraReporte());
    EXPECT_EQ(cajas_.shown().back().prompt, "No hay registros a imprimir");
    EXPECT_EQ(rep_->Reporte.lastRow(), 0);
  }
  EXPECT_TRUE(listas_.isEmpty());
}

TEST_F(Cantidades, TheListStopsAtAThousandConcepts) {
  std::vector<repgen::ConceptoDiferente> muchos;
  for (int i = 1; i <= 1500; ++i)
    muchos.push_back({"A01001", QString::number(i), "C-" + QString::number(i)});
  const QStringList lineas = repgen::listaDiferencias(muchos).split("\r\n", Qt::SkipEmptyParts);
  ASSERT_EQ(lineas.size(), 2 + 1000);
  EXPECT_EQ(lineas.last() + "\r\n", linea("A01001", "1000", "C-1000"));
}

// "&Imprimir" prints the list as shown on the program's printer (on the PDF printer "Errores.pdf" in
// the bid's folder, whatever file was printed to before); "&Salir" closes the window, which keeps
// nothing.
TEST(FrmErroresTest, PrintsTheListAndCloses) {
  testui::ScriptedMsgBoxes cajas;
  QTemporaryDir dir;
  auto& formas = ui::Forms::instance();
  FrmErrores* f = formas.get<FrmErrores>();
  ASSERT_TRUE(f);
  EXPECT_EQ(f->windowTitle(), "Errores");
  const QString lista = kEncabezado + linea("A01001", "1", "PRE-001");
  f->Text1->setPlainText(lista);

  QPrinter& impresora = wb::PrintService::instance().printer();
  const QString antes = impresora.outputFileName();
  const QString obra = quarvel::rutaObra;
  if (impresora.outputFormat() == QPrinter::PdfFormat) {
    quarvel::rutaObra = dir.filePath("Obra.mdb");
    impresora.setOutputFileName(QString());
    f->Imprimir->click();
    EXPECT_TRUE(cajas.shown().empty());
    QFile pdf(dir.filePath("Errores.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
    impresora.setOutputFileName(antes);
    quarvel::rutaObra = obra;
  }
  f->Salir->click();
  EXPECT_FALSE(formas.find<FrmErrores>());
}

}  // namespace
