#include "filedialog.h"

#include "error.h"
#include "modal_driver.h"
#include "qt_print.h"
#include "scripted_ui.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using namespace ui;

TEST(FileDialog, VbFiltersBecomeQtNameFiltersThatIgnoreCase) {
  const std::pair<QString, QStringList> cases[] = {
      {"Base de datos|*.mdb", {"Base de datos (*.mdb *.MDB)"}},
      {"Control OCX|VCF132.OCX", {"Control OCX (VCF132.OCX vcf132.ocx)"}},
      {"Hojas de cálculo|*.xls;*.xlsx|Todos los archivos|*.*",
       {"Hojas de cálculo (*.xls *.XLS *.xlsx *.XLSX)", "Todos los archivos (*)"}},
      {"", {}},
      {"Sin patrón", {}},
      {"Vacío||Datos|*.Kor", {"Datos (*.Kor *.kor *.KOR)"}},
  };
  for (const auto& [vb, qt] : cases) EXPECT_EQ(qtNameFilters(vb), qt) << vb.toStdString();
}

TEST(CommonDialog, ShowOpenPassesItsPropertiesAndTakesTheChosenPath) {
  testui::ScriptedFileDialogs dialogs;
  dialogs.choose("/datos/obras/Escuela.mdb").choose("/datos/otra.mdb");
  CommonDialog dlg;
  dlg.DialogTitle = "Abrir";
  dlg.Filter = "Base de datos|*.mdb";
  dlg.FileName = "Escuela.mdb";
  dlg.InitDir = "/datos/obras/";
  dlg.Flags = 0x1804;
  dlg.ShowOpen();
  EXPECT_EQ(dlg.FileName, "/datos/obras/Escuela.mdb");
  dlg.DialogTitle = "Reparar base de datos";
  dlg.ShowOpen();
  EXPECT_EQ(dlg.FileName, "/datos/otra.mdb");

  ASSERT_EQ(dialogs.shown().size(), 2u);
  const FileDialogRequest& first = dialogs.shown()[0];
  EXPECT_EQ(first.title, "Abrir");
  EXPECT_EQ(first.fileName, "Escuela.mdb");
  EXPECT_EQ(first.initDir, "/datos/obras/");
  EXPECT_EQ(first.flags, cdlOFNHideReadOnly | cdlOFNPathMustExist | cdlOFNFileMustExist);
  EXPECT_EQ(first.filter, "Base de datos|*.mdb");
  // The second call sees what the first left: the chosen path and the filter.
  EXPECT_EQ(dialogs.shown()[1].title, "Reparar base de datos");
  EXPECT_EQ(dialogs.shown()[1].fileName, "/datos/obras/Escuela.mdb");
  EXPECT_EQ(dialogs.shown()[1].filter, "Base de datos|*.mdb");
}

TEST(CommonDialog, CancelRaises32755OrLeavesTheFileNameAsItWas) {
  testui::ScriptedFileDialogs dialogs;
  dialogs.cancel().cancel();
  CommonDialog dlg;
  dlg.FileName = "antes.mdb";
  try {
    dlg.ShowOpen();
    ADD_FAILURE() << "no error on cancel";
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), 32755);
    EXPECT_FALSE(e.description().isEmpty());
  }
  EXPECT_EQ(dlg.FileName, "antes.mdb");

  dlg.CancelError = false;
  dlg.FileName = "";
  EXPECT_NO_THROW(dlg.ShowOpen());
  EXPECT_EQ(dlg.FileName, "");
}

TEST(ScriptedFileDialogs, ADialogWithoutAnswerFailsTheTestAndCancels) {
  EXPECT_NONFATAL_FAILURE(
      {
        testui::ScriptedFileDialogs dialogs;
        CommonDialog dlg;
        dlg.DialogTitle = "Abrir";
        dlg.CancelError = false;
        dlg.ShowOpen();
      },
      "file dialog shown with no scripted answer: \"Abrir\"");
  EXPECT_NONFATAL_FAILURE(
      {
        CommonDialog dlg;
        dlg.CancelError = false;
        dlg.ShowOpen();
      },
      "no ScriptedFileDialogs in place");
}

// The windowed implementation, driven through a real QFileDialog.
QFileDialog* asDialog(QWidget* w) {
  auto* d = qobject_cast<QFileDialog*>(w);
  EXPECT_NE(d, nullptr);
  return d;
}

class QtFileDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    QFile f(path("Escuela.mdb"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

  QTemporaryDir dir;
  ModalDriver driver;
  QtFileDialogService qt;
};

TEST_F(QtFileDialogTest, OpensAtTheFolderWithTitleAndFiltersAndReturnsTheChosenFile) {
  driver.then([&](QWidget* w) {
    QFileDialog* d = asDialog(w);
    if (!d) return;
    EXPECT_EQ(d->windowTitle(), "Abrir");
    EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(d->nameFilters(), QStringList({"Base de datos (*.mdb *.MDB)"}));
    EXPECT_EQ(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    d->selectFile("Escuela.mdb");
    static_cast<QDialog*>(d)->accept();
  });
  const auto chosen = qt.showOpen({"Abrir", "", dir.path(), 0x1804, "Base de datos|*.mdb", ""});
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(QFileInfo(*chosen).canonicalFilePath(), QFileInfo(path("Escuela.mdb")).canonicalFilePath());
  EXPECT_TRUE(driver.done());
}

TEST_F(QtFileDialogTest, RejectingTheDialogIsACancel) {
  driver.then([&](QWidget* w) {
    if (QFileDialog* d = asDialog(w)) d->reject();
  });
  EXPECT_FALSE(qt.showOpen({"Abrir", "", dir.path(), 0x1804, "Base de datos|*.mdb", ""}).has_value());
}

TEST_F(QtFileDialogTest, ANewFileIsCreatedOnlyAfterTheUserAgrees) {
  testui::ScriptedMsgBoxes boxes;
  boxes.answer(vbNo).answer(vbYes);
  for (int i = 0; i < 2; ++i)
    driver.then([&](QWidget* w) {
      QFileDialog* d = asDialog(w);
      if (!d) return;
      EXPECT_EQ(d->fileMode(), QFileDialog::AnyFile);
      d->selectFile("nueva");
      static_cast<QDialog*>(d)->accept();
    });
  const auto chosen = qt.showOpen({"Nueva", "", dir.path(), 0x2804, "Base de datos|*.mdb", ".mdb"});
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(QFileInfo(*chosen).fileName(), "nueva.mdb");
  EXPECT_EQ(QFileInfo(*chosen).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_TRUE(boxes.shown()[0].prompt.contains("nueva.mdb"));
  EXPECT_EQ(boxes.shown()[0].buttonSet(), vbYesNo);
  EXPECT_TRUE(driver.done());
}

TEST_F(QtFileDialogTest, AFileInAFolderThatDoesNotExistIsRefusedWhenThePathMustExist) {
  testui::ScriptedMsgBoxes boxes;
  boxes.answer(vbOK);
  driver.then([&](QWidget* w) {
    if (QFileDialog* d = asDialog(w)) {
      d->selectFile(path("no-existe/obra.mdb"));
      static_cast<QDialog*>(d)->accept();
    }
  });
  driver.then([&](QWidget* w) {
    if (QFileDialog* d = asDialog(w)) d->reject();
  });
  EXPECT_FALSE(qt.showOpen({"Nueva", "", dir.path(), 0x2804, "Base de datos|*.mdb", ""}).has_value());
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_TRUE(boxes.shown()[0].prompt.contains("no-existe"));
  EXPECT_TRUE(driver.done());
}

}  // namespace
