#include "frmcierre.h"

#include "copia_programa.h"
#include "dao.h"
#include "estado_quarvel.h"
#include "qt_print.h"
#include "quarvel.h"
#include "scripted_ui.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using vb::Variant;

struct Estado {
  bool cerrada;
  Variant contrasena;
};

// A bid open as the program opens it: exclusive, with its shared general-data recordset.
class Cierre : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ruta_ = dir_.filePath(QStringLiteral("obra.mdb"));
    ASSERT_TRUE(testsupport::copiaDelPrograma(QStringLiteral("TORNAVO.KOR"), ruta_));
    quarvel::dbObra = dao::DBEngine::OpenDatabase(ruta_, true, false, quarvel::kConexion);
    quarvel::rsDatosGenerales = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT * FROM DatosGenerales"));
    quarvel::obraAbierta = true;
  }
  void TearDown() override {
    if (auto* f = ui::Forms::instance().find<FrmCierre>()) ui::Forms::instance().unload(f);
    QCoreApplication::processEvents();
    testsupport::cierraObra();
  }

  void guarda(const Estado& e) {
    auto& rs = *quarvel::rsDatosGenerales;
    rs.Edit();
    rs.SetValue(QStringLiteral("BaseCerrada"), e.cerrada);
    rs.SetValue(QStringLiteral("Contraseña"), e.contrasena);
    rs.Update();
  }
  // Read from the file, not from the dialog's recordset.
  Estado guardado() {
    auto rs = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT BaseCerrada, Contraseña FROM DatosGenerales"),
                                            dao::RecordsetType::Snapshot);
    return {rs->Value(QStringLiteral("BaseCerrada")).toBool(), rs->Value(QStringLiteral("Contraseña"))};
  }

  static FrmCierre* dialogo() { return ui::Forms::instance().get<FrmCierre>(); }
  static bool cargado() { return ui::Forms::instance().find<FrmCierre>() != nullptr; }

  QTemporaryDir dir_;
  QString ruta_;
};

TEST_F(Cierre, LoadProposesClosingAnOpenBidAndOpeningAClosedOne) {
  for (bool cerrada : {false, true}) {
    guarda({cerrada, cerrada ? Variant("CLAVE") : Variant(" ")});
    FrmCierre* f = dialogo();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->windowTitle(), "Cerrar/Abrir base");
    EXPECT_EQ(f->Cerrar->isChecked(), !cerrada);
    EXPECT_EQ(f->Abrir->isChecked(), cerrada);
    EXPECT_EQ(f->Confirma->isEnabled(), !cerrada);
    EXPECT_EQ(f->Confirma->palette().color(QPalette::Base) == QApplication::palette().color(QPalette::Base), !cerrada);
    EXPECT_TRUE(f->Contrasena->text().isEmpty());
    EXPECT_EQ(f->Contrasena->objectName(), "Contraseña");
    ui::Forms::instance().unload(f);
    QCoreApplication::processEvents();
  }
}

TEST_F(Cierre, AcceptFollowsTheLockRules) {
  enum Opcion { Cerrar, Abrir };
  struct Caso {
    const char* nombre;
    Estado antes;
    Opcion opcion;
    QString contrasena, confirma;
    QString mensaje;
    int icono;
    Estado despues;
  };
  const Variant blanco(" ");
  const QString largo(60, QLatin1Char('a'));
  const std::vector<Caso> casos = {
      {"closing stores the password upper-cased without trailing blanks", {false, blanco}, Cerrar, "secreto  ",
       "SECRETO", {}, 0, {true, Variant("SECRETO")}},
      {"closing with an empty password stores an empty text", {false, blanco}, Cerrar, "", "", {}, 0,
       {true, Variant("")}},
      {"a confirmation that differs", {false, blanco}, Cerrar, "abc", "abd",
       "La confirmación de la contraseña es inválida", ui::vbCritical, {false, blanco}},
      {"leading blanks count in the confirmation", {false, blanco}, Cerrar, "abc", " abc",
       "La confirmación de la contraseña es inválida", ui::vbCritical, {false, blanco}},
      {"reopening in lower case with trailing blanks", {true, Variant("SECRETO")}, Abrir, "secreto   ", "", {}, 0,
       {false, blanco}},
      {"reopening with a leading blank is refused", {true, Variant("SECRETO")}, Abrir, " secreto", "",
       "La contraseña es inválida", ui::vbCritical, {true, Variant("SECRETO")}},
      {"an empty stored password reopens with blanks", {true, Variant("")}, Abrir, "   ", "", {}, 0,
       {false, blanco}},
      {"a Null stored password reopens with anything", {true, Variant::null()}, Abrir, "cualquiera", "", {}, 0,
       {false, blanco}},
      {"reopening an open bid with a blank stored rewrites the blank", {false, blanco}, Abrir, "", "", {}, 0,
       {false, blanco}},
      {"closing a closed bid only tells so", {true, Variant("SECRETO")}, Cerrar, "x", "x", "La base esta cerrada",
       ui::vbInformation, {true, Variant("SECRETO")}},
      {"a password longer than the bid keeps is refused, not cut", {false, blanco}, Cerrar, largo, largo,
       "Error en FrmCierre.Aceptar_Click 3163 ", 0, {false, blanco}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    guarda(c.antes);
    FrmCierre* f = dialogo();
    ASSERT_TRUE(f);
    (c.opcion == Cerrar ? f->Cerrar : f->Abrir)->click();
    f->Contrasena->setText(c.contrasena);
    if (f->Confirma->isEnabled()) f->Confirma->setText(c.confirma);
    {
      testui::ScriptedMsgBoxes cajas;
      if (!c.mensaje.isEmpty()) cajas.answer(ui::vbOK);
      f->Aceptar->click();
      if (c.mensaje.isEmpty()) {
        EXPECT_TRUE(cajas.texts().isEmpty());
      } else if (cajas.shown().size() == 1) {
        EXPECT_TRUE(cajas.shown()[0].prompt.startsWith(c.mensaje)) << cajas.shown()[0].prompt.toStdString();
        EXPECT_EQ(cajas.shown()[0].icon(), c.icono);
      }
    }
    QCoreApplication::processEvents();
    const Estado e = guardado();
    EXPECT_EQ(e.cerrada, c.despues.cerrada);
    EXPECT_EQ(e.contrasena, c.despues.contrasena);
    // A refusal keeps the dialog up, with the password to type again.
    EXPECT_EQ(cargado(), !c.mensaje.isEmpty());
    if (cargado()) {
      if (c.mensaje.startsWith(QStringLiteral("La contraseña")) || c.mensaje.startsWith(QStringLiteral("La confirmación")))
        EXPECT_TRUE(f->Contrasena->text().isEmpty());
      if (c.mensaje.startsWith(QStringLiteral("La confirmación"))) EXPECT_TRUE(f->Confirma->text().isEmpty());
      ui::Forms::instance().unload(f);
      QCoreApplication::processEvents();
    }
  }
}

TEST_F(Cierre, CancelChangesNothing) {
  guarda({false, Variant(" ")});
  FrmCierre* f = dialogo();
  f->Contrasena->setText(QStringLiteral("abc"));
  f->Confirma->setText(QStringLiteral("abc"));
  f->Cancelar->click();
  QCoreApplication::processEvents();
  EXPECT_FALSE(cargado());
  EXPECT_FALSE(guardado().cerrada);
}

TEST_F(Cierre, WithNoBidOpenNothingCanBeClosedOrOpened) {
  quarvel::obraAbierta = false;
  testui::ScriptedMsgBoxes cajas;
  FrmCierre* f = dialogo();
  ASSERT_TRUE(f);
  EXPECT_TRUE(cajas.texts().isEmpty());
  EXPECT_FALSE(f->Cerrar->isChecked());
  EXPECT_FALSE(f->Abrir->isChecked());
  f->Abrir->click();
  cajas.answer(ui::vbOK);
  f->Aceptar->click();
  EXPECT_EQ(cajas.texts(), QStringList{"No hay ningun archivo abierto"});
  EXPECT_FALSE(guardado().cerrada);
  // Choosing to close unloads the dialog.
  f->Cerrar->click();
  QCoreApplication::processEvents();
  EXPECT_FALSE(cargado());
}

TEST_F(Cierre, ABidWithoutItsGeneralDataIsReportedOnLoad) {
  quarvel::rsDatosGenerales.reset();
  testui::ScriptedMsgBoxes cajas;
  cajas.answer(ui::vbOK);
  ASSERT_TRUE(dialogo());
  ASSERT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(cajas.shown()[0].prompt, "No hay ningun archivo abierto");
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbInformation);
}

QString enfocado() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }

TEST_F(Cierre, EnterAndArrowsMoveBetweenControlsAndNeverAccept) {
  guarda({false, Variant(" ")});
  FrmCierre* f = dialogo();
  f->show();
  f->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(f));
  EXPECT_EQ(enfocado(), "Contraseña");
  const auto pulsa = [](Qt::Key tecla) {
    QTest::keyClick(QApplication::focusWidget(), tecla);
    QCoreApplication::processEvents();
  };
  QTest::keyClicks(f->Contrasena, QStringLiteral("abc"));
  pulsa(Qt::Key_Return);
  EXPECT_EQ(enfocado(), "Confirma");
  QTest::keyClicks(f->Confirma, QStringLiteral("abc"));
  pulsa(Qt::Key_Enter);
  EXPECT_EQ(enfocado(), "Aceptar");
  pulsa(Qt::Key_Down);
  EXPECT_EQ(enfocado(), "Cancelar");
  pulsa(Qt::Key_Up);
  EXPECT_EQ(enfocado(), "Aceptar");
  pulsa(Qt::Key_Up);
  EXPECT_EQ(enfocado(), "Confirma");
  EXPECT_TRUE(cargado());
  EXPECT_FALSE(guardado().cerrada);
}

TEST_F(Cierre, ShownModalFromTheMainWindowsCommand) {
  guarda({false, Variant(" ")});
  QDialog* visto = nullptr;
  ui::Forms::instance().setModalRunner([&](QDialog* d) {
    visto = d;
    auto* f = static_cast<FrmCierre*>(d);
    f->Contrasena->setText(QStringLiteral("uno"));
    f->Confirma->setText(QStringLiteral("UNO "));
    f->Aceptar->click();
    return 0;
  });
  FrmCierre::Muestra();
  ui::Forms::instance().setModalRunner({});
  QCoreApplication::processEvents();
  ASSERT_TRUE(visto);
  EXPECT_FALSE(cargado());
  const Estado e = guardado();
  EXPECT_TRUE(e.cerrada);
  EXPECT_EQ(e.contrasena, Variant("UNO"));
}

}  // namespace
