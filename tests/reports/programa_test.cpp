// The report window reached from the program's main window, as a user reaches it: the print command
// shows it modal, the preview command modeless, and neither with no printer installed.
#include "copia_programa.h"
#include "dao.h"
#include "solo_lectura.h"
#include "forms.h"
#include "frmrep.h"
#include "printers.h"
#include "printing.h"
#include "qt_print.h"
#include "quarvel.h"
#include "registroentrada.h"
#include "registroreportes.h"
#include "shellfixture.h"
#include "vista_previa.h"
#include "ventanas.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <optional>
#include <tuple>

namespace {

QByteArray huella(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

class Programa : public shelltest::ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    for (int n = 1; n <= 5; ++n) {
      const QString nombre = QStringLiteral("Parator%1.kor").arg(n);
      ASSERT_TRUE(testsupport::copiaDelPrograma(nombre, carpeta.archivo(nombre)));
    }
    registraVentanasEntrada(ventanas::registro());
    registraVentanasReportes(ventanas::registro());
    ASSERT_NE(arranca(producto()), nullptr);
    abre(carpeta.archivo("Ejemplo.mdb"));
    ASSERT_TRUE(quarvel::obraAbierta);
    modales.clear();  // the splash
  }
  virtual QString producto() const { return QStringLiteral("Tornavo"); }
  // The notice of a bid not yet locked, shown before every report (in the contractor's edition).
  void avisoSinCerrar() {
    if (producto() != u"Plicadora")
      cajas.answer(ui::vbOK);
  }
  // The report window the preview command opens (nullptr when none), its previews answered: each
  // one's page count goes to paginas, and it closes.
  frmRep* abrePresentacion(int& paginas) {
    avisoSinCerrar();
    if (!clic("mnuPre"))
      return nullptr;
    wb::PrintService::instance().setPreviewHook(
        [&paginas](QWidget& dlg) { testsupport::cierraAlMostrarse(dlg, paginas); });
    return ui::Forms::instance().find<frmRep>();
  }
};

TEST_F(Programa, PrintShowsTheReportWindowModalAndPreviewModeless) {
  avisoSinCerrar();
  ASSERT_TRUE(clic("mnuImp"));
  EXPECT_EQ(modales, QStringList({"frmRep"}));
  EXPECT_EQ(cajas.texts(), QStringList({"La base de datos aun no esta cerrada"}));
  EXPECT_EQ(ui::Forms::instance().find<frmRep>(), nullptr);  // closed with its modal run

  avisoSinCerrar();
  ASSERT_TRUE(clic("miarchivopreview"));
  frmRep* f = ui::Forms::instance().find<frmRep>();
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(f->isVisible());
  EXPECT_FALSE(f->isModal());
  EXPECT_EQ(f->Combo3->currentIndex(), 1);
  EXPECT_EQ(f->windowTitle(), "Obra : " + carpeta.archivo("Ejemplo.mdb"));
  EXPECT_EQ(modales.size(), 1);

  // Printing while the preview's window is open opens it anew for the printer.
  avisoSinCerrar();
  ASSERT_TRUE(clic("miarchivoprint"));
  EXPECT_EQ(modales, QStringList({"frmRep", "frmRep"}));
  EXPECT_EQ(ui::Forms::instance().find<frmRep>(), nullptr);
}

TEST_F(Programa, NoPrinterNoReportWindow) {
  ui::overridePrinterList(QStringList());
  for (const char* herramienta : {"mnuImp", "mnuPre"}) {
    SCOPED_TRACE(herramienta);
    avisoSinCerrar();
    cajas.answer(ui::vbOK);
    ASSERT_TRUE(clic(herramienta));
    EXPECT_EQ(cajas.texts().back(), "Debe instalar una impresora");
    EXPECT_EQ(ui::Forms::instance().find<frmRep>(), nullptr);
  }
  EXPECT_TRUE(modales.isEmpty());
}

// Every kind of the sample bid previewed from the window the preview command opened, through the
// writers the program registers.
TEST_F(Programa, EveryKindIsPreviewedFromTheWindow) {
  int paginas = -1;
  frmRep* f = abrePresentacion(paginas);
  ASSERT_NE(f, nullptr);
  for (int tipo = 0; tipo < repgen::kTiposReporte; ++tipo) {
    SCOPED_TRACE(tipo);
    f->Combo2->setCurrentIndex(tipo);
    emit f->Combo2->activated(tipo);
    EXPECT_GT(f->rep.Reporte.lastRow(), 0);  // its sample
    paginas = -1;
    f->Command1->click();
    EXPECT_GT(paginas, 0);
  }
  wb::PrintService::instance().setPreviewHook(nullptr);
  EXPECT_EQ(cajas.texts(), QStringList({"La base de datos aun no esta cerrada"}));
  EXPECT_TRUE(modales.isEmpty());
}

// Closing the bid takes the report window with it.
TEST_F(Programa, ClosingTheBidClosesTheReportWindow) {
  avisoSinCerrar();
  ASSERT_TRUE(clic("mnuPre"));
  ASSERT_NE(ui::Forms::instance().find<frmRep>(), nullptr);
  ASSERT_TRUE(clic("mnuCer"));
  EXPECT_EQ(ui::Forms::instance().find<frmRep>(), nullptr);
}

// A bid whose file or folder cannot be written (by its permissions: the superuser too reads it so),
// or both (a CD), in both editions: every kind previews and prints to a PDF file with no word but the
// read-only notice of the opening; what the reports recalculate into the bid (amounts, the total in
// words) stays in memory, and the file is as it was. The PDF is proposed beside the bid, or in the
// user's folder when the bid's folder cannot be written, whatever the file is.
enum class Bloqueo { Archivo, Carpeta, Ambos };

class ProgramaSoloLectura : public Programa, public ::testing::WithParamInterface<std::tuple<const char*, Bloqueo>> {
protected:
  QString producto() const override { return QString::fromLatin1(std::get<0>(GetParam())); }
  Bloqueo bloqueo() const { return std::get<1>(GetParam()); }
  bool carpetaBloqueada() const { return bloqueo() != Bloqueo::Archivo; }
};

TEST_P(ProgramaSoloLectura, PrintsEveryKindAndLeavesTheFileAsItWas) {
  ASSERT_TRUE(clic("mnuCer"));
  const QString obra = carpeta.copiaEjemplo("obras/ejemplo.mdb");
  {
    // What the reports recalculate, stale in the file.
    auto db = dao::DBEngine::OpenDatabase(obra, true, false, quarvel::kConexion);
    db->Execute("UPDATE DatosGenerales SET Totalletra = '$1.00'");
    db->Execute("UPDATE Presupuesto SET Importe = 0 WHERE Codigo = 'PRE-001'");
    db->Close();
  }
  const QByteArray antes = huella(obra);
  QTemporaryDir salida;
  {
    std::optional<testsupport::SoloLectura> archivoBloqueado, carpetaBloqueadaAhora;
    if (bloqueo() != Bloqueo::Carpeta)
      archivoBloqueado.emplace(obra, testsupport::SoloLectura::SoloPermisos);
    if (carpetaBloqueada())
      carpetaBloqueadaAhora.emplace(QFileInfo(obra).absolutePath(), testsupport::SoloLectura::SoloPermisos);
    cajas.answer(ui::vbOK);
    abre(obra);
    ASSERT_TRUE(quarvel::obraAbierta);
    ASSERT_EQ(cajas.shown().size(), 1u);
    EXPECT_TRUE(cajas.texts()[0].startsWith("La obra se abrió sólo para lectura")) << cajas.texts()[0].toStdString();
    QStringList avisos = cajas.texts();

    int paginas = -1;
    frmRep* f = abrePresentacion(paginas);
    ASSERT_NE(f, nullptr);
    if (producto() != u"Plicadora")
      avisos << "La base de datos aun no esta cerrada";
    QString propuesto, pdf;
    wb::PrintService::instance().setPrintDialogHook([&](QPrinter& p) {
      propuesto = p.outputFileName();
      p.setOutputFileName(pdf);
      return true;
    });
    for (int tipo = 0; tipo < repgen::kTiposReporte; ++tipo) {
      SCOPED_TRACE(tipo);
      f->Combo2->setCurrentIndex(tipo);
      emit f->Combo2->activated(tipo);
      f->Combo3->setCurrentIndex(1);
      paginas = -1;
      f->Command1->click();
      EXPECT_GT(paginas, 0);

      f->Combo3->setCurrentIndex(0);
      pdf = salida.filePath(QStringLiteral("reporte%1.pdf").arg(tipo));
      f->Command1->click();
      EXPECT_GT(QFileInfo(pdf).size(), 1000);
      EXPECT_EQ(QFileInfo(propuesto).absolutePath(),
                carpetaBloqueada() ? QDir::homePath() : QFileInfo(obra).absolutePath());
    }
    wb::PrintService::instance().setPreviewHook(nullptr);
    wb::PrintService::instance().setPrintDialogHook(nullptr);
    EXPECT_EQ(cajas.texts(), avisos);

    // Recalculated for the reports, in memory.
    EXPECT_NE(quarvel::rsDatosGenerales->Value("Totalletra").toString(), "$1.00");
    auto importe = quarvel::dbObra->OpenRecordset("SELECT Sum(Importe) AS i FROM Presupuesto WHERE Codigo = 'PRE-001'");
    EXPECT_GT(importe->Value("i").toDouble(), 0);
    ASSERT_TRUE(clic("mnuCer"));
  }
  EXPECT_EQ(huella(obra), antes);
}

INSTANTIATE_TEST_SUITE_P(Ediciones, ProgramaSoloLectura,
                         ::testing::Combine(::testing::Values("Tornavo", "Plicadora"),
                                            ::testing::Values(Bloqueo::Archivo, Bloqueo::Carpeta, Bloqueo::Ambos)),
                         [](const auto& info) {
                           const Bloqueo b = std::get<1>(info.param);
                           return std::string(std::get<0>(info.param)) +
                                  (b == Bloqueo::Archivo ? "_Archivo" : b == Bloqueo::Carpeta ? "_Carpeta" : "_Ambos");
                         });

}  // namespace
