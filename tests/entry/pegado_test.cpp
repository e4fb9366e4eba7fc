// Blocks pasted into the schedule window of the program through the main window's paste tool, as a
// spreadsheet program puts them on the clipboard.
#include "boundgrid.h"
#include "forms.h"
#include "frmprograma.h"
#include "arranque.h"

#include "qt_print.h"

#include <QClipboard>
#include <QGuiApplication>

namespace entrytest {
namespace {

class PegadoProgramaTest : public ProgramaTest {
protected:
  void SetUp() override {
    ProgramaTest::SetUp();
    if (HasFatalFailure())
      return;
    ASSERT_TRUE(clic(QStringLiteral("Programa")));
    espera();
    forma = ui::Forms::instance().find<FrmPrograma>();
    ASSERT_NE(forma, nullptr);
  }
  FrmPrograma* forma = nullptr;
};

TEST_F(PegadoProgramaTest, ABlockWithoutItsRowKeyOrWithCommaDecimalsChangesNothing) {
  const QString falta = QStringLiteral("No se puede pegar un bloque de datos que no contenga un encabezado de columna %1");
  const QString volumenMalo = QStringLiteral("pegaclipdetalle: 13 ") + vb::Error(13).description() +
                              QStringLiteral(": el volumen del periodo 1 (12,50.5) de la partida A01002 renglón 5 no es válido");
  const QString coma = QStringLiteral("No se pegó ningún renglón: el valor \"%1\" de la columna %2 (partida %3) lleva coma "
                                      "decimal. En los números el punto decimal es \".\" y la coma separa los miles "
                                      "(1,234.50).");
  struct Caso {
    const char* bloque;
    QStringList mensajes;
    QStringList volumenes;  // of A01002 renglón 5 afterwards
  } casos[] = {
      {"Renglón\tPeriodo 1\n5\t1000\n", {falta.arg("partida")}, {"1:1432.5", "2:1432.5"}},
      {"Partida\tPeriodo 1\nA01002\t1000\n", {falta.arg("renglón")}, {"1:1432.5", "2:1432.5"}},
      {"Código\tPeriodo 1\nCIM-005\t1000\n", {falta.arg("partida")}, {"1:1432.5", "2:1432.5"}},
      {"Partida\tRenglón\tPeriodo 1\nA01002\t5\t12,50.5\n", {volumenMalo}, {"1:1432.5", "2:1432.5"}},
      // A comma decimal in any period column refuses the whole block, rows before it included.
      {"Partida\tRenglón\tPeriodo 1\nA01002\t5\t12,5\n", {coma.arg("12,5", "Periodo 1", "A01002 renglón 5")},
       {"1:1432.5", "2:1432.5"}},
      {"Partida\tRenglón\tPeriodo 1\tPeriodo 2\nA01002\t5\t1,000\t400\nA01002\t6\t0\t0,500\n",
       {coma.arg("0,500", "Periodo 2", "A01002 renglón 6")}, {"1:1432.5", "2:1432.5"}},
      {"Partida\tRenglón\tPeriodo 1\nA01002\t5\t1,000.00\n", {}, {"1:1000", "2:1432.5"}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.bloque);
    testui::ScriptedMsgBoxes cajasCaso;
    for (int i = 0; i < c.mensajes.size(); ++i)
      cajasCaso.answer(ui::vbOK);
    QGuiApplication::clipboard()->setText(QString::fromUtf8(c.bloque));
    forma->Grid1()->setFocus();
    ASSERT_TRUE(clic(QStringLiteral("mnuPeg")));
    espera();
    EXPECT_EQ(cajasCaso.texts(), c.mensajes);
    if (!c.mensajes.isEmpty() && c.mensajes.front().startsWith(u"No se puede"))
      EXPECT_EQ(cajasCaso.shown().front().icon(), ui::vbInformation);
    EXPECT_EQ(volumenes("A01002", 5), c.volumenes);
  }
}

}  // namespace
}  // namespace entrytest
