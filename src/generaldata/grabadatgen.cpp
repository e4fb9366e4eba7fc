// Aceptar: the boxes into the general-data row (and, in the Plicadora edition, the contracting body and
// the signatures into titgen), the dates and the level widths checked, the row stored, then the
// rounding unit, the base footer and the schedule follow.
#include "frmdatgen.h"

#include "camposdatgen.h"
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
  const EstadoPrograma antes = estadoPrograma();
  try {
    if (!grabaDatos()) return;
  } catch (const vb::Error& e) {
    // A value the database refuses: nothing of this save is stored.
    rechazaGrabacion(true);
    ui::MsgBox(QStringLiteral("Error en frmDatGen.Aceptar_Click ") + QString::number(e.number()) + u' ' +
               e.description());
    return;
  }

  general::CalculaRedondeo();
  if (pagina->ContratistaEnVista()) pagina->Command2_Click();
  pagina->copiarPieBase();
  QCoreApplication::processEvents();
  reiniciaPrograma(antes);
  general::objListaOpciones.reset();
  ui::Forms::instance().unload(this);
}

// Cancels what this save put into the rows, so that no later update of them stores it.
void FrmDatGen::rechazaGrabacion(bool tambienTitgen) {
  dao::Recordset& datos = *quarvel::rsDatosGenerales;
  if (datos.GetEditMode() != dao::EditMode::None) datos.CancelUpdate();
  if (tambienTitgen && quarvel::edicion == 1 && quarvel::rsTitgen &&
      quarvel::rsTitgen->GetEditMode() != dao::EditMode::None)
    quarvel::rsTitgen->CancelUpdate();
}

bool FrmDatGen::grabaDatos() {
  const bool plicadora = quarvel::edicion == 1;
  dao::Recordset& datos = *quarvel::rsDatosGenerales;
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
    return false;
  }
  if (FechaFin->HasDate() && FechaIni->HasDate() && FechaFin->date() < FechaIni->date()) {
    rechazaGrabacion(true);
    ui::MsgBox(QStringLiteral("La fecha de Fin de proyecto no puede ser menor a la fecha inicial."));
    return false;
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
    return false;
  }

  datos.Update();
  return true;
}

// What numbers the schedule's periods: the count, the start and the periodicity.
FrmDatGen::EstadoPrograma FrmDatGen::estadoPrograma() const {
  dao::Recordset& datos = *quarvel::rsDatosGenerales;
  return {entero(datos.Value(QStringLiteral("Periodos"))), datos.Value(QStringLiteral("FechaInicioProy")),
          entero(datos.Value(QStringLiteral("Periodicidad")))};
}

// After a save that changed the period count, the schedule follows it. In the contractor edition the
// volumes are cleared when the periods were renumbered (another start or periodicity): they were spread
// over periods that no longer are the bid's. When only the end moved, the periods keep their numbers,
// so the volumes stay; those of periods the bid no longer has go, with their concepts' totals.
void FrmDatGen::reiniciaPrograma(const EstadoPrograma& antes) {
  const EstadoPrograma ahora = estadoPrograma();
  if (ahora.periodos == antes.periodos) return;
  if (quarvel::edicion == 2 && ahora.periodos != 0) {
    const bool renumerado = !mismoDia(ahora.inicio, antes.inicio) || ahora.periodicidad != antes.periodicidad;
    if (renumerado) {
      quarvel::dbObra->Execute(QStringLiteral("DELETE * FROM Programa"));
      quarvel::dbObra->Execute(QStringLiteral("UPDATE Presupuesto SET TotalVol = 0"));
    } else if (ahora.periodos < antes.periodos) {
      recortaPrograma(ahora.periodos);
    }
  }
  if (ExisteForma(QStringLiteral("FrmPrograma"))) ActualizaPrograma();
}

// Drops the volumes of periods after `periodos` and sets each concept that had one to the sum it keeps.
void FrmDatGen::recortaPrograma(int16_t periodos) {
  const QString n = QString::number(periodos);
  auto fuera = quarvel::dbObra->OpenRecordset(
      QStringLiteral("SELECT DISTINCT Partida, Renglon FROM Programa WHERE Periodo > ") + n,
      dao::RecordsetType::Snapshot);
  std::vector<std::pair<QString, int32_t>> conceptos;
  for (; !fuera->EOF_(); fuera->MoveNext())
    conceptos.emplace_back(vb::CStr(fuera->Value(QStringLiteral("Partida"))),
                           vb::CLng(fuera->Value(QStringLiteral("Renglon"))));
  fuera->Close();
  quarvel::dbObra->Execute(QStringLiteral("DELETE * FROM Programa WHERE Periodo > ") + n);
  for (const auto& [partida, renglon] : conceptos) {
    QString literal = partida;
    literal.replace(u'\'', QStringLiteral("''"));
    auto suma = quarvel::dbObra->OpenRecordset(
        QStringLiteral("SELECT Sum(Volumen) AS Suma FROM Programa WHERE Partida = '%1' AND Renglon = %2")
            .arg(literal)
            .arg(renglon),
        dao::RecordsetType::Snapshot);
    const vb::Variant total = suma->Value(QStringLiteral("Suma"));
    suma->Close();
    quarvel::dbObra->Execute(QStringLiteral("UPDATE Presupuesto SET TotalVol = %1 WHERE Partida = '%2' AND Renglon = %3")
                                 .arg(total.isNull() ? QStringLiteral("0") : vb::CCur(total).toString(), literal)
                                 .arg(renglon));
  }
}
