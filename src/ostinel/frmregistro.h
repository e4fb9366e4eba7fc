#pragma once
// The registration utility's one window: registers the chosen copy of the spreadsheet control with
// the system's registrar, unregisters the other copy, and remembers both paths and which option to
// propose next time.
#include "filedialog.h"
#include "programstarter.h"

#include <QWidget>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmRegistro : public QWidget {
  Q_OBJECT
public:
  // `starter` stays the caller's; nullptr starts programs for real.
  explicit frmRegistro(ProgramStarter* starter = nullptr, QWidget* parent = nullptr);
  ~frmRegistro() override;

  // Settings of the utility.
  static inline const QString kApp = QStringLiteral("RegistroDobrik");
  static inline const QString kSection = QStringLiteral("Registrar");

  // Controls, named as the window's controls (arrays as Name_Index).
  QGroupBox* Frame1;
  QRadioButton* Option1[2];
  QLabel* Label1;
  QLineEdit* Text1;
  QLabel* Label3;
  QLineEdit* Text3;
  QPushButton* Command2[2];  // "..." browse for Text1 / Text3
  QPushButton* Command1[2];  // "Aceptar" / "Cancelar"
  ui::CommonDialog CommonDialog1;

  void Command1_Click(int Index);
  void Command2_Click(int Index);

protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void Form_Load();
  void Form_Resize();
  // Registers the copy in `elegido` after unregistering the copy in `otro`; `siguiente` is the
  // option proposed at the next start.
  void Registra(const QLineEdit* elegido, const QLineEdit* otro, const QString& siguiente);

  static bool ExisteArchivo(const QString& ruta);
  static void SeparaRuta(const QString& ruta, QString& carpeta, QString& archivo);

  ProgramStarter* starter_;
  std::unique_ptr<QtProgramStarter> ownStarter_;
};
