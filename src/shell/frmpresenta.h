#pragma once
// The start-up splash, and the version text it shares with the About and rights boxes.
//
// Start-up, as the program's entry point does it:
//   frmPresenta::MuestraInicio(quarvel::rutaPrograma);   // modeless, painted at once
//   ... load the main window ...
//   frmPresenta::EsperaCierre();                         // waits, modal, until its button closes it
#include "forms.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The program's version numbers (the build's project version "major.minor.revision").
struct VersionPrograma {
  int Major = 0;
  int Minor = 0;
  int Revision = 0;
};
VersionPrograma versionPrograma();

// "(V1M2R3)".
QString versionCorta();

// " (V1M2R3)" CR LF "Versión: " and the date of the program file in ruta ("dd/mmm/yyyy", the
// program's month names) CR LF. The running program's own file is dated when ruta does not hold it.
QString TextoVersion(const QString& ruta);

inline const QString kDependencias = QStringLiteral("Para concursos con dependencias");

class frmPresenta : public QDialog, public ui::Form {
  Q_OBJECT
public:
  explicit frmPresenta(QWidget* parent = nullptr);

  // The folder whose program file dates the version: quarvel::rutaPrograma unless set otherwise.
  QString Ruta;

  // Loads the program-wide splash with Ruta = ruta and shows it modeless; it is painted before
  // this returns.
  static void MuestraInicio(const QString& ruta);
  // Waits on the splash, modal, until its button closes it; it stays on screen all along (it is never
  // hidden and shown again). Does nothing when it is not loaded.
  static void EsperaCierre();

  QLabel* lblProducto;
  QLabel* lblVersion;
  QLabel* lblDependencias;
  QPushButton* Command1;

  void Form_Load() override;
  void Command1_Click();
  void reject() override;   // Escape closes it like its button

private:
  void LlenaVersion();
};
