// The dialog's life: building it, loading it from the bid, activation, keys and unloading.
#include "frmdatgen.h"

#include "boundgrid.h"
#include "camposdatgen.h"
#include "clslistaopciones.h"
#include "copiado.h"
#include "dao.h"
#include "datacontrol.h"
#include "datepicker.h"
#include "emulaenter.h"
#include "general.h"
#include "msgbox.h"
#include "paginapie.h"
#include "quarvel.h"
#include "seleccionartexto.h"
#include "textbox.h"
#include "twips.h"
#include "utilidades.h"
#include "vbcontrols.h"
#include "vbui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QValidator>

#include <functional>

using namespace datgen;

namespace {

// The dialog's key preview: every key pressed in one of its controls reaches Form_KeyDown first (the
// control still gets it). The grids keep Enter and the arrows for moving among their cells, and the
// page list and the date boxes keep the arrows; a push button or check box takes no arrow of its own,
// so that an arrow moves the focus once.
class VistaPreviaTeclas : public QObject {
public:
  explicit VistaPreviaTeclas(FrmDatGen* forma) : QObject(forma), forma_(forma) {}

  bool eventFilter(QObject* observado, QEvent* evento) override {
    if (evento->type() != QEvent::KeyPress || observado != QApplication::focusWidget()) return false;
    auto* control = static_cast<QWidget*>(observado);
    if (control != forma_ && !forma_->isAncestorOf(control)) return false;
    auto* tecla = static_cast<QKeyEvent*>(evento);
    const int codigo = codigoVb(tecla->key());
    const bool flecha = codigo == kArriba || codigo == kAbajo;
    if (dentroDe<ui::BoundGrid>(control) || dentroDe<ui::UnboundGrid>(control)) return false;
    if (flecha && (dentroDe<ui::DatePicker>(control) || dentroDe<QTreeWidget>(control))) return false;
    if (ui::PressOnEnter(control, tecla)) return true;
    int shift = 0;
    if (tecla->modifiers() & Qt::ShiftModifier) shift |= 1;
    if (tecla->modifiers() & Qt::ControlModifier) shift |= 2;
    if (tecla->modifiers() & Qt::AltModifier) shift |= 4;
    forma_->Form_KeyDown(codigo, shift);
    return ui::ArrowMovesOnlyOnce(control, tecla);
  }

private:
  static constexpr int kEnter = 13, kArriba = 38, kAbajo = 40;
  static int codigoVb(int tecla) {
    switch (tecla) {
      case Qt::Key_Return:
      case Qt::Key_Enter: return kEnter;
      case Qt::Key_Up: return kArriba;
      case Qt::Key_Down: return kAbajo;
      default: return tecla < 0x80 ? QChar(tecla).toUpper().unicode() : 0;
    }
  }
  template <class W>
  static bool dentroDe(QWidget* w) {
    for (; w; w = w->parentWidget())
      if (qobject_cast<W*>(w)) return true;
    return false;
  }
  FrmDatGen* forma_;
};

// The filter of a percentage box: each character typed goes through FormatoMoneda, and the box gets
// the character it returns (none for 0). Keys that type nothing (arrows, Delete, Home...) are not
// characters and pass; Esc is the dialog's. The text judged is what the key leaves of the box: a box
// entered with Tab has all its text selected, and a decimal point typed then starts the new value
// (",5" is half a per cent, not 5). A paste is the box's own, checked by ValidaPorcentaje.
class FiltroPorcentaje : public QObject {
public:
  FiltroPorcentaje(FrmDatGen* forma, QLineEdit* caja) : QObject(caja), forma_(forma), caja_(caja) {}
  bool eventFilter(QObject*, QEvent* evento) override {
    if (evento->type() != QEvent::KeyPress) return false;
    auto* tecla = static_cast<QKeyEvent*>(evento);
    const QString texto = tecla->text();
    if (texto.size() != 1 || tecla->key() == Qt::Key_Escape || tecla->key() == Qt::Key_Delete ||
        tecla->matches(QKeySequence::Paste))
      return false;
    const int codigo = texto.at(0).unicode();
    QString queda = caja_->text();
    if (caja_->hasSelectedText()) queda.remove(caja_->selectionStart(), caja_->selectedText().size());
    const int resultado = forma_->FormatoMoneda(codigo, queda);
    if (resultado == codigo) return false;
    if (resultado != 0) caja_->insert(QString(QChar(resultado)));
    return true;
  }

private:
  FrmDatGen* forma_;
  QLineEdit* caja_;
};

// What reaches a percentage box without a typed key (a paste, a drop) goes through FormatoMoneda a
// character at a time, as if typed into an empty box: "16,5" pasted from a spreadsheet is 16.5, not
// the 16 that reading it would give, and blanks, signs and line ends are dropped.
class ValidaPorcentaje : public QValidator {
public:
  ValidaPorcentaje(FrmDatGen* forma, QObject* padre) : QValidator(padre), forma_(forma) {}
  State validate(QString& texto, int& posicion) const override {
    QString limpio;
    int antes = 0;  // the cursor stays after the characters it was after
    for (int i = 0; i < texto.size(); ++i) {
      const int codigo = texto.at(i).unicode();
      const int resultado = codigo < ' ' ? 0 : forma_->FormatoMoneda(codigo, limpio);
      if (resultado != 0) limpio += QChar(resultado);
      if (i < posicion) antes = int(limpio.size());
    }
    texto = limpio;
    posicion = antes;
    return Acceptable;
  }

private:
  FrmDatGen* forma_;
};

// Runs a handler each time a control loses the focus (the control's Validate).
class AlSalir : public QObject {
public:
  AlSalir(QWidget* control, std::function<void()> manejador) : QObject(control), manejador_(std::move(manejador)) {}
  bool eventFilter(QObject*, QEvent* evento) override {
    if (evento->type() == QEvent::FocusOut) manejador_();
    return false;
  }

private:
  std::function<void()> manejador_;
};

}  // namespace

FrmDatGen::FrmDatGen(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmDatGen"));
  setWindowTitle(QStringLiteral("Parámetros"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  // The design size; the navigator sizes the dialog to its pages when it is attached. The dialog may be
  // enlarged from there (tamanodatgen.cpp).
  resize(ui::twipsToPixels(QSizeF(11595, 7200)));
  setSizeGripEnabled(true);
  construyePaginas();
  conectaReglas();
  qApp->installEventFilter(new VistaPreviaTeclas(this));
}

FrmDatGen::~FrmDatGen() = default;

template <class F>
void FrmDatGen::atrapa(F&& manejador) {
  try {
    manejador();
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(": ") + e.description(),
               ui::vbCritical);
  }
}

void FrmDatGen::conectaReglas() {
  // Select on focus: every text box but the company's address, district, postcode, RFC and phone.
  for (QWidget* c : findChildren<QWidget*>()) {
    if (!qobject_cast<QLineEdit*>(c) && !qobject_cast<ui::TextBox*>(c)) continue;
    if (c->objectName().isEmpty() || sinSeleccion().contains(c->objectName())) continue;
    if (!caja(c->objectName())) continue;  // an editor inside another control
    ui::installSeleccionarTexto(c);
  }
  for (const char* nombre : {"txtAnticipo", "txtEstimacion", "txtFiniquito", "txtIVA"}) {
    auto* c = static_cast<QLineEdit*>(caja(QString::fromLatin1(nombre)));
    c->installEventFilter(new FiltroPorcentaje(this, c));
    c->setValidator(new ValidaPorcentaje(this, c));
  }
  connect(FechaIni, &ui::DatePicker::Change, this, [this] { atrapa([this] { FechaIni_Change(); }); });
  connect(FechaFin, &ui::DatePicker::Change, this, [this] { atrapa([this] { FechaFin_Change(); }); });
  connect(optMensual, &QRadioButton::clicked, this, [this] { atrapa([this] { optMensual_Click(); }); });
  connect(optQuincenal, &QRadioButton::clicked, this, [this] { atrapa([this] { optQuincenal_Click(); }); });
  connect(optSemanal, &QRadioButton::clicked, this, [this] { atrapa([this] { optSemanal_Click(); }); });
  connect(optDiaria, &QRadioButton::clicked, this, [this] { atrapa([this] { optDiaria_Click(); }); });
  Redondeo->installEventFilter(new AlSalir(Redondeo, [this] { Redondeo_Validate(); }));
  connect(Aceptar, &QPushButton::clicked, this, [this] { atrapa([this] { Aceptar_Click(); }); });
  connect(Cancelar, &QPushButton::clicked, this, [this] { Cancelar_Click(); });
  // A footer-format dialog opened from the page has closed: the dialog is active again.
  connect(pagina, &footer::PaginaPie::dialogoCerrado, this, [this] { atrapa([this] { Form_Activate(); }); });
}

void FrmDatGen::Muestra() {
  ui::Forms& formas = ui::Forms::instance();
  if (FrmDatGen* forma = formas.get<FrmDatGen>()) formas.showModal(forma);
}

// ---------------------------------------------------------------------------------------------------
// Controls

VbFrame* FrmDatGen::fraMarco(int indice) const {
  return qobject_cast<VbFrame*>(
      vbui::findControl(const_cast<FrmDatGen*>(this), QStringLiteral("fraMarco"), indice));
}

QWidget* FrmDatGen::caja(const QString& nombre) const {
  for (auto* c : findChildren<QWidget*>(nombre))
    if (qobject_cast<QLineEdit*>(c) || qobject_cast<ui::TextBox*>(c)) return c;
  return nullptr;
}

QString FrmDatGen::Texto(const QString& nombre) const {
  QWidget* c = caja(nombre);
  if (auto* e = qobject_cast<QLineEdit*>(c)) return e->text();
  if (auto* t = qobject_cast<ui::TextBox*>(c)) return t->Text();
  throw vb::Error(424);  // no such box
}

void FrmDatGen::PonTexto(const QString& nombre, const QString& texto) {
  QWidget* c = caja(nombre);
  if (auto* e = qobject_cast<QLineEdit*>(c)) {
    e->setText(texto);
    e->setCursorPosition(0);  // a long text shows from its start
  } else if (auto* t = qobject_cast<ui::TextBox*>(c)) t->SetText(texto);
  else throw vb::Error(424);
}

// ---------------------------------------------------------------------------------------------------
// Loading

namespace {

// The null rule: a field fills its box only when it holds more than blanks.
void cargaTextos(FrmDatGen& f, dao::Recordset& rs, std::span<const Campo> campos) {
  for (const Campo& c : campos) {
    const vb::Variant v = rs.Value(QString::fromLatin1(c.campo));
    if (!general::esNulo(v)) f.PonTexto(QString::fromLatin1(c.control), vb::CStr(v));
  }
}

QString porcentaje(const vb::Variant& v) {
  return vb::Format(general::esNulo(v) ? vb::Variant(0.0) : v, QStringLiteral("#0.00"));
}

// A date field into its box (null rule). A value the box cannot show (a text that is no date, a day
// outside 1601-9999) leaves the box without a date, so that saving keeps the stored value; false then.
bool cargaFecha(ui::DatePicker& p, const vb::Variant& v) {
  if (general::esNulo(v)) return true;
  if (!ui::DatePicker::Accepts(v)) {
    p.SetValue(vb::Variant::null());
    return false;
  }
  p.SetValue(v);
  return true;
}

}  // namespace

void FrmDatGen::Form_Load() {
  try {
    const bool plicadora = quarvel::edicion == 1;
    // Only an open bid has general data (the main window offers the dialog only then).
    if (!quarvel::dbObra || !quarvel::rsDatosGenerales || (plicadora && !quarvel::rsTitgen)) throw vb::Error(91);
    dao::Recordset& datos = *quarvel::rsDatosGenerales;

    // The navigator: tree style, sorted; it places the pages and the buttons and sizes the dialog.
    if (!general::objListaOpciones) general::objListaOpciones = std::make_shared<clsListaOpciones>();
    general::objListaOpciones->setFormulario(this);
    // Its height keeps room for a title bar the window has not got yet: below the buttons the dialog
    // keeps the margin it has above the pages. That design size is the smallest.
    fijaDisenio(QSize(width(), Aceptar->geometry().bottom() + 1 + ui::twipsToPixels(120)));

    rsTotalMonedas_ = quarvel::dbObra->OpenRecordset(QStringLiteral("TotalMonedas"), dao::RecordsetType::Dynaset);
    Data1->SetRecordset(rsTotalMonedas_);
    TDBGrid1->SetDataSource(Data1);

    cargaTextos(*this, datos, kEmpresa);
    pagina->Form_Load();  // the footer in its grid; in the Plicadora edition its buttons, and editable
    cargaTextos(*this, plicadora ? *quarvel::rsTitgen : datos, kDependencia);

    fechaConIlegible_ = !cargaFecha(*FechaCon, datos.Value(QStringLiteral("FechaConcurso")));
    cargaTextos(*this, datos, kConcursoCarga);

    if (plicadora) {
      Frame1->hide();
      chkCantidadesEnCero->setEnabled(true);
      chkPermiteCeroCuadro->setEnabled(true);
      chkCantidadesEnCero->setChecked(activado(datos.Value(QStringLiteral("PermiteCantidadCero"))));
      chkPermiteCeroCuadro->setChecked(activado(datos.Value(QStringLiteral("PermitePreBaseCero"))));
      chkPermiteTornavo->setChecked(activado(datos.Value(QStringLiteral("PermitePreciosCero"))));
    } else {
      chkCantidadesEnCero->setEnabled(false);
      chkPermiteCeroCuadro->setEnabled(false);
      chkPermiteTornavo->setEnabled(true);
      chkPermiteTornavo->setChecked(activado(datos.Value(QStringLiteral("PermitePreciosCero"))));
      Frame1->setEnabled(true);
      for (const Campo& c : kPorcentajes)
        PonTexto(QString::fromLatin1(c.control), porcentaje(datos.Value(QString::fromLatin1(c.campo))));
    }

    cargaTextos(*this, datos, kObra);

    cargaFecha(*FechaFin, datos.Value(QStringLiteral("FechaFinalProy")));
    cargaFecha(*FechaIni, datos.Value(QStringLiteral("FechaInicioProy")));
    cargaFecha(*FechaTope, datos.Value(QStringLiteral("FechaTope")));

    if (QCoreApplication::applicationName() != QLatin1String("Plicadora")) {
      gbPeriodicidad->hide();
      lblPeriodos->hide();
      Periodos->hide();
    } else {
      const vb::Variant p = datos.Value(QStringLiteral("Periodicidad"));
      int16_t codigo = 1;
      if (vb::IsNumeric(p)) {
        const double n = vb::CDbl(p);
        if (n == 2 || n == 3 || n == 4) codigo = int16_t(n);
      }
      QRadioButton* const opciones[] = {optMensual, optQuincenal, optSemanal, optDiaria};
      opciones[codigo - 1]->setChecked(true);
      clicPeriodicidad(codigo);
      const vb::Variant guardados = datos.Value(QStringLiteral("Periodos"));
      if (!general::esNulo(guardados)) Periodos->setText(vb::CStr(guardados));
    }

    cargaTextos(*this, datos, kNiveles);
    cargaTextos(*this, plicadora ? *quarvel::rsTitgen : datos, kFirmas);
    CalculaDiasCalendario();

    // As large as the texts just loaded and the footer's columns need, centred on the screen.
    ajustaATextos();
    if (const QScreen* pantalla = screen()) {
      const QRect area = pantalla->availableGeometry();
      move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
  } catch (...) {
    // Nothing of a load that failed stays behind: the next opening starts afresh.
    general::objListaOpciones.reset();
    throw;
  }
}

// ---------------------------------------------------------------------------------------------------
// Activation, keys

void FrmDatGen::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Once the dialog is on screen (the first show of a modal dialog is its activation).
  if (!activacionPendiente_) {
    activacionPendiente_ = true;
    QTimer::singleShot(0, this, [this] { atrapa([this] { Form_Activate(); }); });
  }
}

void FrmDatGen::Form_Activate() {
  // The footer evaluated on showing, and what the dialog works out on closing, are no edit of the
  // user's: a bid that cannot be written keeps them in memory rather than refusing the dialog.
  dao::MemoryWrites recalculos;
  if (quarvel::edicion == 2) BloqueaCampos();
  pagina->Form_Activate();  // re-evaluates and reloads the footer when it has rows; the grid takes the focus
}

void FrmDatGen::Form_KeyDown(int keyCode, int /*shift*/) { ui::EmulaEnter(keyCode); }

// ---------------------------------------------------------------------------------------------------
// Closing

void FrmDatGen::reject() { Cancelar_Click(); }

void FrmDatGen::Cancelar_Click() { ui::Forms::instance().unload(this); }

void FrmDatGen::Form_Unload() {
  // Whichever way the dialog closes; it never refuses to.
  dao::MemoryWrites recalculos;
  atrapa([this] {
    if (pagina->ContratistaEnVista()) pagina->Command2_Click();
    copiado::calculaPeriodos();
    pagina->GrabaFactorIntegrado();
  });
  rsTotalMonedas_.reset();
  general::objListaOpciones.reset();
  quarvel::banderaDatGen = false;
}
