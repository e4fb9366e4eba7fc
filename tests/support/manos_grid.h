#pragma once
// The user's hands on a grid: a row deleted by its record selector and the Delete key, a cell typed in
// its editor and closed with Enter.
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace testsupport {

inline void borraConSelector(QTableView& g, int fila) {
  QHeaderView* selector = g.verticalHeader();
  QTest::mouseClick(selector->viewport(), Qt::LeftButton, {},
                    QPoint(selector->width() / 2, selector->sectionViewportPosition(fila) + selector->sectionSize(fila) / 2));
  QTest::keyClick(&g, Qt::Key_Delete);
  QCoreApplication::processEvents();
}

inline void tecleaCelda(QTableView& g, int fila, int columna, const QString& texto) {
  g.setCurrentIndex(g.model()->index(fila, columna));
  QTest::keyClick(&g, Qt::Key_F2);
  // The editor open now (one closed before may wait to be deleted).
  for (auto* editor : g.findChildren<QLineEdit*>())
    if (editor->isVisible()) {
      editor->selectAll();
      QTest::keyClicks(editor, texto);
      QTest::keyClick(editor, Qt::Key_Return);
      break;
    }
  QCoreApplication::processEvents();  // the view closes its editor in a queued call
}

}  // namespace testsupport
