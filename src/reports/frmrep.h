#pragma once
// The report window "Reportes del sistema": the user picks one of the five report kinds and a
// destination; the window keeps, per kind, a template workbook and sheet in the library table
// reportes, shows an on-screen sample of the report whenever the kind, sheet or options change, and
// on "Aceptar" generates the whole report and prints or previews it.
//
// The workbook path, its browse button and the sheet list exist but stay hidden: the workbooks are the
// program's own templates, put back in every row of reportes and repOpciones each time the window
// opens, and the sheet is the one stored for the kind.
//
// The main window opens it after the print gate: frmRep::Muestra(true) modal for the printer,
// Muestra(false) modeless for the preview (registered by registraVentanasReportes).
#include "contextoreporte.h"
#include "filedialog.h"
#include "forms.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dao {
class Recordset;
}
namespace wb {
class SheetView;
}

class frmRep : public QDialog, public ui::Form {
  Q_OBJECT
public:
  explicit frmRep(QWidget* parent = nullptr);
  ~frmRep() override;

  // Loads the program-wide window and shows it: modal (returns once it is closed) or modeless.
  // A window left open by an earlier preview is unloaded first, so that it opens for the new
  // destination with its templates put back.
  static void Muestra(bool modal);

  // The writers of the five kinds, registered once when the program starts; every report window hands
  // them to its engine.
  using Escritores = std::array<repgen::ContextoReporte::Escritor, repgen::kTiposReporte>;
  static Escritores& escritores();

  // The report being built: template (Formato), report (Reporte), option variables.
  repgen::ContextoReporte rep;

  // Controls, named as the window's controls.
  QLabel* Label1;       // "Libro de reportes" (hidden)
  QLabel* Label2;       // "Nombre de la hoja" (hidden)
  QLabel* Label3;       // "Reporte"
  QLabel* Label4;       // "Imprimir a:"
  QComboBox* Combo2;    // report kind
  QComboBox* Combo3;    // destination
  QLineEdit* Text1;     // template workbook (hidden)
  QPushButton* Command5;  // browse (hidden)
  QComboBox* Combo1;    // sheet (hidden)
  QPushButton* Command6;  // "Opciones"
  QPushButton* Command1;  // "Aceptar"
  QPushButton* Command2;  // "Cancelar"
  wb::SheetView* Reporte;  // the on-screen sample of rep.Reporte
  ui::CommonDialog CommonDialog1;

  void Form_Load() override;

  void Combo2_Click();
  void CargaHoja();
  void Combo1_Click();
  void Command5_Click();
  void Command6_Click();
  void Command1_Click();
  void Command2_Click();
  // Every row of the recordset that belongs to one of the five kinds gets the program's own template.
  void RestableceLibros(dao::Recordset& rs);

protected:
  void resizeEvent(QResizeEvent* e) override;  // Form_Resize
  void reject() override;                      // Escape unloads, as Cancelar does

private:
  // Text1 = texto; its change event loads the workbook (an unchanged text changes nothing).
  void ponTexto1(const QString& texto);
  // The kind's stored workbook, moved into the program folder when its folder is gone, into Text1.
  void muestraLibro(const QString& reporte);
  // What the controls chose, for the engine.
  void tomaEleccion();
  void Form_Resize();
};
