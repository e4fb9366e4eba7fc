// The field rules: day and period counts, the rounding box's range, the percentages' key filter, the
// fields the contractor may not change, and the schedule window's period columns.
#include "frmdatgen.h"

#include "boundgrid.h"
#include "calculos.h"
#include "datepicker.h"
#include "forms.h"
#include "frmprograma.h"
#include "general.h"
#include "quarvel.h"
#include "textbox.h"
#include "utilidades.h"
#include "dao.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

// ---------------------------------------------------------------------------------------------------
// Calendar days and periods

void FrmDatGen::FechaIni_Change() { cambioDeFecha(); }
void FrmDatGen::FechaFin_Change() { cambioDeFecha(); }

void FrmDatGen::cambioDeFecha() {
  CalculaDiasCalendario();
  Periodos->setText(QString::number(general::CuentaPeriodos(FechaIni->Value(), FechaFin->Value(), periodicidadElegida())));
}

// 0 when no option is selected (always so in the contractor edition, whose options are hidden).
int16_t FrmDatGen::periodicidadElegida() const {
  int16_t p = 0;
  if (optMensual->isChecked()) p = 1;
  if (optQuincenal->isChecked()) p = 2;
  if (optSemanal->isChecked()) p = 3;
  if (optDiaria->isChecked()) p = 4;
  return p;
}

void FrmDatGen::optMensual_Click() { clicPeriodicidad(1); }
void FrmDatGen::optQuincenal_Click() { clicPeriodicidad(2); }
void FrmDatGen::optSemanal_Click() { clicPeriodicidad(3); }
void FrmDatGen::optDiaria_Click() { clicPeriodicidad(4); }

void FrmDatGen::clicPeriodicidad(int16_t codigo) {
  Periodos->setText(QString::number(general::CuentaPeriodos(FechaIni->Value(), FechaFin->Value(), codigo)));
}

void FrmDatGen::CalculaDiasCalendario() {
  const vb::Variant inicio = FechaIni->Value();
  const vb::Variant fin = FechaFin->Value();
  if (general::esNulo(inicio) || general::esNulo(fin)) return;
  DiasCal->setText(vb::numberText(vb::CDate(fin) - vb::CDate(inicio) + 1));
}

// ---------------------------------------------------------------------------------------------------
// Rounding decimals: a number from 0 to 4 once the box is left

void FrmDatGen::Redondeo_Validate() {
  const double valor = vb::Val(Redondeo->text());
  Redondeo->setText(vb::numberText(valor));
  if (valor < 0) Redondeo->setText(QStringLiteral("2"));
  if (valor > 4) Redondeo->setText(QStringLiteral("4"));
}

// ---------------------------------------------------------------------------------------------------
// Percentages: digits and one decimal point

int FrmDatGen::FormatoMoneda(int keyAscii, const QString& texto) {
  if (keyAscii < 26) return keyAscii;
  const QChar c(keyAscii);
  if (!QStringLiteral("0123456789.,").contains(c)) return 0;
  // A comma is meant as the decimal point (it is one in many keyboards' keypads); dropping it would
  // make "16,5" a percentage of 165.
  if (c == QLatin1Char('.') || c == QLatin1Char(',')) return texto.contains(QLatin1Char('.')) ? 0 : int('.');
  return keyAscii;
}

// ---------------------------------------------------------------------------------------------------
// Fields of the contracting body, locked in the contractor edition

namespace {

// The background of a field that cannot be changed: the colour of the menu bar.
void colorBloqueado(QWidget* control) {
  QPalette colores = control->palette();
  colores.setColor(QPalette::Base, QApplication::palette().color(QPalette::Window));
  control->setPalette(colores);
}

void bloquea(FrmDatGen& f, const QString& nombre) {
  QWidget* c = f.caja(nombre);
  if (auto* e = qobject_cast<QLineEdit*>(c)) e->setReadOnly(true);
  else if (auto* t = qobject_cast<ui::TextBox*>(c)) t->SetLocked(true);
  colorBloqueado(c);
}

}  // namespace

void FrmDatGen::BloqueaCampos() {
  for (const char* nombre : {"NomDep1", "NomDep2", "NomDep3", "area", "depto", "nomobra1", "nomobra2", "nomobra3",
                             "nomobra4", "nomobra5", "nomobra6", "obradirec", "obraciudad", "obraedo"})
    bloquea(*this, QString::fromLatin1(nombre));
  FechaIni->setEnabled(false);
  FechaTope->setEnabled(false);
  Redondeo->setEnabled(false);
  colorBloqueado(Redondeo);
  FechaCon->setEnabled(false);
  for (const char* nombre : {"numcon", "VerCon", "lugar", "nivel1", "nivel2", "nivel3", "nivel4", "nivel5",
                             "nivel6", "nivel7", "Titulo", "Nombre", "Titulo2", "Nombre2", "Titulo3", "Nombre3",
                             "Titulo4", "Nombre4", "Titulo5", "Nombre5"})
    bloquea(*this, QString::fromLatin1(nombre));
}

// ---------------------------------------------------------------------------------------------------
// The schedule window

bool FrmDatGen::ExisteForma(const QString& nombre) const {
  for (QWidget* f : ui::Forms::instance().loaded())
    if (ui::Forms::name(f).toLower() == nombre.toLower()) return true;
  return false;
}

void FrmDatGen::ActualizaPrograma() {
  FrmPrograma* programa = ui::Forms::instance().find<FrmPrograma>();
  if (!programa) return;
  ui::BoundGrid& grid = *programa->Grid1();
  Calculos::BorraColumnas(grid, programa->ColumnasFijas());
  const vb::Variant periodos = quarvel::rsDatosGenerales->Value(QStringLiteral("Periodos"));
  Calculos::AgregaColumnasPeriodo(grid, general::esNulo(periodos) ? int16_t(0) : vb::CInt(periodos));
  grid.ReBind();
}
