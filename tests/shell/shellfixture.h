#pragma once
// The program started as a user starts it, in a temporary program folder, with every message box, file
// dialog and modal window answered from the test.
#include "carpetaprograma.h"
#include "error_of.h"
#include "scripted_ui.h"
#include "settings.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

class MDIToolbar;
namespace ui {
class BarControl;
}

namespace shelltest {

class ShellTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the program as the edition of that product name; the main window (nullptr if it failed).
  MDIToolbar* arranca(const QString& producto = QStringLiteral("Tornavo"));
  ui::BarControl& barra() const;
  // Clicks a tool as the user would; false when it cannot be clicked.
  bool clic(const QString& herramienta);
  // Opens a bid through the Open tool and the file dialog.
  void abre(const QString& ruta);
  // The names of the tools the user can click now (the popup menu left out), sorted.
  QStringList clicables() const;
  QString caption() const;
  // The library database's recent bids obra1..obra4, read from the file ("" for Null).
  QStringList recientes() const;

  CarpetaPrograma carpeta;
  testui::ScriptedMsgBoxes cajas;
  testui::ScriptedFileDialogs dialogos;
  QStringList modales;  // the forms shown modal, by Name, in order

private:
  std::unique_ptr<ui::SettingsRedirect> ajustes_;
  QString directorioPrevio_;
};

// Another program that holds a database open while it lives.
class OtroPrograma {
public:
  OtroPrograma(const QString& ruta, bool exclusivo);
  ~OtroPrograma();
  int error() const { return error_; }  // 0 when it holds the file

private:
  QProcess proceso_;
  int error_ = -1;
};

}  // namespace shelltest
