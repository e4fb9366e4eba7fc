#include "settings.h"

#include "error.h"
#include "qt_print.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SettingsTest : public ::testing::Test {
protected:
  QTemporaryDir dir;
  ui::SettingsRedirect redirect{dir.path()};
};

TEST_F(SettingsTest, StoredTextComesBackAndMissingKeysGiveTheDefault) {
  EXPECT_EQ(ui::GetSetting("tornavo", "FrmPre", "Izquierda"), QString());
  EXPECT_EQ(ui::GetSetting("tornavo", "FrmPre", "Izquierda", "120"), "120");

  const QStringList values = {"1440", "", " ", "C:\\KORW2000\\VCF132.OCX", "a, b", "Año \"ñ\" = 3;#x",
                              "dos\r\nlíneas", "True"};
  for (const QString& v : values) {
    ui::SaveSetting("tornavo", "FrmPre", "Izquierda", v);
    EXPECT_EQ(ui::GetSetting("tornavo", "FrmPre", "Izquierda", "default"), v);
  }
  // Another key, section or application is untouched by those writes.
  EXPECT_EQ(ui::GetSetting("tornavo", "FrmPre", "Arriba", "d"), "d");
  EXPECT_EQ(ui::GetSetting("tornavo", "FrmMone", "Izquierda", "d"), "d");
  EXPECT_EQ(ui::GetSetting("RegistroDobrik", "FrmPre", "Izquierda", "d"), "d");
}

TEST_F(SettingsTest, NamesMatchWithoutRegardToCaseAndKeepTheirFirstSpelling) {
  ui::SaveSetting("RegistroDobrik", "Registrar", "PorEjecutar", "1");
  EXPECT_EQ(ui::GetSetting("registrodobrik", "REGISTRAR", "porejecutar"), "1");
  ui::SaveSetting("RegistroDobrik", "registrar", "POREJECUTAR", "0");
  EXPECT_EQ(ui::GetSetting("RegistroDobrik", "Registrar", "PorEjecutar"), "0");

  QFile file(QDir(dir.path()).filePath("RegistroDobrik.conf"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.contains("[Registrar]")) << text.toStdString();
  EXPECT_TRUE(text.contains("PorEjecutar=0")) << text.toStdString();
  EXPECT_FALSE(text.contains("POREJECUTAR")) << text.toStdString();
}

TEST_F(SettingsTest, EmptyNamesAreRefusedOnWriteAndGiveTheDefaultOnRead) {
  for (const auto& [app, section, key] : {std::tuple{"", "s", "k"}, {"a", "", "k"}, {"a", "s", ""}}) {
    try {
      ui::SaveSetting(app, section, key, "v");
      ADD_FAILURE() << "no error for '" << app << "' '" << section << "' '" << key << "'";
    } catch (const vb::Error& e) {
      EXPECT_EQ(e.number(), 5);
    }
    EXPECT_EQ(ui::GetSetting(app, section, key, "d"), "d");
  }
}

TEST_F(SettingsTest, AStoreThatCannotBeWrittenRaises75AndReadsStillWork) {
  QTemporaryDir other;
  const QString blocked = QDir(other.path()).filePath("tornavo.conf");
  ASSERT_TRUE(QDir().mkpath(blocked));  // a folder where the file should be
  ui::SettingsRedirect elsewhere(other.path());
  try {
    ui::SaveSetting("tornavo", "FrmPre", "Largo", "9000");
    ADD_FAILURE() << "no error";
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), 75);
  }
  EXPECT_EQ(ui::GetSetting("tornavo", "FrmPre", "Largo", "d"), "d");
}

TEST_F(SettingsTest, TheRedirectEndsWithItsScope) {
  QTemporaryDir inner;
  {
    ui::SettingsRedirect scoped(inner.path());
    ui::SaveSetting("tornavo", "MDIToolbar", "Status", "2");
    EXPECT_TRUE(QFile::exists(QDir(inner.path()).filePath("tornavo.conf")));
  }
  EXPECT_EQ(ui::GetSetting("tornavo", "MDIToolbar", "Status", "none"), "none");
  ui::SaveSetting("tornavo", "MDIToolbar", "Status", "1");
  EXPECT_TRUE(QFile::exists(QDir(dir.path()).filePath("tornavo.conf")));
}

}  // namespace
