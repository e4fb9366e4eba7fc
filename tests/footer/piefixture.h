#pragma once
// A bid open as the program opens it (exclusive, with its general-data recordset), the library
// database beside it, and the footer page on it. Copies of the files of the build's program folder.
#include "paginapie.h"

#include "copia_programa.h"
#include "dao.h"
#include "estado_quarvel.h"
#include "forms.h"
#include "maneobra.h"
#include "quarvel.h"
#include "scripted_ui.h"

#include "qt_print.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace piefixture {

// One row of Pie as stored.
struct Fila {
  int renglon;
  QString texto;
  std::vector<int> refs;  // Renglon1 .. Renglon9
  QString operacion;
  double factor;
  QString porcen;
  vb::Currency total;  // 0 when it has none
  bool conTotal;       // a pass that stopped leaves none
  bool imprime;
};

inline vb::Currency cur(const char* texto) { return vb::CCur(vb::Variant(texto)); }

class PieTest : public ::testing::Test {
protected:
  // bid: "Ejemplo.mdb" (10 footer rows, base format "Num. 0") or "TORNAVO.KOR" (empty footer).
  // antes runs on the copies before they are opened. Again after TearDown(): fresh copies.
  void abre(const QString& bid, int16_t edicion,
            const std::function<void(const QString& obra, const QString& biblioteca)>& antes = {}) {
    ASSERT_TRUE(dir_.isValid());
    const QString ruta = dir_.filePath(QStringLiteral("obra.mdb"));
    const QString biblioteca = dir_.filePath(QStringLiteral("paratorn.kor"));
    // A table of cases opens fresh copies after each TearDown.
    QFile::remove(ruta);
    QFile::remove(biblioteca);
    ASSERT_TRUE(testsupport::copiaDelPrograma(bid, ruta));
    ASSERT_TRUE(testsupport::copiaDelPrograma(QStringLiteral("paratorn.kor"), biblioteca));
    if (antes) antes(ruta, biblioteca);
    quarvel::rutaPrograma = dir_.path();
    quarvel::edicion = edicion;
    testsupport::abreObra(ruta);
    ASSERT_TRUE(quarvel::rsDatosGenerales);
    quarvel::dbParametros = dao::DBEngine::OpenDatabase(biblioteca, false, false, quarvel::kConexion);
    pagina = std::make_unique<footer::PaginaPie>();
    pagina->resize(640, 380);
    pagina->Form_Load();
  }

  void TearDown() override {
    ui::Forms::instance().setModalRunner({});
    for (QWidget* f : ui::Forms::instance().loaded()) ui::Forms::instance().unload(f);
    pagina.reset();
    QCoreApplication::processEvents();
    testsupport::reiniciaQuarvel();
  }

  ui::UnboundGrid& grid() { return *pagina->Grid1; }
  int col(const char* campo) { return grid().ColumnIndex(QString::fromLatin1(campo)); }

  // Types text into a cell of the grid's row (the add-new line is row Rows()).
  bool escribe(int fila, const char* campo, const QString& texto) {
    grid().SetRow(fila);
    return grid().CommitCell(col(campo), texto);
  }

  static std::vector<Fila> filas(dao::Database& db, const QString& sql) {
    std::vector<Fila> out;
    auto rs = db.OpenRecordset(sql, dao::RecordsetType::Snapshot);
    for (; !rs->EOF_(); rs->MoveNext()) {
      Fila f;
      f.renglon = rs->Value(QStringLiteral("Renglon")).toInteger();
      f.texto = rs->Value(QStringLiteral("Texto")).isNull() ? QString() : rs->Value(QStringLiteral("Texto")).toString();
      for (int k = 1; k <= 9; ++k) {
        const vb::Variant v = rs->Value(QStringLiteral("Renglon%1").arg(k));
        f.refs.push_back(v.isNull() ? -1 : v.toInteger());
      }
      const vb::Variant op = rs->Value(QStringLiteral("Operacion"));
      f.operacion = op.isNull() ? QString() : op.toString();
      f.factor = rs->Value(QStringLiteral("Factor")).toDouble();
      const vb::Variant p = rs->Value(QStringLiteral("Porcen"));
      f.porcen = p.isNull() ? QString() : p.toString();
      const vb::Variant total = rs->Value(QStringLiteral("Total"));
      f.conTotal = !total.isNull();
      f.total = f.conTotal ? total.toCurrency() : vb::Currency();
      f.imprime = rs->Value(QStringLiteral("ImprimirRenglon")).toBool();
      out.push_back(f);
    }
    return out;
  }
  static std::vector<Fila> pie() { return filas(*quarvel::dbObra, QStringLiteral("SELECT * FROM Pie ORDER BY Renglon")); }
  static std::vector<vb::Currency> totales() {
    std::vector<vb::Currency> t;
    for (const Fila& f : pie()) t.push_back(f.total);
    return t;
  }
  // The rows left without a total, by their number.
  static std::vector<int> sinTotal() {
    std::vector<int> r;
    for (const Fila& f : pie())
      if (!f.conTotal) r.push_back(f.renglon);
    return r;
  }
  static vb::Currency factorIntegrado() {
    auto rs = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT FactorIntegrado FROM DatosGenerales"),
                                            dao::RecordsetType::Snapshot);
    return rs->Value(QStringLiteral("FactorIntegrado")).toCurrency();
  }
  static int cuenta(dao::Database& db, const QString& sql) {
    return int(db.OpenRecordset(sql, dao::RecordsetType::Snapshot)->RecordCount());
  }
  static void ejecuta(dao::Database& db, const QString& sql) { db.Execute(sql); }

  QTemporaryDir dir_;
  std::unique_ptr<footer::PaginaPie> pagina;
  testui::ScriptedMsgBoxes cajas;
};

}  // namespace piefixture
