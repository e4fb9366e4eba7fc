// Footer rows deleted on the dialog's footer page as the user deletes them (record selector, then
// Delete): the rows after the deleted one keep naming the rows they named, a row still in use is not
// deleted, and the totals and the factor stored are always those of the footer on show.
#include "datgenfixture.h"

#include "manos_grid.h"
#include "unboundgrid.h"

#include <vector>

namespace {

using namespace datgentest;
using footer::PaginaPie;

struct Renglon {
  int numero;
  QString texto;
  std::vector<int> refs;  // Renglon1 .. Renglon9
  vb::Variant total;
};

class BorradoPie : public DatGenTest {
protected:
  // The dialog loaded, shown and on its footer page.
  void abrePie(int16_t edicion, const QString& bid, const std::function<void(dao::Database&)>& antes = {}) {
    abre(edicion, bid, [&](dao::Database& obra, dao::Database&) {
      // A stale factor shows whether a delete stores the footer's own.
      obra.Execute("UPDATE DatosGenerales SET FactorIntegrado = 9.9999");
      if (antes) antes(obra);
    });
    ASSERT_TRUE(carga());
    ASSERT_TRUE(activa());
    muestraPagina(QStringLiteral("Indirectos"));
    ASSERT_TRUE(grid().isVisible());
  }

  ui::UnboundGrid& grid() { return *forma->pagina->Grid1; }
  void borra(int fila) { testsupport::borraConSelector(grid(), fila); }
  void teclea(int fila, int columna, const QString& t) { testsupport::tecleaCelda(grid(), fila, columna, t); }

  static std::vector<Renglon> pie() {
    std::vector<Renglon> out;
    auto rs = quarvel::dbObra->OpenRecordset("SELECT * FROM Pie ORDER BY Renglon", dao::RecordsetType::Snapshot);
    for (; !rs->EOF_(); rs->MoveNext()) {
      Renglon r{rs->Value("Renglon").toInteger(), vb::CStr(rs->Value("Texto")), {}, rs->Value("Total")};
      for (int k = 1; k <= 9; ++k) r.refs.push_back(rs->Value(QString("Renglon%1").arg(k)).toInteger());
      out.push_back(r);
    }
    return out;
  }
  static std::vector<QString> textos(const std::vector<Renglon>& filas) {
    std::vector<QString> t;
    for (const Renglon& r : filas) t.push_back(r.texto);
    return t;
  }
  static std::vector<QString> totales(const std::vector<Renglon>& filas) {
    std::vector<QString> t;
    for (const Renglon& r : filas) t.push_back(texto(r.total));
    return t;
  }
  std::vector<QString> totalesEnGrid() {
    std::vector<QString> t;
    for (int i = 0; i < grid().Array()->Rows(); ++i) t.push_back(grid().CellText(i, PaginaPie::colTotal));
    return t;
  }
  static std::vector<QString> comoEnGrid(const std::vector<Renglon>& filas) {
    std::vector<QString> t;
    for (const Renglon& r : filas) t.push_back(ui::UnboundGrid::formatValue(r.total, "Currency"));
    return t;
  }
  static vb::Currency factor() { return dato("FactorIntegrado").toCurrency(); }
  // The boxes shown since the last call (a table of cases shares the scripted boxes).
  QStringList cajasNuevas() {
    const QStringList t = cajas.texts().mid(vistas_);
    vistas_ = cajas.texts().size();
    return t;
  }
  static vb::Currency factorDe(const std::vector<Renglon>& filas) {
    return vb::CCur(vb::Variant(filas.back().total.toCurrency().toDouble() / 100));
  }

private:
  qsizetype vistas_ = 0;
};

// A footer row as stored: number, text, nine references, operation, factor, "%".
QString fila(int numero, const QString& texto, const std::vector<int>& refs, const char* factor, const char* porcen) {
  QStringList r;
  for (int k = 0; k < 9; ++k) r << QString::number(k < int(refs.size()) ? refs[size_t(k)] : 0);
  return QString("INSERT INTO Pie (Renglon, Texto, Renglon1, Renglon2, Renglon3, Renglon4, Renglon5, Renglon6, "
                 "Renglon7, Renglon8, Renglon9, Operacion, Factor, Porcen, Total, ImprimirRenglon) "
                 "VALUES (%1, '%2', %3, '*', %4, '%5', 0, True)")
      .arg(numero)
      .arg(texto, r.join(", "), factor, porcen);
}

// Rows 1-4 with row 2 used by no other row; the closing row adds rows 1 and 3 and the direct cost.
void cuatroRenglones(dao::Database& obra) {
  obra.Execute(fila(1, "Costo directo", {99}, "0", " "));
  obra.Execute(fila(2, "Indirectos de oficina", {1}, "10", "%"));
  obra.Execute(fila(3, "Indirectos de campo", {1}, "5", "%"));
  obra.Execute(fila(4, "Total", {1, 3, 0, 0, 0, 0, 0, 0, 99}, "0", " "));
}

// Sixty rows, each adding the row before it, taking away the one before that now and then, adding the
// direct cost now and then; row 30 is used by no row (the rows after it skip it).
void sesentaRenglones(dao::Database& obra) {
  auto previo = [](int n) { return n == 30 ? 29 : n; };
  obra.Execute(fila(1, "Costo directo", {99}, "0", " "));
  for (int i = 2; i <= 60; ++i) {
    if (i == 30) {
      obra.Execute(fila(i, "Aparte", {29}, "2", "%"));
      continue;
    }
    const int resta = i % 4 == 0 && i > 3 ? previo(previo(i - 1) - 1) : 0;
    obra.Execute(fila(i, QString("Renglón %1").arg(i), {previo(i - 1), 0, 0, 0, 0, 0, 0, resta, i % 5 == 0 ? 99 : 0},
                      i % 3 == 0 ? "1.5" : "0", " "));
  }
}

TEST_F(BorradoPie, TheRowsLeftByADeleteComputeWhatTheyComputedBefore) {
  struct Caso {
    const char* nombre;
    QString bid;
    std::function<void(dao::Database&)> antes;
    std::function<void(ui::UnboundGrid&)> prepara;  // typed on the page before the delete
    int borrado;                               // grid row
    std::vector<std::vector<int>> refs;        // of the rows left; empty: not checked
  } casos[] = {
      {"rows 1-4 without row 2",
       "TORNAVO.KOR",
       cuatroRenglones,
       {},
       1,
       {{99, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 2, 0, 0, 0, 0, 0, 0, 99}}},
      {"the sample once its first subtotal leaves row 2 out",
       "Ejemplo.mdb",
       {},
       [](ui::UnboundGrid& g) { testsupport::tecleaCelda(g, 3, PaginaPie::colRenglon1 + 1, "0"); },
       1,
       {{99, 0, 0, 0, 0, 0, 0, 0, 0},
        {1, 0, 0, 0, 0, 0, 0, 0, 0},
        {1, 0, 2, 0, 0, 0, 0, 0, 0},
        {3, 0, 0, 0, 0, 0, 0, 0, 0},
        {3, 4, 0, 0, 0, 0, 0, 0, 0},
        {5, 0, 0, 0, 0, 0, 0, 0, 0},
        {5, 6, 0, 0, 0, 0, 0, 0, 0},
        {7, 0, 0, 0, 0, 0, 0, 0, 0},
        {7, 8, 0, 0, 0, 0, 0, 0, 0}}},
      {"sixty rows without row 30", "TORNAVO.KOR", sesentaRenglones, {}, 29, {}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    abrePie(1, c.bid, c.antes);
    if (c.prepara) c.prepara(grid());
    std::vector<Renglon> antes = pie();
    ASSERT_GT(antes.size(), size_t(c.borrado + 1));
    antes.erase(antes.begin() + c.borrado);
    cajasNuevas();
    borra(c.borrado);
    EXPECT_EQ(cajasNuevas(), QStringList{});
    const std::vector<Renglon> despues = pie();
    ASSERT_EQ(despues.size(), antes.size());
    for (size_t i = 0; i < despues.size(); ++i) EXPECT_EQ(despues[i].numero, int(i + 1));
    EXPECT_EQ(textos(despues), textos(antes));
    EXPECT_EQ(totales(despues), totales(antes));
    for (size_t i = 0; i < c.refs.size() && i < despues.size(); ++i)
      EXPECT_EQ(despues[i].refs, c.refs[i]) << despues[i].texto.toStdString();
    // What the page shows and the factor stored are those of the footer left.
    EXPECT_EQ(totalesEnGrid(), comoEnGrid(antes));
    EXPECT_EQ(factor(), factorDe(antes));
    EXPECT_EQ(quarvel::rsDatosGenerales->Value("FactorIntegrado").toCurrency(), factorDe(antes));
    // Every later edit evaluates the whole footer without a word.
    teclea(1, PaginaPie::colFactor, "3");
    EXPECT_EQ(cajasNuevas(), QStringList{});
    EXPECT_EQ(totalesEnGrid(), comoEnGrid(pie()));
  }
}

TEST_F(BorradoPie, ARowOtherRowsUseIsNotDeletedAndTheMessageNamesThem) {
  struct Caso {
    int renglon;
    std::function<void(dao::Database&)> antes;
    const char* mensaje;
  } casos[] = {
      {2, {}, "El renglón 2 se utiliza en el renglón 4"},
      {4, {}, "El renglón 4 se utiliza en los renglones 5 y 6"},
      {1, {}, "El renglón 1 se utiliza en los renglones 2, 3 y 4"},
      // Taken away in the "(-)" columns, it is used all the same.
      {2,
       [](dao::Database& obra) {
         obra.Execute("UPDATE Pie SET Renglon2 = 0, Renglon8 = 2 WHERE Renglon = 4");
         obra.Execute("UPDATE Pie SET Renglon9 = 2 WHERE Renglon = 7");
       },
       "El renglón 2 se utiliza en los renglones 4 y 7"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.mensaje);
    abrePie(1, "Ejemplo.mdb", c.antes);
    const std::vector<Renglon> antes = pie();
    cajasNuevas();
    cajas.answer(ui::vbOK);
    borra(c.renglon - 1);
    EXPECT_EQ(cajasNuevas(), QStringList{c.mensaje});
    EXPECT_EQ(cajas.shown().back().icon(), ui::vbExclamation);
    const std::vector<Renglon> despues = pie();
    ASSERT_EQ(despues.size(), antes.size());
    for (size_t i = 0; i < antes.size(); ++i) {
      EXPECT_EQ(despues[i].numero, antes[i].numero);
      EXPECT_EQ(despues[i].texto, antes[i].texto);
      EXPECT_EQ(despues[i].refs, antes[i].refs);
    }
    EXPECT_EQ(totales(despues), totales(antes));
    EXPECT_EQ(grid().RowCount(), int(antes.size()) + 1);
    EXPECT_EQ(grid().CellText(c.renglon - 1, PaginaPie::colTexto), antes[size_t(c.renglon - 1)].texto);
    EXPECT_EQ(factor(), cur("9.9999"));
  }
}

TEST_F(BorradoPie, AFooterThatFailsToEvaluateShowsNoTotalsOfAnEarlierFooter) {
  // The financing row made a heading without references: the subtotal after it names a row that
  // computes nothing.
  const QString mensaje = "frmDatGen.CalculaPieTotal 500 - Variable no definida: 'E5'";
  cajas.answer(ui::vbOK);
  abrePie(1, "Ejemplo.mdb", [](dao::Database& obra) { obra.Execute("UPDATE Pie SET Renglon1 = 0 WHERE Renglon = 5"); });
  EXPECT_EQ(cajas.texts(), QStringList{mensaje});
  // Each row shows what this footer computes for it, or no total: none is left from before. The rows
  // from the subtotal on compute nothing.
  const std::vector<QString> evaluados = {"100", "8", "5", "113", "0"};
  auto sinTotalesViejos = [&](size_t filas) {
    const std::vector<Renglon> p = pie();
    ASSERT_EQ(p.size(), filas);
    for (size_t i = 0; i < filas; ++i) {
      const QString celda = grid().CellText(int(i), PaginaPie::colTotal);
      if (p[i].total.isNull()) {
        EXPECT_EQ(celda, "") << i;
        continue;
      }
      ASSERT_LT(i, evaluados.size()) << texto(p[i].total).toStdString();
      EXPECT_EQ(texto(p[i].total), evaluados[i]) << i;
      EXPECT_EQ(celda, ui::UnboundGrid::formatValue(p[i].total, "Currency")) << i;
    }
  };
  sinTotalesViejos(10);
  // The closing row goes: the footer is evaluated again, fails again, and its factor is no one's.
  cajas.answer(ui::vbOK);
  borra(9);
  EXPECT_EQ(cajas.texts(), (QStringList{mensaje, mensaje}));
  sinTotalesViejos(9);
  EXPECT_EQ(factor(), cur("0"));
  // Once the row is put right, every row has its total again.
  teclea(4, PaginaPie::colRenglon1, "4");
  EXPECT_EQ(cajas.shown().size(), 2u) << cajas.texts().join(" | ").toStdString();
  EXPECT_EQ(totales(pie()), (std::vector<QString>{"100", "8", "5", "113", "1.36", "114.36", "11.44", "125.8", "0.63"}));
  EXPECT_EQ(factor(), cur("0.0063"));
}

TEST_F(BorradoPie, OnlyTheContractingBodyDeletesAndOnlyWhileTheBidIsOpenToChanges) {
  struct Caso {
    const char* nombre;
    int16_t edicion;
    bool cerrada;
    int fila;
    const char* mensaje;  // "" none
  } casos[] = {
      {"contractor, closing row", 2, false, 9, ""},
      {"contractor, a used row", 2, false, 1, ""},
      {"locked, closing row", 1, true, 9, "La base de datos esta cerrada no se puede modificar"},
      {"locked, a used row", 1, true, 1, "La base de datos esta cerrada no se puede modificar"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    abrePie(c.edicion, "Ejemplo.mdb", [&](dao::Database& obra) {
      if (c.cerrada) obra.Execute("UPDATE DatosGenerales SET BaseCerrada = True");
    });
    const std::vector<Renglon> antes = pie();
    cajasNuevas();
    if (*c.mensaje) cajas.answer(ui::vbOK);
    borra(c.fila);
    EXPECT_EQ(cajasNuevas(), *c.mensaje ? QStringList{c.mensaje} : QStringList{});
    EXPECT_EQ(textos(pie()), textos(antes));
    EXPECT_EQ(totales(pie()), totales(antes));
    EXPECT_EQ(factor(), cur("9.9999"));
  }
  // The contractor's factors stay editable, and the footer follows them.
  abrePie(2, "Ejemplo.mdb");
  cajasNuevas();
  teclea(1, PaginaPie::colFactor, "10");
  EXPECT_EQ(cajasNuevas(), QStringList{});
  EXPECT_EQ(totales(pie())[3], "115");
  EXPECT_EQ(factor(), factorDe(pie()));
}

}  // namespace
