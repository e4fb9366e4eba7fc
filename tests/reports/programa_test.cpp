// The report window reached from the program's main window, as a user reaches it: the print command
// shows it modal, the preview command modeless, and neither with no printer installed.
#include "copia_programa.h"
#include "forms.h"
#include "frmrep.h"
#include "printers.h"
#include "printing.h"
#include "quarvel.h"
#include "registroentrada.h"
#include "registroreportes.h"
#include "shellfixture.h"
#include "ventanas.h"

#include <QComboBox>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTimer>

namespace {

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
    ASSERT_NE(arranca(), nullptr);
    abre(carpeta.archivo("Ejemplo.mdb"));
    ASSERT_TRUE(quarvel::obraAbierta);
    modales.clear();  // the splash
  }
  // The notice of a bid not yet locked, shown before every report.
  void avisoSinCerrar() { cajas.answer(ui::vbOK); }
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
  avisoSinCerrar();
  ASSERT_TRUE(clic("mnuPre"));
  frmRep* f = ui::Forms::instance().find<frmRep>();
  ASSERT_NE(f, nullptr);
  int paginas = -1;
  wb::PrintService::instance().setPreviewHook([&](QWidget& dlg) {
    QTimer::singleShot(0, &dlg, [&] {
      if (auto* w = dlg.findChild<QPrintPreviewWidget*>())
        paginas = w->pageCount();
      dlg.close();
    });
  });
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

}  // namespace
