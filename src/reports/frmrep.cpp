#include "frmrep.h"

#include "avance.h"
#include "dao.h"
#include "dialogos.h"
#include "frmopcpresu.h"
#include "frmopcprograma.h"
#include "general.h"
#include "internos.h"
#include "korgen.h"
#include "mditoolbar.h"
#include "msgbox.h"
#include "printing.h"
#include "quarvel.h"
#include "sheetview.h"
#include "twips.h"
#include "utilidades.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using dialogos::control;
using dialogos::twips;
using repgen::detalle::abierto;
using repgen::detalle::comillas;

namespace {

constexpr int kAnchoBoton = 1215;  // twips
constexpr int kMargen = 150;

// An options dialog of the report being built, modal; released when it closes.
template <class Dialogo> void muestraOpciones(repgen::ContextoReporte& rep) {
  auto& formas = ui::Forms::instance();
  auto* dialogo = new Dialogo(rep);
  formas.add(dialogo);
  dialogo->Form_Load();
  if (formas.isLoaded(dialogo))
    formas.showModal(dialogo);
  formas.unload(dialogo);
}

}  // namespace

frmRep::Escritores& frmRep::escritores() {
  static Escritores tabla;
  return tabla;
}

frmRep::frmRep(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmRep"));
  setWindowTitle(QStringLiteral("Reportes del sistema "));
  setMinimumSize(ui::twipsToPixels(QSizeF(9600, 5400)));
  resize(ui::twipsToPixels(QSizeF(14400, 10200)));

  // The first line holds the kind, the workbook and the sheet; the destination sits below the
  // workbook until the window's load puts it in the workbook's place.
  Label3 = control<QLabel>(this, QStringLiteral("Label3"), QStringLiteral("Reporte"), twips(120, 120, 3600, 240));
  Combo2 = control<QComboBox>(this, QStringLiteral("Combo2"), twips(120, 360, 3600, 315));
  Label1 = control<QLabel>(this, QStringLiteral("Label1"), QStringLiteral("Libro de reportes"),
                           twips(3900, 120, 3240, 240));
  Text1 = control<QLineEdit>(this, QStringLiteral("Text1"), twips(3900, 360, 3240, 315));
  Command5 = control<QPushButton>(this, QStringLiteral("Command5"), QStringLiteral("..."), twips(7170, 360, 330, 315));
  Label2 = control<QLabel>(this, QStringLiteral("Label2"), QStringLiteral("Nombre de la hoja"),
                           twips(7680, 120, 2400, 240));
  Combo1 = control<QComboBox>(this, QStringLiteral("Combo1"), twips(7680, 360, 2400, 315));
  Label4 = control<QLabel>(this, QStringLiteral("Label4"), QStringLiteral("Imprimir a:"), twips(3900, 780, 3000, 240));
  Combo3 = control<QComboBox>(this, QStringLiteral("Combo3"), twips(3900, 1020, 3000, 315));

  Reporte = new wb::SheetView(this);
  Reporte->setObjectName(QStringLiteral("Reporte"));
  Reporte->setGeometry(twips(120, 840, 12600, 8600));
  Reporte->setBook(&rep.Reporte);

  Command1 = control<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("Aceptar"),
                                  twips(13000, 360, kAnchoBoton, 375));
  Command2 = control<QPushButton>(this, QStringLiteral("Command2"), QStringLiteral("Cancelar"),
                                  twips(13000, 840, kAnchoBoton, 375));
  Command6 = control<QPushButton>(this, QStringLiteral("Command6"), QStringLiteral("Opciones"),
                                  twips(13000, 1320, kAnchoBoton, 375));
  // Enter in a list must not print.
  for (QPushButton* b : {Command1, Command2, Command6, Command5}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }

  connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
  connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

  for (int tipo = 0; tipo < repgen::kTiposReporte; ++tipo)
    rep.setEscritor(tipo, escritores()[size_t(tipo)]);
}

frmRep::~frmRep() = default;

void frmRep::Muestra(bool modal) {
  auto& formas = ui::Forms::instance();
  if (frmRep* abierta = formas.find<frmRep>())
    formas.unload(abierta);
  frmRep* forma = formas.get<frmRep>();
  if (!forma)
    return;
  if (modal)
    formas.showModal(forma);
  else
    formas.show(forma);
}

void frmRep::Form_Load() {
  quarvel::unidadRedondeo = vb::Currency::fromInt(100);  // two decimals while reports are made
  // Only the kind and the destination are chosen here; workbook and sheet come from reportes.
  for (QWidget* oculto : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Command5),
                          static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label1),
                          static_cast<QWidget*>(Combo1)})
    oculto->hide();
  Label4->move(Label4->x(), Label2->y());
  Combo3->move(Combo3->x(), Text1->y());
  setWindowTitle(QStringLiteral("Obra : ") + vb::Trim(quarvel::rutaObra));

  for (const quarvel::RecordsetPtr* rs : {&quarvel::rsReportes, &quarvel::rsRepOpciones}) {
    try {
      RestableceLibros(abierto(*rs));
    } catch (const vb::Error& e) {
      // The rows keep their workbooks; the window still opens.
      ui::MsgBox(QStringLiteral("Error en frmRep.RestableceLibros ") + QString::number(e.number()) +
                 QLatin1Char(' ') + e.description());
    }
  }

  Combo3->addItem(QStringLiteral("Impresora"));
  Combo3->addItem(QStringLiteral("Presentación preliminar"));
  Combo3->setCurrentIndex(quarvel::destinoReporte == 1 ? 1 : 0);

  for (int tipo = 0; tipo < repgen::kTiposReporte; ++tipo)
    Combo2->addItem(repgen::textoReporte(tipo));
  Combo2->setCurrentIndex(0);
  Combo2_Click();

  muestraLibro(QStringLiteral("presupuesto"));
  rep.soloMuestra = false;
}

void frmRep::RestableceLibros(dao::Recordset& rs) {
  if (rs.RecordCount() == 0)
    return;
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
    const vb::Variant reporte = rs.Value(QStringLiteral("Reporte"));
    if (reporte.isNull())
      continue;
    for (int tipo = 0; tipo < repgen::kTiposReporte; ++tipo) {
      if (vb::CStr(reporte) != repgen::textoReporte(tipo))
        continue;
      if (rs.GetEditMode() == dao::EditMode::None)
        rs.Edit();
      rs.SetValue(QStringLiteral("Libro"), quarvel::rutaPrograma + QLatin1Char('/') + repgen::plantillaReporte(tipo));
      rs.Update();
      break;
    }
  }
}

void frmRep::muestraLibro(const QString& reporte) {
  try {
    dao::Recordset& rs = abierto(quarvel::rsReportes);
    rs.FindFirst(QStringLiteral("Reporte=") + comillas(reporte));
    if (rs.NoMatch()) {
      ponTexto1(QString());
      return;
    }
    const vb::Variant guardado = rs.Value(QStringLiteral("Libro"));
    QString libro = general::esNulo(guardado) ? QString() : vb::Trim(vb::CStr(guardado));
    QString carpeta, archivo;
    general::SeparaRuta(libro, carpeta, archivo);
    if (!KorGen::ExistePath(carpeta)) {
      // A workbook whose folder is gone is looked for in the program folder.
      libro = quarvel::rutaPrograma + QLatin1Char('/') + archivo;
      rs.Edit();
      rs.SetValue(QStringLiteral("Libro"), libro);
      rs.Update();
    }
    ponTexto1(libro);
  } catch (const vb::Error&) {
    // The kind keeps the workbook it had.
  }
}

void frmRep::ponTexto1(const QString& texto) {
  if (Text1->text() == texto)
    return;
  Text1->setText(texto);
  CargaHoja();
}

void frmRep::Combo2_Click() { muestraLibro(Combo2->currentText()); }

void frmRep::CargaHoja() {
  try {
    try {
      rep.Formato.read(Text1->text());
    } catch (const vb::Error& e) {
      // Nothing to show or print for this kind: the sample of another kind, its pictures included,
      // must not stay under its name. A kind without a workbook (no row of its own) is not an error
      // to tell.
      Combo1->clear();
      rep.Reporte.newWorkbook();
      Command1->setEnabled(false);
      Command6->setEnabled(false);
      if (!Text1->text().isEmpty())
        ui::MsgBox(e.description(), ui::vbExclamation);
      return;
    }
    Command1->setEnabled(true);
    Combo1->clear();
    for (int i = 1; i <= rep.Formato.numSheets(); ++i)
      Combo1->addItem(rep.Formato.sheetName(i));

    dao::Recordset& rs = abierto(quarvel::rsReportes);
    const QString reporte = Combo2->currentText();
    rs.FindFirst(QStringLiteral("Reporte=") + comillas(reporte));
    int indice = 0;
    if (rs.NoMatch()) {
      rs.AddNew();
      rs.SetValue(QStringLiteral("Reporte"), reporte);
      rs.SetValue(QStringLiteral("Libro"), Text1->text());
      rs.SetValue(QStringLiteral("Hoja"), rep.Formato.sheetName(1));
      rs.Update();
    } else {
      const vb::Variant hoja = rs.Value(QStringLiteral("Hoja"));
      rs.Edit();
      rs.SetValue(QStringLiteral("Libro"), Text1->text());
      rs.Update();
      // A stored sheet the workbook no longer has gives its first sheet.
      if (!hoja.isNull()) {
        const int encontrada = Combo1->findText(vb::CStr(hoja), Qt::MatchExactly | Qt::MatchCaseSensitive);
        indice = encontrada < 0 ? 0 : encontrada;
      }
    }
    Combo1->setCurrentIndex(indice);
    Combo1_Click();
  } catch (const vb::Error&) {
    // An unreadable workbook lists no sheets; the sample stays as it was.
  }
}

void frmRep::tomaEleccion() {
  rep.tipo = std::clamp(Combo2->currentIndex(), 0, repgen::kTiposReporte - 1);
  rep.libro = Text1->text();
  rep.hojaIndice = Combo1->currentIndex();
  rep.hoja = Combo1->currentText();
}

void frmRep::Combo1_Click() {
  try {
    rep.Reporte.clearAll();
    dao::Recordset& rs = abierto(quarvel::rsReportes);
    const QString reporte = Combo2->currentText();
    rs.FindFirst(QStringLiteral("Reporte=") + comillas(reporte));
    if (!general::esNulo(Text1->text())) {
      const bool nueva = rs.NoMatch();
      if (nueva) {
        rs.AddNew();
        rs.SetValue(QStringLiteral("Reporte"), reporte);
        rs.SetValue(QStringLiteral("Libro"), Text1->text());
      } else {
        rs.Edit();
      }
      if (Combo1->currentIndex() >= 0)
        rs.SetValue(QStringLiteral("Hoja"), nueva ? Combo1->currentText() : vb::Trim(Combo1->currentText()));
      rs.Update();
    }
    tomaEleccion();
    if (rep.GeneraMuestra())
      Command6->setEnabled(rep.tipo != repgen::kConceptosPrecios);
  } catch (const vb::Error&) {
    // The sample shows what was written before the error.
  }
}

void frmRep::Command5_Click() {
  try {
    CommonDialog1.Flags = ui::cdlOFNFileMustExist | ui::cdlOFNHideReadOnly;
    // Templates are .xlsx content whatever their extension; a legacy .xls is listed so that choosing
    // it gets its message rather than going unseen.
    CommonDialog1.Filter = QStringLiteral("Hojas de cálculo|*.xlsx;*.kor;*.xls");
    CommonDialog1.ShowOpen();
    ponTexto1(CommonDialog1.FileName);
  } catch (const vb::Error&) {
    // Cancelled.
  }
}

void frmRep::Command6_Click() {
  try {
    tomaEleccion();
    rep.LeeParametros();
    if (rep.tipo == repgen::kPresupuesto || rep.tipo == repgen::kTotalesPresupuesto)
      muestraOpciones<FrmOpcPresu>(rep);
    else if (rep.tipo == repgen::kProgramaObra || rep.tipo == repgen::kMontosMensuales)
      muestraOpciones<FrmOpcPrograma>(rep);
  } catch (const vb::Error&) {
  }
  QCoreApplication::processEvents();
  activateWindow();
  Combo1_Click();
}

void frmRep::Command1_Click() {
  const bool impresora = Combo3->currentIndex() == 0;
  try {
    tomaEleccion();
    rep.soloMuestra = false;
    // A long report shows how far it has gone, and can be stopped.
    Avance avance(this, QStringLiteral("Generando el reporte \"%1\"...").arg(repgen::textoReporte(rep.tipo)));
    rep.avance = std::ref(avance);
    const bool hecho = rep.GeneraReporte();
    rep.avance = nullptr;
    if (hecho)
      Command6->setEnabled(rep.tipo != repgen::kConceptosPrecios);
    // A report that could not be generated, or whose writer found nothing to write, is not printed:
    // the sheet would hold an empty page or the previous sample.
    if (hecho && rep.Reporte.lastRow() > 0) {
      wb::PrintService& ps = wb::PrintService::instance();
      const QString imprimiendo = QStringLiteral("Imprimiendo el reporte \"%1\"...").arg(repgen::textoReporte(rep.tipo));
      avance.etapa(imprimiendo);
      const wb::PrintService::Job trabajo{repgen::archivoPdf(repgen::textoReporte(rep.tipo)), std::ref(avance),
                                          [&] { avance.reinicia(imprimiendo); }};
      if (impresora)
        ps.print(rep.Reporte, true, this, trabajo);
      else
        ps.preview(rep.Reporte, this, trabajo);
    }
  } catch (const vb::Error& e) {
    rep.avance = nullptr;
    ui::MsgBox(e.description(), ui::vbExclamation);
  }
  // The sample back in the window; the request has told its quantity errors already.
  rep.muestraDiferencias = false;
  Combo1_Click();
  rep.muestraDiferencias = true;
}

void frmRep::Command2_Click() { ui::Forms::instance().unload(this); }

void frmRep::reject() { Command2_Click(); }

void frmRep::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  Form_Resize();
}

void frmRep::Form_Resize() {
  const MDIToolbar* principal = MDIToolbar::instancia();
  if (isMinimized() || (principal && principal->isMinimized()))
    return;
  const QSizeF interior = ui::pixelsToTwips(size());
  const double anchoBoton = ui::pixelsToTwips(Command1->width());
  for (QPushButton* b : {Command1, Command6, Command2})
    b->move(ui::twipsToPixels(interior.width() - ui::pixelsToTwips(b->width()) - kMargen), b->y());
  const QPointF origen = ui::pixelsToTwips(Reporte->pos());
  const double alto = interior.height() - origen.y() - 700;
  const double ancho = interior.width() - origen.x() - anchoBoton - kMargen - kMargen;
  Reporte->resize(ui::twipsToPixels(std::max(0.0, ancho)), ui::twipsToPixels(std::max(0.0, alto)));
}
