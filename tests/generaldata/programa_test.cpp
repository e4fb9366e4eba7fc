// The dialog in the program: the main window's general-data tools show it modal over the open bid.
#include "frmdatgen.h"

#include "dao.h"
#include "quarvel.h"
#include "registrodatgen.h"
#include "registroentrada.h"
#include "shellfixture.h"
#include "ventanas.h"

#include "qt_print.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

using namespace shelltest;

namespace {

class EnElPrograma : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    registraVentanasEntrada(ventanas::registro());
    registraVentanaDatGen(ventanas::registro());
  }
};

TEST_F(EnElPrograma, TheGeneralDataToolsShowTheDialogModalAndItsOkReachesTheBid) {
  for (const QString producto : {QStringLiteral("Tornavo"), QStringLiteral("Plicadora")}) {
    SCOPED_TRACE(producto.toStdString());
    ASSERT_TRUE(arranca(producto));
    abre(carpeta.copiaEjemplo(QStringLiteral("obras/%1.mdb").arg(producto)));
    ASSERT_TRUE(quarvel::obraAbierta);
    for (const char* herramienta : {"miverparametros", "mnuInd", "Indirectos"}) {
      modales.clear();
      EXPECT_TRUE(clic(QString::fromLatin1(herramienta))) << herramienta;
      EXPECT_EQ(modales, QStringList{"FrmDatGen"}) << herramienta;
    }
    EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>()) << "each opening is unloaded when it closes";

    // The user types a contract number and accepts.
    ui::Forms::instance().setModalRunner([](QDialog* d) {
      auto* f = static_cast<FrmDatGen*>(d);
      EXPECT_EQ(f->gbPeriodicidad->isHidden(), QCoreApplication::applicationName() != "Plicadora");
      f->PonTexto(QStringLiteral("Contrato"), QStringLiteral("CONTRATO-9"));
      f->Aceptar->click();
      return int(QDialog::Accepted);
    });
    EXPECT_TRUE(clic(QStringLiteral("mnuInd")));
    EXPECT_EQ(quarvel::rsDatosGenerales->Value(QStringLiteral("numContrato")).toString(), "CONTRATO-9");
    EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
    EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
    TearDown();
    SetUp();
  }
}

}  // namespace
