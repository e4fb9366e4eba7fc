#pragma once
// The program's MDI main window: the menu bar, the left tool bar and the popup menu, all bands of one
// bar control, and the one dispatcher that turns a click on any tool into its command. The window
// holds no logic of the commands it runs: the bid's life cycle is in maneobra, the windows it opens
// are their own forms (the later subsystems' ones reached through ventanas::registro()).
#include "filedialog.h"
#include "forms.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <vector>

class QMdiArea;

namespace ui {
class BarControl;
class Tool;
}  // namespace ui

class MDIToolbar : public QMainWindow, public ui::Form {
  Q_OBJECT
public:
  MDIToolbar();
  ~MDIToolbar() override;

  // The window's default instance if it is loaded, else nullptr.
  static MDIToolbar* instancia();

  ui::BarControl& ActiveBar1() const { return *bar_; }
  QMdiArea* mdiArea() const { return area_; }
  ui::CommonDialog CommonDialog1;

  // Runs the command of a tool, as a click on it does (names are case-sensitive; an unknown name
  // does nothing).
  void ActiveBar1_ToolClick(ui::Tool* tool);

  // Public procedures of the window.
  void MDIForm_Activate();
  void mnuSeleccionartodo();
  void mnuCopiar();
  void mnuPegar();
  void mnuCer_Click();
  // "inicio": the bid commands become unavailable; any other text: available.
  void activaMenus(const QString& estado);

  void Form_Load() override;
  void Form_Unload() override;

protected:
  bool event(QEvent* e) override;

private:
  struct Comando {
    QStringList herramientas;
    std::function<void(ui::Tool*)> accion;
  };

  void construyeBandas();
  void construyeDespacho();
  void asignaTeclas();
  void teclasDeLaVentanaActiva();
  void activaMenuPrincipal(const QString& estado);
  void activaBarras(const QString& estado);
  void abrir();
  void cargaObraReciente(const QString& caption);
  void imprime(int16_t destino);
  void pegaConGuarda();
  void ordena(bool descendente);
  void verBarra();
  void bandaAbierta(bool abierta);
  void ventanaSiguiente();
  void ventanaCerrar();
  void reparar();

  ui::BarControl* bar_;
  QMdiArea* area_;
  std::vector<Comando> despacho_;
};
