#pragma once
// A copy of a bid open as the program opens it (exclusive, its shared recordsets), the library database
// beside it with its titgen row, the edition and the application's name set, and the general-data
// dialog loaded on it.
#include "frmdatgen.h"

#include "clslistaopciones.h"
#include "copia_programa.h"
#include "dao.h"
#include "datepicker.h"
#include "estado_quarvel.h"
#include "forms.h"
#include "general.h"
#include "maneobra.h"
#include "objgenerasql.h"
#include "paginapie.h"
#include "quarvel.h"
#include "scripted_ui.h"
#include "unboundgrid.h"
#include "vbcontrols.h"

#include "qt_print.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace datgentest {

inline vb::Currency cur(const char* texto) { return vb::CCur(vb::Variant(texto)); }

class DatGenTest : public ::testing::Test {
protected:
  // bid: a file of the build's program folder ("Ejemplo.mdb", "TORNAVO.KOR"). antes runs SQL on the
  // copies before they are opened (the bid, then the library). With a bid open already, it is closed
  // and the test goes on with fresh copies (a table of cases, each on its own files).
  void abre(int16_t edicion, const QString& bid = QStringLiteral("Ejemplo.mdb"),
            const std::function<void(dao::Database& obra, dao::Database& biblioteca)>& antes = {}) {
    if (quarvel::dbObra) {
      TearDown();
      dir_ = std::make_unique<QTemporaryDir>();
    }
    ASSERT_TRUE(dir_->isValid());
    ruta_ = dir_->filePath(QStringLiteral("obra.mdb"));
    const QString biblioteca = dir_->filePath(QStringLiteral("paratorn.kor"));
    ASSERT_TRUE(testsupport::copiaDelPrograma(bid, ruta_));
    ASSERT_TRUE(testsupport::copiaDelPrograma(QStringLiteral("paratorn.kor"), biblioteca));
    if (antes) {
      auto obra = dao::DBEngine::OpenDatabase(ruta_, true, false, quarvel::kConexion);
      auto lib = dao::DBEngine::OpenDatabase(biblioteca, true, false, quarvel::kConexion);
      antes(*obra, *lib);
      obra->Close();
      lib->Close();
    }
    nombrePrevio_ = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(edicion == 1 ? QStringLiteral("Plicadora") : QStringLiteral("Tornavo"));
    quarvel::rutaPrograma = dir_->path();
    quarvel::edicion = edicion;
    quarvel::dbParametros = dao::DBEngine::OpenDatabase(biblioteca, false, false, quarvel::kConexion);
    quarvel::rsTitgen = quarvel::dbParametros->OpenRecordset(QStringLiteral("SELECT * FROM titgen"),
                                                             dao::RecordsetType::Dynaset);
    testsupport::abreObra(ruta_);
    ASSERT_TRUE(quarvel::rsDatosGenerales);
  }

  // Loads the dialog (its Form_Load runs) and, unless told not to, shows it and lets its activation run.
  FrmDatGen* carga(bool muestra = true) {
    forma = ui::Forms::instance().get<FrmDatGen>();
    if (forma && muestra) {
      forma->show();
      QCoreApplication::processEvents();
    }
    return forma;
  }

  void TearDown() override {
    ui::Forms::instance().setModalRunner({});
    for (QWidget* f : ui::Forms::instance().loaded()) ui::Forms::instance().unload(f);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    general::objListaOpciones.reset();
    general::objGeneraSql.reset();
    testsupport::reiniciaQuarvel();
    if (!nombrePrevio_.isNull()) QCoreApplication::setApplicationName(nombrePrevio_);
  }

  // ---- reading what is stored
  static vb::Variant guardado(const QString& campo, dao::Database& db, const QString& tabla) {
    auto rs = db.OpenRecordset(QStringLiteral("SELECT %1 FROM %2").arg(campo, tabla), dao::RecordsetType::Snapshot);
    return rs->Value(campo);
  }
  static vb::Variant dato(const QString& campo) { return guardado(campo, *quarvel::dbObra, QStringLiteral("DatosGenerales")); }
  static vb::Variant titgen(const QString& campo) {
    return guardado(campo, *quarvel::dbParametros, QStringLiteral("titgen"));
  }
  static QString texto(const vb::Variant& v) { return v.isNull() ? QStringLiteral("<Null>") : vb::CStr(v); }
  static int cuenta(const QString& sql) {
    return int(quarvel::dbObra->OpenRecordset(sql, dao::RecordsetType::Snapshot)->RecordCount());
  }

  // ---- the dialog
  QString caja(const char* nombre) const { return forma->Texto(QString::fromLatin1(nombre)); }
  void pon(const char* nombre, const QString& t) { forma->PonTexto(QString::fromLatin1(nombre), t); }
  static QDate dia(const ui::DatePicker* p) { return p->HasDate() ? p->date() : QDate(); }
  // Aceptar; true when the dialog then closed.
  bool acepta() {
    QPointer<FrmDatGen> f(forma);
    f->Aceptar->click();
    return !f || !ui::Forms::instance().isLoaded(f);
  }
  // Shows a page as a click on its node in the page list does.
  void muestraPagina(const QString& titulo) {
    auto* arbol = forma->findChild<VbTreeView*>(QStringLiteral("tvwOpciones"));
    for (QTreeWidgetItem* nodo : arbol->nodes())
      if (nodo->text(0) == titulo) {
        arbol->selectNode(nodo);
        emit arbol->genericEvent(QStringLiteral("NodeClick"));
      }
    QCoreApplication::processEvents();
  }
  // A footer cell's editor opened with F2 on the page "Indirectos" (shown), `texto` typed over what it
  // held, no Enter yet; the editor, or nullptr when none opened.
  QLineEdit* tecleaEnPie(int fila, int columna, const QString& texto) {
    muestraPagina(QStringLiteral("Indirectos"));
    ui::UnboundGrid* grid = forma->pagina->Grid1;
    grid->setCurrentIndex(grid->model()->index(fila, columna));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!editor) return nullptr;
    editor->selectAll();
    QTest::keyClicks(editor, texto);
    return editor;
  }
  // Shows the dialog as the active window, as the user has it.
  bool activa() {
    forma->show();
    forma->activateWindow();
    return QTest::qWaitForWindowActive(forma);
  }

  // The page on show (by the navigator's caption bar over it).
  QString paginaVisible() const {
    for (int i = 1; i <= 8; ++i)
      if (!forma->fraMarco(i)->isHidden()) return forma->fraMarco(i)->caption();
    return {};
  }

  QPointer<FrmDatGen> forma;
  testui::ScriptedMsgBoxes cajas;
  std::unique_ptr<QTemporaryDir> dir_ = std::make_unique<QTemporaryDir>();
  QString ruta_;
  QString nombrePrevio_;
};

}  // namespace datgentest
