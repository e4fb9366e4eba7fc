// Aceptar: the boxes into the general-data row (and, in the Plicadora edition, the contracting body and
// the signatures into titgen), the dates and the level widths checked, the row stored, then the
// rounding unit, the base footer and the schedule follow.
#include "frmdatgen.h"

#include "ajusteprograma.h"
#include "camposdatgen.h"
#include "copiado.h"
#include "dao.h"
#include "datepicker.h"
#include "general.h"
#include "korgen.h"
#include "msgbox.h"
#include "paginapie.h"
#include "quarvel.h"
#include "textbox.h"
#include "utilidades.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

using namespace datgen;

namespace {

int16_t entero(const vb::Variant& v) {
  if (general::esNulo(v) || !vb::IsNumeric(v)) return 0;
  return vb::CInt(v);
}

// The same day, or both without one.
bool mismoDia(const vb::Variant& a, const vb::Variant& b) {
  if (general::esNulo(a) || general::esNulo(b)) return general::esNulo(a) == general::esNulo(b);
  return std::floor(vb::CDate(a)) == std::floor(vb::CDate(b));
}

void edita(dao::Recordset& rs) {
  if (rs.GetEditMode() == dao::EditMode::None) rs.Edit();
}

const QString kCerrada = QStringLiteral("La base de datos esta cerrada no se puede modificar");

}  // namespace

void FrmDatGen::Aceptar_Click() {
  if (guardando_) return;  // a second click while the first one's save is under way
  // A shortcut press leaves the focus where it was: the rounding box's check and a date being typed
  // come first, as leaving the box would.
  if (Redondeo->hasFocus()) Redondeo_Validate();
  for (ui::DatePicker* fecha : {FechaIni, FechaFin, FechaTope, FechaCon}) fecha->Commit();

  dao::Recordset& datos = *quarvel::rsDatosGenerales;
  if (quarvel::edicion == 2 &&
      (activado(datos.Value(QStringLiteral("BaseCerrada"))) || activado(datos.Value(QStringLiteral("Cerrada"))))) {
    ui::MsgBox(kCerrada, ui::vbInformation);
    ui::Forms::instance().unload(this);
    return;
  }

  // Until the save ends, whichever way it ends.
  struct Guardando {
    bool& bandera;
    explicit Guardando(bool& b) : bandera(b) { bandera = true; }
    ~Guardando() { bandera = false; }
  } guardando(guardando_);

  // One Aceptar is one transaction: nothing of it reaches the files before all of it is written, not
  // even while the events it lets run (and its questions) are under way; a failure undoes all of it.
  dao::Workspace& espacio = dao::DBEngine::Workspaces(0);
  espacio.BeginTrans();
  try {
    std::optional<datgen::AjustePrograma> ajuste;
    switch (grabaDatos(ajuste)) {
      case Grabacion::Rechazada:
        // What a refusal keeps (the signatures before a level refusal) is kept.
        espacio.CommitTrans();
        return;
      case Grabacion::Desistida:
        espacio.Rollback();
        return;
      case Grabacion::Guardada: break;
    }
    general::CalculaRedondeo();
    if (pagina->ContratistaEnVista()) pagina->Command2_Click();
    pagina->copiarPieBase();
    QCoreApplication::processEvents();
    ajuste->aplica(*quarvel::dbObra);
    if ((ajuste->cambiaPrograma() || cambiaronPeriodos_) && ExisteForma(QStringLiteral("FrmPrograma")))
      ActualizaPrograma();
    general::objListaOpciones.reset();
    ui::Forms::instance().unload(this);
    espacio.CommitTrans();
  } catch (const vb::Error& e) {
    // A value the database refuses, or a disk that refuses the save (also at the commit, once the
    // dialog has closed): nothing of this save is stored, and what the save worked out from it is
    // worked out again from what the bid holds.
    espacio.Rollback();
    rechazaGrabacion(true);
    sigueLoGuardado();
    ui::MsgBox(QStringLiteral("Error en frmDatGen.Aceptar_Click ") + QString::number(e.number()) + u' ' +
               e.description());
  }
}

// The rounding unit, the period table and the schedule's columns as the stored row gives them.
void FrmDatGen::sigueLoGuardado() {
  try {
    general::CalculaRedondeo();
    copiado::calculaPeriodos();
    ActualizaPrograma();
  } catch (const vb::Error&) {
    // Each of them is worked out again when next needed.
  }
}

// Cancels what this save put into the rows, so that no later update of them stores it.
void FrmDatGen::rechazaGrabacion(bool tambienTitgen) {
  dao::Recordset& datos = *quarvel::rsDatosGenerales;
  if (datos.GetEditMode() != dao::EditMode::None) datos.CancelUpdate();
  if (tambienTitgen && quarvel::edicion == 1 && quarvel::rsTitgen &&
      quarvel::rsTitgen->GetEditMode() != dao::EditMode::None)
    quarvel::rsTitgen->CancelUpdate();
}

FrmDatGen::Grabacion FrmDatGen::grabaDatos(std::optional<datgen::AjustePrograma>& ajuste) {
  const bool plicadora = quarvel::edicion == 1;
  dao::Recordset& datos = *quarvel::rsDatosGenerales;
  const datgen::Calendario antes = datgen::calendarioDe(datos);
  dao::Recordset* titgen = plicadora ? quarvel::rsTitgen.get() : nullptr;
  auto campo = [](const char* nombre) { return QString::fromLatin1(nombre); };
  // A box's text as stored: one blank for an empty box; the boxes of several lines lose their line
  // breaks (each CR and LF a blank).
  auto texto = [this](const Campo& c) {
    const QString nombre = QString::fromLatin1(c.control);
    QString t = Texto(nombre);
    if (qobject_cast<ui::TextBox*>(caja(nombre))) t = general::BorraEnter(t, false);
    return general::esNulo(vb::Variant(t)) ? QStringLiteral(" ") : t;
  };
  auto escribe = [&](dao::Recordset& rs, std::span<const Campo> campos) {
    for (const Campo& c : campos) rs.SetValue(campo(c.campo), vb::Variant(texto(c)));
  };

  edita(datos);
  escribe(datos, kEmpresa);
  if (plicadora) edita(*titgen);
  escribe(plicadora ? *titgen : datos, kDependencia);

  if (!plicadora)
    for (const Campo& c : kPorcentajes) {
      const QString t = Texto(campo(c.control));
      datos.SetValue(campo(c.campo), vb::Variant(general::esNulo(vb::Variant(t)) ? 0.0 : vb::Val(t)));
    }

  // The permissions are the contracting body's, but the contractor may allow printing with zero
  // prices: the pre-print checks tell him to tick that box, so his choice is stored as well.
  if (plicadora) {
    datos.SetValue(QStringLiteral("PermiteCantidadCero"), chkCantidadesEnCero->checkState() == Qt::Checked);
    datos.SetValue(QStringLiteral("PermitePreBaseCero"), chkPermiteCeroCuadro->checkState() == Qt::Checked);
  }
  datos.SetValue(QStringLiteral("PermitePreciosCero"), chkPermiteTornavo->checkState() == Qt::Checked);

  if (FechaCon->HasDate())
    datos.SetValue(QStringLiteral("FechaConcurso"), FechaCon->Value());
  else if (!fechaConIlegible_)
    datos.SetValue(QStringLiteral("FechaConcurso"), vb::Variant(" "));
  for (const Campo& c : kConcursoGraba) {
    QString t = texto(c);
    if (c.control == std::string_view("VerCon") && t == QLatin1String(" ")) t = QStringLiteral("1");
    datos.SetValue(campo(c.campo), vb::Variant(t));
  }
  escribe(datos, kObra);

  if (const int16_t p = periodicidadElegida()) datos.SetValue(QStringLiteral("Periodicidad"), p);

  // The project dates as they will be stored: a box without a date keeps the stored one.
  const vb::Variant inicioGuardado = datos.Value(QStringLiteral("FechaInicioProy"));
  const vb::Variant finGuardado = datos.Value(QStringLiteral("FechaFinalProy"));
  const vb::Variant inicio = FechaIni->HasDate() ? FechaIni->Value() : inicioGuardado;
  const vb::Variant fin = FechaFin->HasDate() ? FechaFin->Value() : finGuardado;
  if (plicadora) {
    datos.SetValue(QStringLiteral("Periodos"), vb::Variant(int16_t(vb::Val(Periodos->text()))));
  } else if (!mismoDia(inicio, inicioGuardado) || !mismoDia(fin, finGuardado)) {
    // The contractor sees no periodicity and no count: when he moves the dates, the count follows them
    // at the stored periodicity; otherwise the stored count stays.
    int16_t periodicidad = entero(datos.Value(QStringLiteral("Periodicidad")));
    if (periodicidad < 1 || periodicidad > 4) periodicidad = 1;
    datos.SetValue(QStringLiteral("Periodos"), general::CuentaPeriodos(inicio, fin, periodicidad));
  }
  if (FechaIni->HasDate()) datos.SetValue(QStringLiteral("FechaInicioProy"), FechaIni->Value());
  if (FechaFin->HasDate()) datos.SetValue(QStringLiteral("FechaFinalProy"), FechaFin->Value());
  if (FechaTope->HasDate()) datos.SetValue(QStringLiteral("FechaTope"), FechaTope->Value());

  if (FechaFin->HasDate() && FechaTope->HasDate() && FechaFin->date() > FechaTope->date()) {
    rechazaGrabacion(true);
    ui::MsgBox(QStringLiteral("La fecha de Fin de proyecto no puede ser mayor a la fecha Tope."));
    return Grabacion::Rechazada;
  }
  if (FechaFin->HasDate() && FechaIni->HasDate() && FechaFin->date() < FechaIni->date()) {
    rechazaGrabacion(true);
    ui::MsgBox(QStringLiteral("La fecha de Fin de proyecto no puede ser menor a la fecha inicial."));
    return Grabacion::Rechazada;
  }

  const QString contrato = Texto(QStringLiteral("Contrato"));
  if (!general::esNulo(vb::Variant(contrato))) datos.SetValue(QStringLiteral("numContrato"), vb::Variant(contrato));
  datos.SetValue(QStringLiteral("Redondeo"), vb::Variant(Redondeo->text()));

  if (plicadora) edita(*titgen);
  escribe(plicadora ? *titgen : datos, kFirmas);
  if (plicadora) titgen->Update();

  // The first empty or zero level clears every level below it, in the boxes too.
  auto ancho = [this](int k) { return KorGen::valX(vb::Variant(Texto(QStringLiteral("nivel%1").arg(k)))); };
  for (int k = 1; k <= 6; ++k) {
    const QString nombre = QStringLiteral("nivel%1").arg(k);
    if (general::esNulo(vb::Variant(Texto(nombre)))) PonTexto(nombre, QStringLiteral("0"));
    if (ancho(k) == vb::Currency())
      for (int j = k + 1; j <= 7; ++j) PonTexto(QStringLiteral("nivel%1").arg(j), QStringLiteral("0"));
  }
  vb::Currency suma;
  for (int k = 1; k <= 7; ++k) {
    datos.SetValue(QStringLiteral("nivel%1").arg(k), vb::Variant(ancho(k)));
    suma = suma + ancho(k);
  }
  if (vb::CLng(vb::Variant(suma)) > 20) {
    rechazaGrabacion(false);
    ui::MsgBox(QStringLiteral("El total de los niveles debe ser <= a 20 caracteres."));
    return Grabacion::Rechazada;
  }

  // Volumes that the new dates or periodicity would delete: asked first. No stores nothing (not even
  // the signatures already written to titgen) and the dialog stays open.
  const datgen::Calendario despues = datgen::calendarioDe(datos);
  ajuste = datgen::AjustePrograma::planea(*quarvel::dbObra, antes, despues);
  if (ajuste->pierdeVolumenes() &&
      ui::MsgBox(ajuste->pregunta(), ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2) != ui::vbYes) {
    rechazaGrabacion(true);
    return Grabacion::Desistida;
  }
  cambiaronPeriodos_ = despues.periodos != antes.periodos;

  datos.Update();
  return Grabacion::Guardada;
}
