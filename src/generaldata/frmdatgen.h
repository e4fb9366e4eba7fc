#pragma once
// FrmDatGen, "Parámetros": the general data of the open bid (the single row of DatosGenerales) in eight
// pages listed by the option-page navigator: works, contracting body, signatures, company, footer
// ("Indirectos", the footer page of the footer subsystem), contest, section-code levels and the totals
// per currency. In the Plicadora edition the contracting body's names and the signatures are read from
// and written to the library's titgen row instead.
//
// The main window shows it modal: FrmDatGen::Muestra(). Every opening loads the dialog afresh and
// every way of closing it (Aceptar, Cancelar, Esc, the close box) runs Form_Unload once. Aceptar
// checks and stores the row; Cancelar stores nothing of the boxes (footer edits are stored as they
// are made, by the footer page).
//
// Controls carry the names of the dialog's controls as objectName; text boxes are reached by name
// through caja()/Texto()/PonTexto() (nomobra1..nomobra6, obradirec, obraciudad, obraedo, NomDep1..NomDep3,
// area, depto, Nombre, Titulo, Nombre2..Nombre5, Titulo2..Titulo5, empresa, responsable, cargo,
// DomFiscal, colonia, cp, rfc, telefono, txtAnticipo, txtEstimacion, txtFiniquito, txtIVA, lugar,
// numcon, VerCon, Redondeo, Contrato, nivel1..nivel7). Boxes of several lines are ui::TextBox, the
// others QLineEdit.
#include "forms.h"
#include "variant.h"

#include <QDialog>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class VbFrame;

namespace dao {
class Recordset;
}
namespace datgen {
class AjustePrograma;
}
namespace footer {
class PaginaPie;
}
namespace ui {
class BoundGrid;
class DataControl;
class DatePicker;
}  // namespace ui

class FrmDatGen : public QDialog, public ui::Form {
  Q_OBJECT
public:
  explicit FrmDatGen(QWidget* parent = nullptr);
  ~FrmDatGen() override;

  // The main window's general-data command: loads the program-wide dialog and shows it modal; returns
  // once it is closed. Errors of the load reach the caller (the dialog is then not loaded).
  static void Muestra();

  // ---- controls
  QPushButton* Aceptar;
  QPushButton* Cancelar;
  // "Obra"
  ui::DatePicker* FechaIni;
  ui::DatePicker* FechaFin;
  ui::DatePicker* FechaTope;
  QLabel* DiasCal;
  QGroupBox* gbPeriodicidad;
  QRadioButton* optMensual;
  QRadioButton* optQuincenal;
  QRadioButton* optSemanal;
  QRadioButton* optDiaria;
  QLabel* lblPeriodos;
  QLabel* Periodos;
  // "Concurso"
  QGroupBox* Frame1;  // "Porcentajes"
  QCheckBox* chkPermiteTornavo;
  QCheckBox* chkPermiteCeroCuadro;
  QCheckBox* chkCantidadesEnCero;
  ui::DatePicker* FechaCon;
  QLineEdit* Redondeo;
  // "Indirectos"
  footer::PaginaPie* pagina;
  // "Totales por moneda."
  ui::DataControl* Data1;
  ui::BoundGrid* TDBGrid1;

  VbFrame* fraMarco(int indice) const;  // 1..8
  QWidget* caja(const QString& nombre) const;  // a text box by name; nullptr when none
  QString Texto(const QString& nombre) const;
  void PonTexto(const QString& nombre, const QString& texto);

  // ---- the dialog's life
  void Form_Load() override;
  void Form_Activate();
  void Form_KeyDown(int keyCode, int shift);
  void Form_Unload() override;
  void reject() override;  // Esc closes as Cancelar does

  // ---- OK and Cancel
  void Aceptar_Click();
  void Cancelar_Click();

  // ---- field rules
  void FechaIni_Change();
  void FechaFin_Change();
  void optMensual_Click();
  void optQuincenal_Click();
  void optSemanal_Click();
  void optDiaria_Click();
  void Redondeo_Validate();
  // The key filter of the percentage boxes: the character code the box gets (a comma becomes the
  // decimal point), or 0 to drop the key.
  int FormatoMoneda(int keyAscii, const QString& texto);
  void BloqueaCampos();
  void CalculaDiasCalendario();
  bool ExisteForma(const QString& nombre) const;
  void ActualizaPrograma();

protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  // The pages, built by paginasdatgen.cpp.
  void construyePaginas();
  VbFrame* nuevoMarco(int indice, const QString& titulo, const QString& etiqueta);
  void paginaTotales(VbFrame* marco);
  void paginaDependencias(VbFrame* marco);
  void paginaObra(VbFrame* marco);
  void paginaConcurso(VbFrame* marco);
  void paginaPartidas(VbFrame* marco);
  void paginaFirmas(VbFrame* marco);
  void paginaEmpresa(VbFrame* marco);
  void paginaIndirectos(VbFrame* marco);
  void conectaReglas();

  // The dialog's size (tamanodatgen.cpp): the design size, the smallest; what grows or moves with the
  // dialog; the size its texts need.
  void fijaDisenio(const QSize& disenio);
  void colocaPaginas();
  void ajustaATextos();
  struct Anclado {
    enum Modo { Crece, CreceAlto, Esquina };  // grows with the dialog, in height only, or keeps to its
                                              // lower right corner
    QPointer<QWidget> control;
    QRect base;  // at the design size
    Modo modo;
  };
  QSize disenio_;
  std::vector<Anclado> anclados_;

  void cambioDeFecha();
  void clicPeriodicidad(int16_t codigo);
  int16_t periodicidadElegida() const;
  // The save of Aceptar_Click, after the closed-bid check, up to the stored row: refused by a check,
  // given up at the question about the schedule, or stored (ajuste: what follows for the schedule).
  enum class Grabacion { Rechazada, Desistida, Guardada };
  Grabacion grabaDatos(std::optional<datgen::AjustePrograma>& ajuste);
  void rechazaGrabacion(bool tambienTitgen);
  void sigueLoGuardado();
  // Runs an event handler: a run-time error it lets through is shown as the main window shows the
  // errors of its commands, and the handler ends.
  template <class F> void atrapa(F&& manejador);

  std::shared_ptr<dao::Recordset> rsTotalMonedas_;
  bool guardando_ = false;
  bool cambiaronPeriodos_ = false;  // by the save under way
  bool activacionPendiente_ = false;
  // FechaConcurso held a text that is no date the box can show: the box holds none, and the stored
  // text stays until a date is picked.
  bool fechaConIlegible_ = false;
};
