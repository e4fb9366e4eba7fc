#include "frmregistro.h"

#include "enter_en_boton.h"
#include "error.h"
#include "qt_print.h"
#include "scripted_ui.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QString kApp = QStringLiteral("RegistroDobrik");
const QString kSection = QStringLiteral("Registrar");
const QString kUnset = QStringLiteral("<sin valor>");

// Records every start; the start numbered `failAt` (from 1) fails as a missing program does.
class RecordingStarter : public ProgramStarter {
public:
  void start(const QString& program, const QStringList& arguments) override {
    if (++calls == failAt) throw vb::Error(53);
    started.append(QStringList{program} + arguments);
  }
  QList<QStringList> started;
  int calls = 0;
  int failAt = 0;
};

class FrmRegistroTest : public ::testing::Test {
protected:
  QTemporaryDir dir;
  ui::SettingsRedirect redirect{dir.path() + "/settings"};
  testui::ScriptedMsgBoxes boxes;
  RecordingStarter starter;

  QString makeFile(const QString& relative) {
    const QString path = dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("MZ");
    return path;
  }
  QString setting(const QString& key) { return ui::GetSetting(kApp, kSection, key, kUnset); }
  void expectNothingStored() {
    for (const char* key : {"PorEjecutar", "rutadobrik", "rutakor"}) EXPECT_EQ(setting(key), kUnset) << key;
  }
};

TEST_F(FrmRegistroTest, FirstStartProposesTheSystemCopyWithTheDefaultPaths) {
  frmRegistro form(&starter);
  EXPECT_EQ(form.windowTitle(), "Registrar OCX");
  EXPECT_EQ(form.size(), QSize(507, 208));  // 7605 x 3120 twips
  EXPECT_EQ(form.Frame1->title(), "Control por registrar");
  EXPECT_TRUE(form.Option1[0]->isChecked());
  EXPECT_FALSE(form.Option1[1]->isChecked());
  // No 32-bit system folder here: the program's own folder stands for it.
  EXPECT_EQ(form.Text1->text(), QCoreApplication::applicationDirPath() + "/VCF132.OCX");
  EXPECT_EQ(form.Text3->text(), "C:\\KORW2000\\VCF132.OCX");
  expectNothingStored();
}

TEST_F(FrmRegistroTest, RegisteringUnregistersTheOtherCopyFirstAndProposesItNextTime) {
  const QString quil = makeFile("sistema/VCF132.OCX");
  const QString kor = makeFile("KORW2000/VCF132.OCX");
  {
    frmRegistro form(&starter);
    form.Text1->setText(quil);
    form.Text3->setText(kor);
    form.Command1[0]->click();
    EXPECT_EQ(starter.started, (QList<QStringList>{{"regsvr32", "-u", kor}, {"regsvr32", quil}}));
    EXPECT_EQ(setting("PorEjecutar"), "1");
    EXPECT_EQ(setting("rutadobrik"), quil);
    EXPECT_EQ(setting("rutakor"), kor);
  }
  starter.started.clear();
  // The next start proposes the other copy; registering it without the first copy on disk
  // leaves the unregistration out.
  QFile::remove(quil);
  {
    frmRegistro form(&starter);
    form.show();
    EXPECT_TRUE(form.Option1[1]->isChecked());
    EXPECT_EQ(form.Text1->text(), quil);
    EXPECT_EQ(form.Text3->text(), kor);
    form.Command1[0]->click();
    EXPECT_EQ(starter.started, (QList<QStringList>{{"regsvr32", kor}}));
    EXPECT_EQ(setting("PorEjecutar"), "0");
    EXPECT_TRUE(form.isVisible());  // registering leaves the window open
  }
  frmRegistro again(&starter);
  EXPECT_TRUE(again.Option1[0]->isChecked());
}

// Enter, the main key or the keypad's, on a focused button presses it: "Aceptar" registers the chosen
// copy, "Cancelar" closes the window.
TEST_F(FrmRegistroTest, EnterOnAFocusedButtonPressesIt) {
  const QString quil = makeFile("sistema/VCF132.OCX");
  for (const testsupport::TeclaEnter tecla : testsupport::kTeclasEnter) {
    SCOPED_TRACE(testsupport::nombre(tecla));
    starter.started.clear();
    frmRegistro form(&starter);
    form.Option1[0]->setChecked(true);
    form.Text1->setText(quil);
    form.Text3->setText(dir.filePath("no/VCF132.OCX"));
    ASSERT_TRUE(testsupport::enterEn(form.Command1[0], tecla));
    EXPECT_EQ(starter.started, (QList<QStringList>{{"regsvr32", quil}}));
    EXPECT_TRUE(form.isVisible());
    ASSERT_TRUE(testsupport::enterEn(form.Command1[1], tecla));
    EXPECT_FALSE(form.isVisible());
  }
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(FrmRegistroTest, AMissingChosenCopyIsReportedAndNothingIsStartedOrStored) {
  const QString other = makeFile("otra/VCF132.OCX");
  QDir().mkpath(dir.filePath("carpeta"));
  const QString missing[] = {dir.filePath("no/VCF132.OCX"), QString(), dir.filePath("carpeta")};
  for (int option = 0; option < 2; ++option) {
    for (const QString& path : missing) {
      frmRegistro form(&starter);
      form.Option1[option]->setChecked(true);
      (option == 0 ? form.Text1 : form.Text3)->setText(path);
      (option == 0 ? form.Text3 : form.Text1)->setText(other);
      boxes.answer(ui::vbOK);
      form.Command1[0]->click();
      ASSERT_FALSE(boxes.shown().empty());
      const ui::MsgBoxRequest& box = boxes.shown().back();
      EXPECT_EQ(box.prompt, "El control OCX a registrar no existe") << path.toStdString();
      EXPECT_EQ(box.title, "Regristro OCX");
      EXPECT_EQ(box.icon(), ui::vbInformation);
      EXPECT_EQ(box.buttonSet(), ui::vbOKOnly);
    }
  }
  EXPECT_EQ(boxes.shown().size(), 6u);
  EXPECT_TRUE(starter.started.isEmpty());
  expectNothingStored();
}

TEST_F(FrmRegistroTest, AFailedStartIsReportedEndsTheAttemptAndStoresNothing) {
  const QString quil = makeFile("a/VCF132.OCX");
  const QString kor = makeFile("b/VCF132.OCX");
  for (int failAt : {1, 2}) {
    starter.started.clear();
    starter.calls = 0;
    starter.failAt = failAt;
    frmRegistro form(&starter);
    form.show();
    form.Text1->setText(quil);
    form.Text3->setText(kor);
    boxes.answer(ui::vbOK);
    form.Command1[0]->click();
    EXPECT_EQ(boxes.shown().back().prompt, "Mensaje :53   No se ha encontrado el archivo");
    EXPECT_EQ(boxes.shown().back().buttons, ui::vbOKOnly);
    EXPECT_EQ(boxes.shown().back().title, ui::appTitle());
    // A failed unregistration does not go on to the registration.
    EXPECT_EQ(starter.calls, failAt);
    EXPECT_TRUE(form.isVisible());
  }
  expectNothingStored();
}

TEST_F(FrmRegistroTest, BrowsingFillsTheBoxAndCancellingEmptiesIt) {
  testui::ScriptedFileDialogs dialogs;
  const QString chosen = makeFile("elegido/VCF132.OCX");
  frmRegistro form(&starter);
  const QString before = form.Text3->text();

  dialogs.choose(chosen).cancel();
  form.Command2[0]->click();
  EXPECT_EQ(form.Text1->text(), chosen);
  EXPECT_EQ(form.Text3->text(), before);
  form.Command2[1]->click();
  EXPECT_EQ(form.Text3->text(), QString());

  ASSERT_EQ(dialogs.shown().size(), 2u);
  for (const ui::FileDialogRequest& r : dialogs.shown()) {
    EXPECT_EQ(r.fileName, QString());
    EXPECT_EQ(r.filter, "Control OCX|VCF132.OCX");
    EXPECT_EQ(r.defaultExt, ".OCX");
    EXPECT_EQ(r.flags, ui::cdlOFNHideReadOnly | ui::cdlOFNPathMustExist | ui::cdlOFNFileMustExist);
  }
  // The file name is cleared before every showing, so a cancel after a choice still empties.
  dialogs.cancel();
  form.Command2[0]->click();
  EXPECT_EQ(form.Text1->text(), QString());
}

TEST_F(FrmRegistroTest, AStoredChoiceOtherThanZeroOrOneProposesTheFirstOption) {
  const struct {
    const char* stored;
    int expected;
  } cases[] = {{"0", 0}, {"1", 1}, {" 1", 1}, {"2", 0}, {"-1", 0}, {"abc", 0}, {"", 0}, {"1e300", 0}};
  for (const auto& c : cases) {
    ui::SaveSetting(kApp, kSection, "PorEjecutar", c.stored);
    frmRegistro form(&starter);
    EXPECT_TRUE(form.Option1[c.expected]->isChecked()) << c.stored;
    EXPECT_FALSE(form.Option1[1 - c.expected]->isChecked()) << c.stored;
  }
}

TEST_F(FrmRegistroTest, TheWindowIsCentredWhenShownAndAfterEveryResize) {
  frmRegistro form(&starter);
  form.show();
  const QRect screen = form.screen()->geometry();
  const QPoint centred(screen.left() + (screen.width() - form.frameGeometry().width()) / 2,
                       screen.top() + (screen.height() - form.frameGeometry().height()) / 2);
  EXPECT_EQ(form.frameGeometry().topLeft(), centred);

  form.move(3, 4);
  QResizeEvent resize(form.size(), form.size());
  QCoreApplication::sendEvent(&form, &resize);
  EXPECT_EQ(form.frameGeometry().topLeft(), centred);

  form.Command1[1]->click();  // "Cancelar" closes the window
  EXPECT_FALSE(form.isVisible());
}

// The real starter against a stand-in registrar on the PATH: each argument arrives whole.
class RegistrarOnPath : public FrmRegistroTest {
protected:
  void SetUp() override {
    savedPath_ = qgetenv("PATH");
    QDir().mkpath(dir.filePath("bin"));
    QDir().mkpath(dir.filePath("out"));
  }
  void TearDown() override { qputenv("PATH", savedPath_); }
  void installRegistrar() {
    const QString script = dir.filePath("bin/regsvr32");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QString out = dir.filePath("out");
    f.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"%1/$$.tmp\" && mv \"%1/$$.tmp\" \"%1/$$.args\"\n")
                .arg(out)
                .toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  QStringList waitForCalls(int count) {
    QElapsedTimer timer;
    timer.start();
    QStringList found;
    while (timer.elapsed() < 20000) {
      found = QDir(dir.filePath("out")).entryList({"*.args"}, QDir::Files);
      if (found.size() >= count) break;
      QThread::msleep(20);
    }
    QStringList calls;
    for (const QString& name : found) {
      QFile f(dir.filePath("out/" + name));
      EXPECT_TRUE(f.open(QIODevice::ReadOnly));
      calls.append(QString::fromUtf8(f.readAll()));
    }
    calls.sort();
    return calls;
  }

private:
  QByteArray savedPath_;
};

TEST_F(RegistrarOnPath, PathsWithBlanksReachTheRegistrarAsOneArgument) {
  installRegistrar();
  qputenv("PATH", QFile::encodeName(dir.filePath("bin")) + ":" + qgetenv("PATH"));
  const QString quil = makeFile("Archivos de programa/Quil  dos/VCF132.OCX");
  const QString kor = makeFile("KOR W2000/VCF132.OCX");
  frmRegistro form;  // starts programs for real
  form.Text1->setText(quil);
  form.Text3->setText(kor);
  form.Command1[0]->click();
  EXPECT_EQ(waitForCalls(2), (QStringList{"1\n" + quil + "\n", "2\n-u\n" + kor + "\n"}));
  EXPECT_EQ(setting("PorEjecutar"), "1");
}

TEST_F(RegistrarOnPath, WithoutARegistrarTheStartFailsAsAMissingFile) {
  qputenv("PATH", QFile::encodeName(dir.filePath("bin")));  // an empty folder
  const QString quil = makeFile("a/VCF132.OCX");
  frmRegistro form;
  form.Text1->setText(quil);
  form.Text3->setText(dir.filePath("no/VCF132.OCX"));
  boxes.answer(ui::vbOK);
  form.Command1[0]->click();
  EXPECT_EQ(boxes.texts(), QStringList{"Mensaje :53   No se ha encontrado el archivo"});
  expectNothingStored();
}

}  // namespace
