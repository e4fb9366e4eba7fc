// The workbook repair window: a good workbook rebuilt beside its backup, a damaged one and a legacy
// .xls told apart, and what the rebuilt copy keeps.
#include "frmreparar.h"

#include "archivos.h"
#include "copia_programa.h"
#include "enter_en_boton.h"
#include "files.h"
#include "forms.h"
#include "qt_print.h"
#include "scripted_ui.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class Reparar : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ventana_ = new frmReparar;
    ui::Forms::instance().add(ventana_);
  }
  void TearDown() override { ui::Forms::instance().unload(ventana_); }

  QString ruta(const QString& nombre) const { return dir_.filePath(nombre); }
  // A copy of a template of the program folder.
  QString plantilla(const QString& nombre, const QString& destino) {
    const QString r = ruta(destino);
    testsupport::copiaDelPrograma(nombre, r);
    return r;
  }
  static QByteArray contenido(const QString& r) {
    QFile f(r);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void repara(const QString& r) {
    ventana_->Text1->setText(r);
    ventana_->Command1_Click();
  }

  QTemporaryDir dir_;
  testui::ScriptedMsgBoxes cajas_;
  frmReparar* ventana_ = nullptr;
};

// Enter, the main key or the keypad's, on the focused "Salir" closes the window, as a click does.
TEST_F(Reparar, EnterOnTheFocusedExitButtonClosesTheWindow) {
  for (const testsupport::TeclaEnter tecla : testsupport::kTeclasEnter) {
    SCOPED_TRACE(testsupport::nombre(tecla));
    if (!ui::Forms::instance().isLoaded(ventana_)) {
      ventana_ = new frmReparar;
      ui::Forms::instance().add(ventana_);
    }
    ASSERT_TRUE(testsupport::enterEn(ventana_->Command3, tecla));
    EXPECT_FALSE(ui::Forms::instance().isLoaded(ventana_));
  }
  EXPECT_TRUE(cajas_.shown().empty());
}

// Everything of every sheet is in the rebuilt workbook; the source is kept as its backup.
TEST_F(Reparar, AGoodWorkbookIsRebuiltBesideItsBackup) {
  const QString r = plantilla("Parator1.kor", "Presupuesto.kor");
  {
    // Sheets whose names the new sheets would have had, in the other order; a stray fill.
    wb::Book b;
    b.read(r);
    b.setSheetName(1, "Hoja2");
    b.insertSheets(2, 1);
    b.setSheetName(2, "Hoja1");
    b.setActiveCell(3, 2);
    b.setText("segunda hoja");
    b.setColWidth(2, 4321);
    b.setRowHeight(3, 777);
    b.setSheet(1);
    b.setActiveCell(40, 3);
    b.setPattern(1, 0, 0xFFFFFF);
    b.setActiveCell(41, 3);
    b.setPattern(1, 0xFF0000, 0xFFFFFF);
    b.write(r);
  }
  const QByteArray original = contenido(r);
  wb::Book antes;
  antes.read(r);

  cajas_.answer(ui::vbOK);
  repara(r);
  ASSERT_EQ(cajas_.texts(), QStringList({"La hoja ha sido reparada"}));
  EXPECT_EQ(cajas_.shown()[0].icon(), ui::vbInformation);
  EXPECT_EQ(contenido(ruta("Presupuesto.bak")), original);

  wb::Book despues;
  despues.read(r);
  ASSERT_EQ(despues.numSheets(), 2);
  for (int h = 1; h <= 2; ++h) {
    SCOPED_TRACE(h);
    antes.setSheet(h);
    despues.setSheet(h);
    EXPECT_EQ(despues.sheetName(h), antes.sheetName(h));
    const wb::Sheet& a = antes.currentSheet();
    const wb::Sheet& d = despues.currentSheet();
    ASSERT_EQ(despues.lastRow(), antes.lastRow());
    ASSERT_EQ(despues.lastCol(), antes.lastCol());
    for (int fila = 1; fila <= antes.lastRow(); ++fila) {
      EXPECT_EQ(despues.rowHeight(fila), antes.rowHeight(fila)) << fila;
      for (int c = 1; c <= antes.lastCol(); ++c) {
        EXPECT_EQ(despues.workbook().displayText(d, fila, c), antes.workbook().displayText(a, fila, c));
        antes.setActiveCell(fila, c);
        despues.setActiveCell(fila, c);
        EXPECT_EQ(despues.font(), antes.font());
        EXPECT_EQ(despues.border(), antes.border());
        EXPECT_EQ(despues.alignment(), antes.alignment());
        EXPECT_EQ(despues.numberFormat(), antes.numberFormat());
      }
    }
    for (int c = 1; c <= antes.lastCol(); ++c)
      EXPECT_EQ(despues.colWidth(c), antes.colWidth(c)) << c;
    EXPECT_EQ(d.page, a.page);
    EXPECT_EQ(d.showGridlines, a.showGridlines);
  }
  // The solid black-on-white fill is gone, its colours kept; another solid fill stays.
  despues.setSheet(1);
  despues.setActiveCell(40, 3);
  EXPECT_EQ(despues.pattern(), (wb::Book::Pattern{0, 0, 0xFFFFFF}));
  despues.setActiveCell(41, 3);
  EXPECT_EQ(despues.pattern(), (wb::Book::Pattern{1, 0xFF0000, 0xFFFFFF}));
}

// The drawing objects are copied where they were, with their pictures: a repaired budget template
// still has its logo inside its title rows, so every page of the report shows it. An object in the
// first row stays there and the objects after it are copied too.
TEST_F(Reparar, DrawingObjectsKeepTheirPlace) {
  const QString logo = plantilla("Parator1.kor", "Logo.kor");
  const QString arriba = ruta("Arriba.xlsx");
  {
    wb::Book libro;
    libro.newWorkbook();
    libro.setActiveCell(1, 1);
    libro.setText(QStringLiteral("Título"));
    libro.setActiveCell(20, 3);
    libro.setText(QStringLiteral("Pie"));
    libro.addShape(wb::DrawingObject::Kind::Rect, {1.0, 1.25, 3.0, 2.5});
    libro.addShape(wb::DrawingObject::Kind::Rect, {2.0, 10.0, 4.0, 12.0});
    libro.write(arriba);
  }
  // Positions go through the file's anchors, which keep them to a fraction of a point.
  const auto cerca = [](const wb::ObjPos& a, const wb::ObjPos& b) {
    return std::abs(a.x1 - b.x1) < 1e-3 && std::abs(a.y1 - b.y1) < 1e-3 && std::abs(a.x2 - b.x2) < 1e-3 &&
           std::abs(a.y2 - b.y2) < 1e-3;
  };
  for (const QString& r : {logo, arriba}) {
    SCOPED_TRACE(r.toStdString());
    wb::Book antes;
    antes.read(r);
    cajas_.answer(ui::vbOK);
    ventana_->Text1->setText(r);
    QTest::mouseClick(ventana_->Command1, Qt::LeftButton);
    EXPECT_EQ(cajas_.texts().last(), "La hoja ha sido reparada");
    wb::Book despues;
    despues.read(r);
    const auto& objetos = antes.currentSheet().objects;
    ASSERT_EQ(despues.currentSheet().objects.size(), objetos.size());
    for (size_t i = 0; i < objetos.size(); ++i) {
      const wb::DrawingObject& o = despues.currentSheet().objects[i];
      EXPECT_TRUE(cerca(o.pos, objetos[i].pos)) << i << ": row " << o.pos.y1 << " for " << objetos[i].pos.y1;
      EXPECT_EQ(o.imageData, objetos[i].imageData);
    }
  }
}

// An earlier backup is replaced; a second repair in the same window starts from an empty copy again,
// and a workbook of one sheet gets no further sheet.
TEST_F(Reparar, RepairingTwiceKeepsOneCopyOfEachSheet) {
  const QString r = plantilla("Parator2.kor", "Totales.xls");
  const QString otra = plantilla("Parator3.kor", "Programa.kor");
  {
    wb::Book b;
    b.read(otra);
    b.insertSheets(2, 1);
    b.write(otra);
  }
  cajas_.answer(ui::vbOK);
  repara(otra);
  {
    QFile viejo(ruta("Totales.bak"));
    ASSERT_TRUE(viejo.open(QIODevice::WriteOnly));
    viejo.write("respaldo anterior");
  }
  const QByteArray original = contenido(r);
  cajas_.answer(ui::vbOK).answer(ui::vbOK);
  repara(r);
  EXPECT_EQ(contenido(ruta("Totales.bak")), original);
  repara(r);
  EXPECT_EQ(cajas_.texts(), QStringList(3, "La hoja ha sido reparada"));
  wb::Book b;
  b.read(r);
  EXPECT_EQ(b.numSheets(), 1);
  EXPECT_EQ(b.sheetName(1), "Totales del presupuesto");
}

// A repair ended as a crash would end it, right after the backup is made: the workbook's name still
// holds the whole workbook, and the next repair leaves nothing but the workbook and its backup.
TEST_F(Reparar, ARepairEndedAfterItsBackupLeavesTheWorkbookWhole) {
  const QString r = plantilla("Parator2.kor", "Totales.kor");
  const QByteArray original = contenido(r);
  EXPECT_EXIT(
      {
        files::setStepHook([](const char* paso) {
          if (std::strcmp(paso, "backed-up") == 0) _exit(3);
        });
        cajas_.answer(ui::vbOK);
        repara(r);
        _exit(0);
      },
      ::testing::ExitedWithCode(3), "");
  EXPECT_TRUE(contenido(r) == original);
  EXPECT_TRUE(contenido(ruta("Totales.bak")) == original);

  cajas_.answer(ui::vbOK);
  repara(r);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"Totales.bak", "Totales.kor"}));
  EXPECT_TRUE(contenido(ruta("Totales.bak")) == original);
}

struct CasoIlegible {
  const char* nombre;
  QByteArray contenido;  // empty: no such file
  const char* empieza;   // the message starts with this
};

// A workbook that cannot be read is told (critical, "Quarvel 2007") and nothing is touched; a legacy
// .xls says what it is.
TEST_F(Reparar, AnUnreadableWorkbookIsToldAndLeftAlone) {
  const CasoIlegible casos[] = {
      {"Danado.kor", QByteArray("PK\x03\x04 roto", 10), "No se puede abrir el archivo"},
      {"Texto.xlsx", QByteArray("no es una hoja"), "No se puede abrir el archivo"},
      {"Falta.kor", QByteArray(), "No se puede abrir el archivo"},
      {"Antiguo.xls", QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(504, '\0'),
       "No se puede abrir el archivo \"Antiguo.xls\": es una hoja de cálculo de formato antiguo (.xls)"},
  };
  for (const CasoIlegible& c : casos) {
    SCOPED_TRACE(c.nombre);
    const QString r = ruta(c.nombre);
    if (!c.contenido.isEmpty()) {
      QFile f(r);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(c.contenido);
    }
    cajas_.answer(ui::vbOK);
    repara(r);
    ASSERT_FALSE(cajas_.shown().empty());
    const ui::MsgBoxRequest& caja = cajas_.shown().back();
    EXPECT_TRUE(caja.prompt.startsWith(QString::fromUtf8(c.empieza))) << caja.prompt.toStdString();
    EXPECT_EQ(caja.icon(), ui::vbCritical);
    EXPECT_EQ(caja.title, "Quarvel 2007");
    EXPECT_EQ(contenido(r), c.contenido);
    EXPECT_FALSE(QFile::exists(frmReparar::nombreRespaldo(r)));
  }
  EXPECT_EQ(cajas_.texts()[0], "No se puede abrir el archivo");
}

// The browse button puts the chosen file in the box.
TEST_F(Reparar, TheBrowseButtonFillsThePath) {
  testui::ScriptedFileDialogs dialogos;
  dialogos.choose(ruta("Elegido.kor")).cancel();
  ventana_->Command2_Click();
  EXPECT_EQ(ventana_->Text1->text(), ruta("Elegido.kor"));
  ventana_->Command2_Click();  // cancelled: unchanged
  EXPECT_EQ(ventana_->Text1->text(), ruta("Elegido.kor"));
}

// A template reached through a symbolic link is repaired in the file the link names: the link stays a
// link, the backup is made beside that file, and the file keeps its mode.
TEST_F(Reparar, ATemplateReachedThroughALinkIsRepairedInTheFileItNames) {
  ASSERT_TRUE(QDir(dir_.path()).mkpath("compartida"));
  ASSERT_TRUE(QDir(dir_.path()).mkpath("mias"));
  const QString archivo = plantilla("Parator2.kor", "compartida/Totales.kor");
  ASSERT_EQ(::chmod(QFile::encodeName(archivo).constData(), 0640), 0);
  ASSERT_EQ(::symlink("../compartida/Totales.kor", QFile::encodeName(ruta("mias/Totales.kor")).constData()), 0);
  const QByteArray original = contenido(archivo);

  cajas_.answer(ui::vbOK);
  ventana_->Text1->setText(ruta("mias/Totales.kor"));
  QTest::mouseClick(ventana_->Command1, Qt::LeftButton);
  EXPECT_EQ(cajas_.texts(), QStringList({"La hoja ha sido reparada"}));
  EXPECT_EQ(QFileInfo(ruta("mias/Totales.kor")).symLinkTarget(), archivo);
  EXPECT_EQ(QDir(ruta("mias")).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList({"Totales.kor"}));
  EXPECT_EQ(QDir(ruta("compartida")).entryList(QDir::Files | QDir::Hidden), QStringList({"Totales.bak", "Totales.kor"}));
  EXPECT_EQ(contenido(ruta("compartida/Totales.bak")), original);
  wb::Book b;
  b.read(archivo);
  EXPECT_EQ(b.sheetName(1), "Totales del presupuesto");
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(archivo).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A template, backup or folder the user may not write is refused with the message of any refused
// write, naming what refused it, and nothing changes. The superuser passes every permission check, so
// the rule also reads the permissions themselves: what nobody may write is read-only for everyone,
// and the test means the same run as root.
TEST_F(Reparar, AReadOnlyTemplateOrFolderIsRefusedAndLeftAlone) {
  ASSERT_TRUE(QDir(dir_.path()).mkpath("plantillas"));
  const QString r = plantilla("Parator2.kor", "plantillas/Totales.kor");
  ASSERT_TRUE(testsupport::pon(ruta("plantillas/Totales.bak"), "respaldo anterior"));
  const QByteArray original = contenido(r);
  struct Caso {
    const char* que;
    QString soloLectura;
  };
  const Caso casos[] = {{"the template", r}, {"its backup", ruta("plantillas/Totales.bak")}, {"its folder", ruta("plantillas")}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.que);
    {
      const testsupport::SinEscritura soloLectura(c.soloLectura);
      ASSERT_TRUE(soloLectura.hecho());
      cajas_.answer(ui::vbOK);
      ventana_->Text1->setText(r);
      QTest::mouseClick(ventana_->Command1, Qt::LeftButton);
    }
    ASSERT_FALSE(cajas_.texts().isEmpty());
    EXPECT_EQ(cajas_.texts().back(),
              "ErrorReparar: 20102 No se puede escribir el archivo \"Totales.kor\": Permiso denegado: " + c.soloLectura);
    EXPECT_EQ(contenido(r), original);
    EXPECT_EQ(contenido(ruta("plantillas/Totales.bak")), "respaldo anterior");
    EXPECT_EQ(QDir(ruta("plantillas")).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList({"Totales.bak", "Totales.kor"}));
  }
}

}  // namespace
