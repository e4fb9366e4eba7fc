#include "arranque.h"

#include "boundgrid.h"
#include "datacontrol.h"
#include "forms.h"
#include "lecturas.h"
#include "quarvel.h"
#include "registroentrada.h"
#include "ventanas.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace entrytest {

void ProgramaTest::SetUp() {
  ShellTest::SetUp();
  if (HasFatalFailure())
    return;
  registraVentanasEntrada(ventanas::registro());
  ASSERT_NE(arranca(producto()), nullptr);
  obra = carpeta.copiaEjemplo(QStringLiteral("obras/ejemplo.mdb"));
  preparaObra(obra);
  if (HasFatalFailure())
    return;
  abre(obra);
  ASSERT_TRUE(quarvel::obraAbierta);
  espera();
}

void ProgramaTest::TearDown() {
  espera();
  ShellTest::TearDown();
}

void ProgramaTest::espera() {
  for (int i = 0; i < 3; ++i)
    QCoreApplication::processEvents();
}

ui::BoundGrid* ProgramaTest::muestraRejilla(const QString& herramienta) {
  if (!clic(herramienta))
    return nullptr;
  espera();
  QWidget* forma = ui::Forms::instance().activeChild();
  return forma ? forma->findChild<ui::BoundGrid*>(QStringLiteral("Grid1")) : nullptr;
}

void ProgramaTest::ve(ui::BoundGrid* grid, const QString& partida, int renglon, int col) {
  ui::RecordsetModel* m = grid->recordsetModel();
  const int cPartida = grid->Columns().IndexOf(QStringLiteral("Partida"));
  const int cRenglon = grid->Columns().IndexOf(QStringLiteral("Renglon"));
  for (int r = 0; r < m->recordCount(); ++r)
    if (m->storedValue(r, cPartida).toString() == partida && vb::CLng(m->storedValue(r, cRenglon)) == renglon) {
      grid->setCurrentIndex(m->index(r, col));
      return;
    }
  ADD_FAILURE() << "no row " << partida.toStdString() << " " << renglon;
}

QLineEdit* ProgramaTest::conTeclado() {
  QWidget* foco = QApplication::focusWidget();
  if (auto* lista = qobject_cast<QComboBox*>(foco))
    return lista->lineEdit();
  return qobject_cast<QLineEdit*>(foco);
}

QLineEdit* ProgramaTest::escribe(ui::BoundGrid* grid, int col, const QString& texto) {
  grid->setCurrentIndex(grid->recordsetModel()->index(grid->currentIndex().row(), col));
  grid->setFocus();
  static_cast<QAbstractItemView*>(grid)->edit(grid->currentIndex());
  QLineEdit* editor = conTeclado();
  if (!editor) {
    ADD_FAILURE() << "no editor opened";
    return nullptr;
  }
  editor->selectAll();
  QTest::keyClick(editor, Qt::Key_Backspace);
  QTest::keyClicks(editor, texto);
  return editor;
}

bool ProgramaTest::teclea(ui::BoundGrid* grid, int col, const QString& texto) {
  QLineEdit* editor = escribe(grid, col, texto);
  if (!editor)
    return false;
  QTest::keyClick(editor, Qt::Key_Return);
  espera();
  return !grid->EditActive();
}

QStringList ProgramaTest::consulta(const QString& sql) { return primeraColumna(*quarvel::dbObra, sql); }

QStringList ProgramaTest::volumenes(const QString& partida, int renglon) {
  return volumenesDe(*quarvel::dbObra, partida, renglon);
}

QString ProgramaTest::concepto(const QString& partida, int renglon) {
  return conceptoDe(*quarvel::dbObra, partida, renglon);
}

}  // namespace entrytest
