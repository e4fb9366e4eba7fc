#pragma once
// The About box (from the main window's command: FrmAcercaDe::Muestra()) and the system-information
// program it starts.
//
// The system-information program is looked up where the registry kept it, in the per-user settings
// store instead: a key path's last part is the section and the part before it the application, the
// value name is the key. So the program is key PATH of section [MSINFO] of application "Shared
// Tools" (registry key SOFTWARE\Microsoft\Shared Tools\MSINFO, value PATH) or, failing that, the
// file MSINFO32.EXE of the folder in key MSINFO of section [Shared Tools Location] of application
// "Microsoft". With neither, "La información del sistema no está disponible en este momento".
#include "forms.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

class FrmAcercaDe : public QDialog, public ui::Form {
  Q_OBJECT
public:
  explicit FrmAcercaDe(QWidget* parent = nullptr);

  // Loads the program-wide About box and shows it modal; returns once it is closed.
  static void Muestra();

  // Starts the system-information program, or tells that there is none.
  static void StartSysInfo();
  // The text of a value of the settings store found as the registry key `clave` (under root key
  // `raiz`, which the settings store does not divide by) and value `valor`; false when it is
  // absent or empty.
  static bool DameValorClave(quint32 raiz, const QString& clave, const QString& valor, QString& resultado);
  static constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002u;

  // How programs are started: true when it started. Tests put a recorder in its place; an empty
  // function brings back the real start.
  using IniciaPrograma = std::function<bool(const QString& programa)>;
  static void setIniciaPrograma(IniciaPrograma inicia);

  QLabel* lblProducto;
  QLabel* lblVersion;
  QLabel* lblDependencias;
  QPushButton* cmdAceptar;
  QPushButton* cmdEquipo;
  QPushButton* cmdDerechos;

  void Form_Load() override;
  void Form_Unload() override;
  void cmdAceptar_Click();
  void cmdEquipo_Click();
  void cmdDerechos_Click();
  void reject() override;   // Escape unloads, as cmdAceptar does
};
