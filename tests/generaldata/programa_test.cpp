// The dialog in the program: the main window's general-data tools show it modal over the open bid.
#include "frmdatgen.h"

#include "dao.h"
#include "quarvel.h"
#include "registrodatgen.h"
#include "registroentrada.h"
#include "shellfixture.h"
#include "ventanas.h"

#include "qt_print.h"
#include "solo_lectura.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

using namespace shelltest;

namespace {

QByteArray huella(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

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

// A bid that cannot be written (by the permissions of its file or folder: the superuser too reads it
// so): it opens saying so once; opening the dialog, evaluating its footer and cancelling show nothing;
// Aceptar, which tries to store, says 3027 once, and the file is as it was. Both editions.
TEST_F(EnElPrograma, TheDialogOfAReadOnlyBidSpeaksOnlyWhenItTriesToStore) {
  struct Caso {
    const char* producto;
    bool carpeta;
  };
  for (const Caso& c : {Caso{"Tornavo", false}, Caso{"Tornavo", true}, Caso{"Plicadora", false}, Caso{"Plicadora", true}}) {
    SCOPED_TRACE(std::string(c.producto) + (c.carpeta ? ", carpeta" : ", archivo"));
    ASSERT_TRUE(arranca(QString::fromLatin1(c.producto)));
    const QString obra = carpeta.copiaEjemplo(QStringLiteral("obras/%1%2.mdb").arg(c.producto).arg(c.carpeta));
    const QByteArray antes = huella(obra);
    const size_t vistas = cajas.shown().size();
    {
      testsupport::SoloLectura soloLectura(c.carpeta ? QFileInfo(obra).absolutePath() : obra,
                                           testsupport::SoloLectura::SoloPermisos);
      cajas.answer(ui::vbOK);
      abre(obra);
      ASSERT_TRUE(quarvel::obraAbierta);
      ASSERT_EQ(cajas.shown().size(), vistas + 1) << cajas.texts().join(" | ").toStdString();
      EXPECT_EQ(cajas.texts()[int(vistas)],
                QStringLiteral("La obra se abrió sólo para lectura porque %1 es de sólo lectura.\r\n"
                               "Se puede consultar e imprimir, pero no se guardará ningún cambio.")
                    .arg(c.carpeta ? "la carpeta " + QDir::toNativeSeparators(QFileInfo(obra).absolutePath())
                                   : "el archivo " + QDir::toNativeSeparators(obra)));

      // Opened and cancelled: not a word.
      ui::Forms::instance().setModalRunner([](QDialog* d) {
        d->show();   // on show, its activation evaluates the footer
        QCoreApplication::processEvents();
        static_cast<FrmDatGen*>(d)->Cancelar->click();
        return int(QDialog::Rejected);
      });
      EXPECT_TRUE(clic(QStringLiteral("mnuInd")));
      EXPECT_EQ(cajas.shown().size(), vistas + 1) << cajas.texts().join(" | ").toStdString();

      // Aceptar tries to store: once, then Cancelar closes it without another word.
      ui::Forms::instance().setModalRunner([this](QDialog* d) {
        d->show();
        QCoreApplication::processEvents();
        auto* f = static_cast<FrmDatGen*>(d);
        f->PonTexto(QStringLiteral("Contrato"), QStringLiteral("CONTRATO-9"));
        cajas.answer(ui::vbOK);
        f->Aceptar->click();
        if (ui::Forms::instance().isLoaded(f))
          f->Cancelar->click();
        return int(QDialog::Rejected);
      });
      EXPECT_TRUE(clic(QStringLiteral("mnuInd")));
      ASSERT_EQ(cajas.shown().size(), vistas + 2) << cajas.texts().join(" | ").toStdString();
      EXPECT_EQ(cajas.texts().back(), "Error en frmDatGen.Aceptar_Click 3027 " + dao::errorDescription(3027));
      EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
      EXPECT_TRUE(clic(QStringLiteral("mnuCer")));
    }
    EXPECT_EQ(huella(obra), antes);
    TearDown();
    SetUp();
  }
}

}  // namespace
