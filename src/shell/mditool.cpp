#include "mditool.h"

#include "dao.h"
#include "error.h"
#include "files.h"
#include "forms.h"
#include "frmpresenta.h"
#include "general.h"
#include "iconoprograma.h"
#include "korgen.h"
#include "mditoolbar.h"
#include "msgbox.h"
#include "printers.h"
#include "puntero.h"
#include "quarvel.h"

#include "maneobra.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QEvent>

namespace mditool {

namespace {

// Services the rest of the program relies on, set up once per process.
void instalaServicios() {
  static bool instalados = false;
  if (instalados)
    return;
  instalados = true;
  KorGen::setConsultaImpresora([] { return ui::HayImpresora(); });
  // Edits reach the files at the end of every user action: whenever the event loop (the program's, or
  // a modal window's) has nothing left to do and is about to wait for the user.
  static bool finDeAccion = false;
  if (QAbstractEventDispatcher* despachador = QAbstractEventDispatcher::instance())
    QObject::connect(despachador, &QAbstractEventDispatcher::aboutToBlock, [] {
      finDeAccion = true;
      dao::DBEngine::EndAction();
      finDeAccion = false;
    });
  // A commit the disk refuses there (or when a file closes) has undone the action: said at once, with
  // the file and the cause. Not from inside the loop's wait, where no window may open: just after it.
  dao::DBEngine::OnCommitFailure([](const QString& archivo, const vb::Error& e) {
    const QString texto = QStringLiteral("El último cambio no se guardó en %1: %2 %3")
                              .arg(QDir::toNativeSeparators(archivo))
                              .arg(e.number())
                              .arg(e.description());
    if (finDeAccion)
      QMetaObject::invokeMethod(qApp, [texto] { ui::MsgBox(texto, ui::vbExclamation); }, Qt::QueuedConnection);
    else
      ui::MsgBox(texto, ui::vbExclamation);
  });
}

}  // namespace

bool Main(const QString& rutaPrograma, const QString& producto) {
  int linea = 1;
  try {
    instalaServicios();
    QCoreApplication::setApplicationName(producto);
    QGuiApplication::setWindowIcon(iconoPrograma());  // every window's, the splash's and the About box's
    linea = 2;
    if (!QDir::setCurrent(rutaPrograma))
      throw vb::Error(76);
    linea = 3;
    quarvel::rutaPrograma = QDir::cleanPath(QDir(rutaPrograma).absolutePath());
    linea = 4;
    quarvel::edicion = producto == QLatin1String("Plicadora") ? 1 : 2;
    linea = 5;
    quarvel::dbParametros = dao::DBEngine::OpenDatabase(general::ArchivoPrograma(QStringLiteral("paratorn.kor")),
                                                        false, false, quarvel::kConexion);
    // Held now, the library cannot be compacted by another copy of the program: what a compaction
    // stopped earlier left beside it is stale.
    files::removeLeftovers(quarvel::dbParametros->Name());
    linea = 6;
    quarvel::rsTitgen = quarvel::dbParametros->OpenRecordset(QStringLiteral("SELECT * FROM titgen"),
                                                             dao::RecordsetType::Dynaset);
    linea = 7;
    frmPresenta::MuestraInicio(quarvel::rutaPrograma);
    linea = 8;
    QCoreApplication::processEvents();
    linea = 9;
    ui::Forms& formas = ui::Forms::instance();
    MDIToolbar* principal = formas.get<MDIToolbar>();
    linea = 10;
    puntero::Normal();
    linea = 11;
    frmPresenta::EsperaCierre();
    linea = 12;
    if (!principal || !formas.isLoaded(principal))
      return false;
    formas.show(principal);
    QCoreApplication::processEvents();
    return true;
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("Error en Mditool.Main ") + QString::number(e.number()) + u' ' + e.description() +
               QStringLiteral(" Linea: ") + QString::number(linea));
    return false;
  }
}

void Termina() {
  ui::Forms& formas = ui::Forms::instance();
  if (MDIToolbar* principal = MDIToolbar::instancia())
    formas.unload(principal);
  formas.descargaFormas(QString());
  // The windows go now, and the recordsets their grids hold with them, while the databases are open.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  general::descargaObjetos();
  maneobra::SueltaObra();
  maneobra::CierraBiblioteca();
}

}  // namespace mditool
