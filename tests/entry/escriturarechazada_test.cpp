// Prices typed or pasted on a disk that refuses the write (full, failing, turned read-only): the cause
// is told once, nothing of the edit or of the paste stays, on the screen nor in the file, and the next
// edit is stored as usual.
#include "boundgrid.h"
#include "disco_que_falla.h"
#include "forms.h"
#include "frmmone.h"
#include "frmpre.h"
#include "frmprograma.h"
#include "cajas_reales.h"
#include "arranque.h"
#include "lecturas.h"
#include "quarvel.h"

#include "qt_print.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

namespace entrytest {

using testsupport::CajasAceptadas;
namespace {

using C = FrmPre::Columna;
using testsupport::DiscoQueFalla;

struct Caso {
  const char* nombre;
  DiscoQueFalla::Causa causa;
  DiscoQueFalla::Archivos archivos;   // Diarios: refused while the statement runs; Bases: at the commit
  const char* causaDicha;             // what the message says of the cause, after its number
};

const Caso kCasos[] = {
    {"disco lleno al escribir", DiscoQueFalla::Causa::Lleno, DiscoQueFalla::Archivos::Diarios, "61 Disco lleno"},
    {"disco lleno al confirmar", DiscoQueFalla::Causa::Lleno, DiscoQueFalla::Archivos::Bases, "61 Disco lleno"},
    {"disco averiado", DiscoQueFalla::Causa::Averiado, DiscoQueFalla::Archivos::Diarios,
     "3000 Error de lectura o escritura en el disco"},
    {"medio vuelto de solo lectura", DiscoQueFalla::Causa::SoloLectura, DiscoQueFalla::Archivos::Bases,
     "3027 No se puede actualizar. La base de datos o el objeto es de sólo lectura."},
};

class EscrituraRechazada : public ProgramaTest {
protected:
  void SetUp() override {
    ProgramaTest::SetUp();
    if (HasFatalFailure())
      return;
    pre = ui::Forms::instance().find<FrmPre>();
    ASSERT_NE(pre, nullptr);
    grid = pre->Grid1();
    carpetaObra = QFileInfo(obra).absolutePath();
  }
  // Every code with its prices, as the program reads them.
  QStringList precios() { return consulta("SELECT Codigo & '=' & Precio FROM Presupuesto ORDER BY Partida, Renglon"); }
  // The same read from the file, once the program closed the bid.
  QStringList preciosEnArchivo() {
    auto db = dao::DBEngine::OpenDatabase(obra, false, true, quarvel::kConexion);
    return primeraColumna(*db, "SELECT Codigo & '=' & Precio FROM Presupuesto ORDER BY Partida, Renglon");
  }
  // The message's text with its number and cause joined as the program's prefixes join them.
  static QString sinFormato(QString texto) {
    texto.replace(QStringLiteral("' en tiempo de ejecución:\n\n"), QStringLiteral(" "));
    return texto;
  }

  FrmPre* pre = nullptr;
  ui::BoundGrid* grid = nullptr;
  QString carpetaObra;
};

TEST_F(EscrituraRechazada, ATypedPriceTheDiskRefusesIsToldOnceAndUndone) {
  ve(grid, "A01001", 1, C::cPrecio);
  const int fila = grid->currentIndex().row();
  const QStringList antes = precios();
  const QString celda = grid->cellText(fila, C::cPrecio);
  ASSERT_EQ(celda, "$16.80");
  for (const Caso& c : kCasos) {
    SCOPED_TRACE(c.nombre);
    const size_t vistas = cajas.shown().size();
    {
      DiscoQueFalla disco(carpetaObra, 0, c.causa, c.archivos);
      cajas.answer(ui::vbOK);
      EXPECT_FALSE(teclea(grid, C::cPrecio, "20"));
      espera();
      EXPECT_GT(disco.rechazadas(), 0);
    }
    ASSERT_EQ(cajas.shown().size(), vistas + 1) << cajas.texts().join(" | ").toStdString();
    EXPECT_TRUE(sinFormato(cajas.texts().back()).contains(c.causaDicha)) << cajas.texts().join(" | ").toStdString();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    espera();
    EXPECT_EQ(precios(), antes);
    EXPECT_EQ(grid->cellText(fila, C::cPrecio), celda);
  }

  // The disk with room again: the next price is stored, without a word.
  const size_t vistas = cajas.shown().size();
  EXPECT_TRUE(teclea(grid, C::cPrecio, "20"));
  espera();
  EXPECT_EQ(cajas.shown().size(), vistas) << cajas.texts().join(" | ").toStdString();
  EXPECT_EQ(grid->cellText(fila, C::cPrecio), "$20.00");
  const QStringList despues = precios();
  ASSERT_TRUE(clic(QStringLiteral("mnuCer")));
  EXPECT_EQ(preciosEnArchivo(), despues);
  EXPECT_TRUE(despues.contains("PRE-001=20"));
}

// A block of every code of the bid, refused part way (the disk fills after some rows) or at its commit:
// one message, and none of its rows stays.
TEST_F(EscrituraRechazada, APasteTheDiskRefusesIsToldOnceAndStoresNoneOfItsRows) {
  const QStringList codigos = consulta("SELECT DISTINCT Codigo FROM Presupuesto ORDER BY Codigo");
  ASSERT_GT(codigos.size(), 50);
  QString bloque = QStringLiteral("Código\tPrecio\n");
  for (int i = 0; i < codigos.size(); ++i)
    bloque += codigos[i] + QStringLiteral("\t%1\n").arg(1000 + i);
  const QStringList antes = precios();
  ve(grid, "A01001", 1, C::cPrecio);
  const int fila = grid->currentIndex().row();
  const QString celda = grid->cellText(fila, C::cPrecio);

  for (const Caso& c : kCasos) {
    SCOPED_TRACE(c.nombre);
    const size_t vistas = cajas.shown().size();
    {
      // Room for the journal of a few rows: the refusal comes part way through the block.
      DiscoQueFalla disco(carpetaObra, c.archivos == DiscoQueFalla::Archivos::Diarios ? 16 * 1024 : 0, c.causa,
                          c.archivos);
      QGuiApplication::clipboard()->setText(bloque);
      grid->setFocus();
      cajas.answer(ui::vbOK);
      ASSERT_TRUE(clic(QStringLiteral("mnuPeg")));
      espera();
      EXPECT_GT(disco.rechazadas(), 0);
      if (c.archivos == DiscoQueFalla::Archivos::Diarios)
        EXPECT_GT(disco.escritos(), 0) << "some rows were written before the refusal";
    }
    ASSERT_EQ(cajas.shown().size(), vistas + 1) << cajas.texts().join(" | ").toStdString();
    EXPECT_TRUE(cajas.texts().back().contains(c.causaDicha)) << cajas.texts().back().toStdString();
    EXPECT_EQ(precios(), antes);
    EXPECT_EQ(grid->cellText(fila, C::cPrecio), celda);
  }

  const size_t vistas = cajas.shown().size();
  QGuiApplication::clipboard()->setText(bloque);
  grid->setFocus();
  ASSERT_TRUE(clic(QStringLiteral("mnuPeg")));
  espera();
  EXPECT_EQ(cajas.shown().size(), vistas) << cajas.texts().join(" | ").toStdString();
  const QStringList despues = precios();
  EXPECT_NE(despues, antes);
  EXPECT_NE(grid->cellText(fila, C::cPrecio), celda);
  ASSERT_TRUE(clic(QStringLiteral("mnuCer")));
  EXPECT_EQ(preciosEnArchivo(), despues);
}

// An edit stored as its action ends (a currency's closing text, written without a transaction of its
// own): a refusal while it is written is shown by the grid; one at the commit that ends the action is
// told at once, with the file and the cause. Either way the grid shows what the bid holds.
TEST_F(EscrituraRechazada, AnEditCommittedAsItsActionEndsIsToldWhenTheDiskRefusesIt) {
  ASSERT_TRUE(clic(QStringLiteral("Monedas")));
  espera();
  auto* mone = ui::Forms::instance().find<FrmMone>();
  ASSERT_NE(mone, nullptr);
  grid = mone->Grid1();
  int fila = -1;
  for (int r = 0; r < grid->recordsetModel()->recordCount(); ++r)
    if (grid->cellText(r, FrmMone::cMoneda) == "PESOS")
      fila = r;
  ASSERT_GE(fila, 0);
  grid->setCurrentIndex(grid->recordsetModel()->index(fila, FrmMone::cRemate));
  const QString antes = grid->cellText(fila, FrmMone::cRemate);
  const QString remate = QStringLiteral("SELECT Remate FROM Monedas WHERE Moneda = 'PESOS'");
  for (const Caso& c : kCasos) {
    SCOPED_TRACE(c.nombre);
    const size_t vistas = cajas.shown().size();
    const bool alConfirmar = c.archivos == DiscoQueFalla::Archivos::Bases;
    {
      DiscoQueFalla disco(carpetaObra, 0, c.causa, c.archivos);
      cajas.answer(ui::vbOK);
      EXPECT_EQ(teclea(grid, FrmMone::cRemate, "OTRO REMATE"), alConfirmar);
      espera();
    }
    ASSERT_EQ(cajas.shown().size(), vistas + 1) << cajas.texts().join(" | ").toStdString();
    const QString esperado = alConfirmar ? QStringLiteral("El último cambio no se guardó en %1: %2")
                                               .arg(QDir::toNativeSeparators(obra), QString::fromUtf8(c.causaDicha))
                                         : QString::fromUtf8(c.causaDicha).section(u' ', 1);
    EXPECT_TRUE(cajas.texts().back().startsWith(esperado)) << cajas.texts().back().toStdString();
    if (!alConfirmar)
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    espera();
    EXPECT_EQ(consulta(remate), QStringList{antes});
    EXPECT_EQ(grid->cellText(fila, FrmMone::cRemate), antes);
  }
  EXPECT_TRUE(teclea(grid, FrmMone::cRemate, "OTRO REMATE"));
  espera();
  ASSERT_TRUE(clic(QStringLiteral("mnuCer")));
  auto db = dao::DBEngine::OpenDatabase(obra, false, true, quarvel::kConexion);
  EXPECT_EQ(primeraColumna(*db, remate), QStringList{"OTRO REMATE"});
}

// A volume the disk refuses, told by a real box over the schedule window while the prices window is
// open behind it: once the box is closed the schedule window is still the one in front and its grid
// has the keyboard, so that what is typed next goes where the user was typing, never into a price.
TEST_F(EscrituraRechazada, AfterARefusedVolumeTheScheduleWindowKeepsTheKeyboard) {
  ui::BoundGrid* programa = muestraRejilla(QStringLiteral("Programa"));
  ASSERT_NE(programa, nullptr);
  QMdiSubWindow* marco = ui::Forms::subWindowOf(ui::Forms::instance().find<FrmPrograma>());
  ASSERT_NE(marco, nullptr);
  QMdiArea* area = marco->mdiArea();
  ASSERT_EQ(area->subWindowList().size(), 2);
  const int col = programa->Columns().IndexOf(QStringLiteral("Periodo 1"));
  ASSERT_GE(col, 0);
  ve(programa, "A01001", 1, col);
  const int fila = programa->currentIndex().row();
  const QString celda = programa->cellText(fila, col);
  ASSERT_EQ(celda, "420.00");
  const QStringList volumen = volumenes("A01001", 1);
  for (const Caso& c : kCasos) {
    SCOPED_TRACE(c.nombre);
    ASSERT_EQ(area->activeSubWindow(), marco);
    CajasAceptadas cajasReales;
    {
      DiscoQueFalla disco(carpetaObra, 0, c.causa, c.archivos);
      QLineEdit* editor = escribe(programa, col, "400");
      ASSERT_NE(editor, nullptr);
      QTest::keyClick(editor, Qt::Key_Return);
      espera();
    }
    espera();
    ASSERT_EQ(cajasReales.textos.size(), 1) << cajasReales.textos.join(" | ").toStdString();
    EXPECT_TRUE(cajasReales.textos.back().contains(QString::fromUtf8(c.causaDicha).section(u' ', 1)))
        << cajasReales.textos.back().toStdString();
    EXPECT_EQ(area->activeSubWindow(), marco);
    QWidget* foco = QApplication::focusWidget();
    EXPECT_TRUE(foco == programa || programa->isAncestorOf(foco))
        << (foco ? foco->metaObject()->className() : "nothing") << " has the keyboard";
    if (programa->EditActive())
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    espera();
    EXPECT_EQ(programa->cellText(fila, col), celda);
    EXPECT_EQ(volumenes("A01001", 1), volumen);
  }
}

}  // namespace
}  // namespace entrytest
