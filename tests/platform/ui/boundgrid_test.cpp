// The bound grid driven as a user drives it, over a copy of the sample bid: typing into cells,
// Enter, Tab, Escape, clicks on record selectors, headers and the corner, Delete; and what the
// windows do to it from their handlers (refuse, post codes, spread prices, write the schedule,
// re-sort, save and restore the layout).
#include "build.h"
#include "copia_programa.h"
#include "gridlayout.h"
#include "gridwindow.h"
#include "scripted_ui.h"
#include "twips.h"

#include "qt_print.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

using W = GridWindow;

class BoundGridTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    path = dir.filePath("Obra.mdb");
    ASSERT_TRUE(testsupport::copiaDelPrograma(QStringLiteral("Ejemplo.mdb"), path));
    db = dao::DBEngine::OpenDatabase(path, true, false, resources::kConnect);
    w = std::make_unique<GridWindow>(db);
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    grid()->setFocus();
    QCoreApplication::processEvents();
  }
  void TearDown() override {
    w.reset();
    db->Close();
  }

  ui::BoundGrid* grid() { return w->Grid1; }
  ui::RecordsetModel* model() { return grid()->recordsetModel(); }

  // The row of the grid showing (partida, renglon).
  int rowOf(const QString& partida, int renglon) {
    for (int r = 0; r < model()->recordCount(); ++r)
      if (model()->storedValue(r, W::cPartida).toString() == partida &&
          vb::CLng(model()->storedValue(r, W::cRenglon)) == renglon)
        return r;
    return -1;
  }
  QString partidaAt(int row) { return model()->storedValue(row, W::cPartida).toString(); }
  int renglonAt(int row) { return vb::CLng(model()->storedValue(row, W::cRenglon)); }

  void goTo(int row, int col) {
    grid()->setCurrentIndex(model()->index(row, col));
    grid()->setFocus();
  }
  QWidget* focused() { return QApplication::focusWidget(); }
  // Types into the current cell as a user does: the first key opens the editor.
  void type(const QString& text) {
    for (QChar ch : text) QTest::keyClick(focused(), ch.toLatin1());
  }
  void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(focused(), key, mods);
    QCoreApplication::processEvents();   // Enter commits through a queued call
  }
  QString editorText() {
    auto* l = qobject_cast<QLineEdit*>(focused());
    return l ? l->text() : QStringLiteral("(no editor)");
  }
  // A point inside (row, col) of the viewport, in viewport coordinates.
  QPoint cellPoint(int row, int col) { return grid()->visualRect(model()->index(row, col)).center(); }
  QPoint selectorPoint(int row) {
    QHeaderView* v = grid()->verticalHeader();
    return QPoint(v->width() / 2, v->sectionViewportPosition(row) + v->sectionSize(row) / 2);
  }
  QPoint headerPoint(int col) {
    QHeaderView* h = grid()->horizontalHeader();
    return QPoint(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
  }
  // A concept code that stands in several rows.
  QString sharedCode(int* count) {
    auto rs = db->OpenRecordset("SELECT Codigo, Count(*) AS n FROM Presupuesto GROUP BY Codigo HAVING Count(*) > 1",
                                dao::RecordsetType::Snapshot);
    *count = vb::CLng(rs->Value("n"));
    return rs->Value("Codigo").toString();
  }

  QTemporaryDir dir;
  QString path;
  std::shared_ptr<dao::Database> db;
  std::unique_ptr<GridWindow> w;
};

TEST_F(BoundGridTest, ShowsTheRecordsetInItsOrderWithColumnFormatsAndReadsOnlyTheRowsOnShow) {
  auto rs = db->OpenRecordset("SELECT * FROM Presupuesto", dao::RecordsetType::Snapshot);
  ASSERT_EQ(model()->recordCount(), rs->RecordCount());
  ASSERT_GT(rs->RecordCount(), 200);
  EXPECT_EQ(model()->rowCount(), rs->RecordCount());   // no add-new row unless allowed
  EXPECT_EQ(model()->headerData(W::cRenglon, Qt::Horizontal).toString(), "Renglón");

  model()->resetStats();
  w->fetches = 0;
  grid()->viewport()->grab();
  const int shown = grid()->VisibleRows();
  EXPECT_GT(shown, 5);
  EXPECT_LE(model()->stats().rowReads, shown);
  EXPECT_LE(w->fetches, shown);   // the unbound column: one look-up per cell on show

  rs->MoveFirst();
  for (int r = 0; r < 3; ++r, rs->MoveNext()) {
    EXPECT_EQ(grid()->cellText(r, W::cPartida), rs->Value("Partida").toString());
    EXPECT_EQ(grid()->cellText(r, W::cPrecio), vb::Format(rs->Value("Precio"), "$#,##0.00"));
    EXPECT_EQ(grid()->cellText(r, W::cCantidad), vb::Format(rs->Value("Cantidad"), "###,###,###,##0.00##"));
    EXPECT_EQ(grid()->cellText(r, W::cPeriodo1), w->volumen(rs->Value("Partida").toString(), vb::CLng(rs->Value("Renglon"))));
  }
  EXPECT_EQ(grid()->cellText(0, W::cPrecio).left(1), "$");
  // Any row's cells by bookmark, for fetches and copies.
  EXPECT_EQ(grid()->Columns(W::cPrecio).CellText(model()->bookmarkAt(2)), grid()->cellText(2, W::cPrecio));
  EXPECT_EQ(grid()->Columns("Codigo").CellValue(model()->bookmarkAt(1)), model()->storedValue(1, W::cCodigo));
  EXPECT_EQ(model()->data(model()->index(0, W::cPrecio), Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
  EXPECT_EQ(model()->data(model()->index(0, W::cCodigo), Qt::TextAlignmentRole).toInt() & Qt::AlignLeft, Qt::AlignLeft);

  // Scrolling to the end and back reads the rows shown, never the table.
  model()->resetStats();
  grid()->scrollToBottom();
  grid()->viewport()->grab();
  grid()->scrollToTop();
  grid()->viewport()->grab();
  EXPECT_LE(model()->stats().rowReads, 2 * (shown + 1));
  EXPECT_EQ(grid()->FirstRow(), model()->bookmarkAt(0));
}

TEST_F(BoundGridTest, AnEditTypedAndEnteredIsCheckedThenWrittenAtOnce) {
  w->spreadPrices = false;
  goTo(2, W::cPrecio);
  const QString partida = partidaAt(2);
  const int renglon = renglonAt(2);
  const vb::Variant before = w->stored(partida, renglon, "Precio");
  type("123.5");
  EXPECT_EQ(editorText(), "123.5");   // the first key replaced the cell's text
  EXPECT_TRUE(grid()->DataChanged());
  press(Qt::Key_Return);

  EXPECT_FALSE(grid()->EditActive());
  EXPECT_FALSE(grid()->DataChanged());
  EXPECT_EQ(vb::CDbl(w->stored(partida, renglon, "Precio")), 123.5);
  EXPECT_EQ(grid()->cellText(2, W::cPrecio), "$123.50");
  const QStringList expected = {QStringLiteral("BeforeColEdit %1 49").arg(W::cPrecio),
                                QStringLiteral("BeforeColUpdate %1 %2 -> 123.5").arg(W::cPrecio).arg(before.toString()),
                                QStringLiteral("AfterColUpdate %1").arg(W::cPrecio), "BeforeUpdate", "AfterUpdate"};
  EXPECT_EQ(w->log.filter(QRegularExpression("^(Before|After)")), expected);
  // The bound recordset stands on the edited row.
  EXPECT_EQ(w->rsPresupuesto->Value("Partida").toString(), partida);
  EXPECT_EQ(vb::CLng(w->rsPresupuesto->Value("Renglon")), renglon);
}

TEST_F(BoundGridTest, ARefusedEditStaysInTheEditorWithTheTypedTextWhateverKeyOrClickTriesToLeave) {
  goTo(1, W::cPrecio);
  const vb::Variant before = w->stored(partidaAt(1), renglonAt(1), "Precio");
  type("abc");
  press(Qt::Key_Return);
  EXPECT_TRUE(grid()->EditActive());
  EXPECT_EQ(editorText(), "abc");
  EXPECT_EQ(grid()->currentIndex(), model()->index(1, W::cPrecio));

  press(Qt::Key_Tab);
  EXPECT_EQ(editorText(), "abc");
  EXPECT_EQ(grid()->currentIndex(), model()->index(1, W::cPrecio));

  // A click on another row: the refused cell stays current, its editor open.
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellPoint(4, W::cCodigo));
  QCoreApplication::processEvents();
  EXPECT_EQ(grid()->currentIndex(), model()->index(1, W::cPrecio));
  EXPECT_TRUE(grid()->EditActive());

  // Typing the text right goes through; Escape instead would have left the value as it was.
  auto* editor = qobject_cast<QLineEdit*>(focused());
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  type("7.25");
  press(Qt::Key_Return);
  EXPECT_FALSE(grid()->EditActive());
  EXPECT_EQ(vb::CDbl(w->stored(partidaAt(1), renglonAt(1), "Precio")), 7.25);
  EXPECT_NE(vb::CDbl(before), 7.25);
  EXPECT_EQ(w->log.filter("BeforeColUpdate").size(), 4) << w->log.join("\n").toStdString();   // Enter, Tab, the click, Enter
}

TEST_F(BoundGridTest, TabWritesTheEditAndMovesOnWithoutOpeningTheNextCell) {
  goTo(0, W::cUnidad);
  type("kg");
  press(Qt::Key_Tab);
  EXPECT_EQ(w->stored(partidaAt(0), renglonAt(0), "Unidad").toString(), "kg");
  EXPECT_EQ(grid()->currentIndex(), model()->index(0, W::cCantidad));
  EXPECT_FALSE(grid()->EditActive());
  EXPECT_EQ(w->log.filter("BeforeColEdit").size(), 1);
}

TEST_F(BoundGridTest, EscapeLeavesTheValueAndAnUnchangedEditRaisesNothing) {
  goTo(0, W::cUnidad);
  const QString before = grid()->cellText(0, W::cUnidad);
  type("xx");
  press(Qt::Key_Escape);
  EXPECT_FALSE(grid()->EditActive());
  EXPECT_EQ(grid()->cellText(0, W::cUnidad), before);
  press(Qt::Key_F2);   // opens on the cell's own text
  EXPECT_EQ(editorText(), before);
  press(Qt::Key_Return);
  EXPECT_TRUE(w->log.filter("BeforeColUpdate").isEmpty());
  EXPECT_EQ(w->stored(partidaAt(0), renglonAt(0), "Unidad").toString(), before);
}

TEST_F(BoundGridTest, ALockedColumnOpensNoEditor) {
  goTo(0, W::cDescri);
  type("x");
  EXPECT_FALSE(grid()->EditActive());
  EXPECT_FALSE(grid()->CommitCell(W::cDescri, "otra"));
  EXPECT_TRUE(w->log.filter("BeforeColEdit").isEmpty());
}

TEST_F(BoundGridTest, APostedCodeComesAfterTheGridsOwnUpdateNotInsideIt) {
  testui::ScriptedMsgBoxes boxes;
  boxes.answer(ui::vbOK);
  goTo(3, W::cPrecio);
  type("0");
  QTest::keyClick(focused(), Qt::Key_Return);
  QCoreApplication::processEvents(QEventLoop::AllEvents);   // the queued commit runs
  // The handler posted its code while checking; the box shows once the grid is done.
  const int update = int(w->log.indexOf(QRegularExpression("^BeforeColUpdate.*")));
  ASSERT_GE(update, 0);
  QCoreApplication::processEvents();
  EXPECT_GT(w->log.indexOf("PostEvent 1"), update);
  EXPECT_EQ(boxes.texts(), QStringList{"La base de datos esta cerrada no se puede modificar"});
  EXPECT_TRUE(grid()->EditActive());   // the refused edit is still open
  EXPECT_EQ(editorText(), "0");
}

TEST_F(BoundGridTest, APriceSpreadByTheHandlerWinsOverTheTypedTextOnEveryRowOfTheCode) {
  int rows = 0;
  const QString code = sharedCode(&rows);
  ASSERT_GT(rows, 1);
  int row = -1;
  for (int r = 0; r < model()->recordCount() && row < 0; ++r)
    if (model()->storedValue(r, W::cCodigo).toString() == code) row = r;
  ASSERT_GE(row, 0);
  goTo(row, W::cPrecio);
  type("41.237");
  press(Qt::Key_Return);
  EXPECT_FALSE(grid()->EditActive());

  auto rs = db->OpenRecordset("SELECT Precio, Importe, Cantidad FROM Presupuesto WHERE Codigo='" + code + "'",
                              dao::RecordsetType::Snapshot);
  int seen = 0;
  for (; !rs->EOF_(); rs->MoveNext(), ++seen) {
    EXPECT_EQ(rs->Value("Precio").toCurrency(), vb::Currency::fromScaled(412400));   // rounded, not 41.237
    EXPECT_EQ(rs->Value("Importe").toCurrency(), vb::CCur(vb::CDbl(rs->Value("Cantidad")) * 41.24));
  }
  EXPECT_EQ(seen, rows);
  EXPECT_EQ(grid()->cellText(row, W::cPrecio), "$41.24");
  // The grid wrote nothing of its own over the handler's write.
  EXPECT_TRUE(w->log.filter("BeforeUpdate").isEmpty());

  // Typed so that it rounds to the price the row already has: the value the handler set is the
  // one written, never the typed text.
  goTo(row, W::cPrecio);
  type("41.2399");
  press(Qt::Key_Return);
  EXPECT_EQ(w->stored(partidaAt(row), renglonAt(row), "Precio").toCurrency(), vb::Currency::fromScaled(412400));
  EXPECT_EQ(grid()->cellText(row, W::cPrecio), "$41.24");
}

TEST_F(BoundGridTest, AWriteTheDatabaseRefusesRaisesTheErrorEventAndKeepsTheEditor) {
  testui::ScriptedMsgBoxes boxes;
  boxes.answer(ui::vbOK);
  goTo(0, W::cPartida);
  const QString partida = partidaAt(0);
  QTest::keyClick(focused(), Qt::Key_F2);
  qobject_cast<QLineEdit*>(focused())->clear();   // a required key field emptied
  press(Qt::Key_Return);
  ASSERT_EQ(w->log.filter("Error ").size(), 1);
  EXPECT_TRUE(w->log.filter("Error ").front().startsWith("Error 16389 "));
  EXPECT_FALSE(grid()->ErrorText().isEmpty());
  EXPECT_EQ(boxes.texts(), QStringList{grid()->ErrorText()});   // the grid's own message
  EXPECT_TRUE(grid()->EditActive());
  EXPECT_EQ(w->stored(partida, renglonAt(0), "Partida").toString(), partida);

  // Answered with response 0 by the window: nothing shown.
  w->errorResponse = 0;
  press(Qt::Key_Return);
  EXPECT_EQ(w->log.filter("Error ").size(), 2);
  EXPECT_EQ(boxes.shown().size(), 1u);
  press(Qt::Key_Escape);
  EXPECT_EQ(grid()->cellText(0, W::cPartida), partida);
}

TEST_F(BoundGridTest, RecordSelectorsMarkRowsAndDeleteAsksTheWindowFirst) {
  const int total = model()->recordCount();
  QWidget* selectors = grid()->verticalHeader()->viewport();
  QTest::mouseClick(selectors, Qt::LeftButton, {}, selectorPoint(2));
  ASSERT_EQ(grid()->SelBookmarks().Count(), 1);
  EXPECT_EQ(grid()->SelBookmarks().Item(0), model()->bookmarkAt(2));
  EXPECT_EQ(grid()->currentIndex().row(), 2);
  const QString partida = partidaAt(2);
  const int renglon = renglonAt(2);

  // Cancelled by the window: nothing deleted.
  w->cancelDeletes = true;
  press(Qt::Key_Delete);
  EXPECT_EQ(model()->recordCount(), total);
  EXPECT_FALSE(w->stored(partida, renglon, "Partida").isNull());
  ASSERT_EQ(w->log.filter("BeforeDelete").size(), 1);

  // Programa rows refer to no concept by relation, so the row goes.
  w->cancelDeletes = false;
  press(Qt::Key_Delete);
  EXPECT_EQ(model()->recordCount(), total - 1);
  EXPECT_TRUE(w->stored(partida, renglon, "Partida").isNull());
  EXPECT_EQ(w->log.filter("AfterDelete").size(), 1);
  EXPECT_EQ(grid()->SelBookmarks().Count(), 0);
  EXPECT_EQ(grid()->currentIndex().row(), 2);   // the next row took its place
  EXPECT_EQ(w->rsPresupuesto->GetBookmark(), model()->bookmarkAt(2));

  // Several rows marked (Ctrl adds): the grid's data error 6159, for the window to handle.
  QTest::mouseClick(selectors, Qt::LeftButton, {}, selectorPoint(0));
  QTest::mouseClick(selectors, Qt::LeftButton, Qt::ControlModifier, selectorPoint(4));
  QTest::mouseClick(selectors, Qt::LeftButton, Qt::ControlModifier, selectorPoint(5));
  QTest::mouseClick(selectors, Qt::LeftButton, Qt::ControlModifier, selectorPoint(4));   // unmarks
  ASSERT_EQ(grid()->SelBookmarks().Count(), 2);
  EXPECT_EQ(grid()->SelBookmarks().Item(1), model()->bookmarkAt(5));
  w->errorResponse = 0;
  press(Qt::Key_Delete);
  EXPECT_EQ(w->log.filter("Error 6159").size(), 1);
  EXPECT_EQ(model()->recordCount(), total - 1);
  // A left click on a cell clears the marks.
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellPoint(1, 1));
  EXPECT_EQ(grid()->SelBookmarks().Count(), 0);
}

// Shift+click on a record selector marks the rows from the one clicked before, as in any grid; with
// Ctrl it adds them. A drag (MarkRowsTo) marks every row it passed, however fast the pointer moved.
TEST_F(BoundGridTest, ShiftClickOnRecordSelectorsMarksTheRangeFromTheRowClickedBefore) {
  QWidget* selectors = grid()->verticalHeader()->viewport();
  const auto marcadas = [&] {
    std::vector<int> filas;
    for (int i = 0; i < grid()->SelBookmarks().Count(); ++i) filas.push_back(model()->rowOf(grid()->SelBookmarks().Item(i)));
    return filas;
  };
  QTest::mouseClick(selectors, Qt::LeftButton, {}, selectorPoint(2));
  QTest::mouseClick(selectors, Qt::LeftButton, Qt::ShiftModifier, selectorPoint(6));
  EXPECT_EQ(marcadas(), (std::vector<int>{2, 3, 4, 5, 6}));
  QTest::mouseClick(selectors, Qt::LeftButton, Qt::ShiftModifier, selectorPoint(0));   // from the same row
  EXPECT_EQ(marcadas(), (std::vector<int>{2, 1, 0}));
  QTest::mouseClick(selectors, Qt::LeftButton, Qt::ControlModifier, selectorPoint(8));
  QTest::mouseClick(selectors, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, selectorPoint(10));
  EXPECT_EQ(marcadas(), (std::vector<int>{2, 1, 0, 8, 9, 10}));
  EXPECT_EQ(grid()->currentIndex().row(), 10);

  QTest::mouseClick(selectors, Qt::LeftButton, {}, selectorPoint(1));
  grid()->MarkRowsTo(model()->bookmarkAt(4));
  grid()->MarkRowsTo(model()->bookmarkAt(3));
  EXPECT_EQ(marcadas(), (std::vector<int>{1, 2, 3, 4}));

  // A click on a cell clears the marks and forgets where they began: Shift then marks its row alone.
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellPoint(5, W::cCodigo));
  QTest::mouseClick(selectors, Qt::LeftButton, Qt::ShiftModifier, selectorPoint(3));
  EXPECT_EQ(marcadas(), (std::vector<int>{3}));
}

// The first columns kept in view: scrolled to the far right by the keyboard they still show at the left,
// the current cell comes out beside them rather than under them, and clicks, tips and header
// selections on them act as on the grid's own.
TEST_F(BoundGridTest, FrozenColumnsStayInViewWhileTheOthersScroll) {
  w->resize(420, 300);
  grid()->SetFrozenCols(2);   // Partida, Renglón
  QCoreApplication::processEvents();
  auto* fijas = grid()->findChild<QTableView*>(QStringLiteral("FrozenColumns"));
  ASSERT_NE(fijas, nullptr);
  ASSERT_TRUE(fijas->isVisible());
  const auto ancho = [&] { return grid()->columnWidth(W::cPartida) + grid()->columnWidth(W::cRenglon); };
  EXPECT_EQ(fijas->width(), ancho());
  EXPECT_EQ(fijas->geometry().left(), grid()->viewport()->geometry().left());
  EXPECT_TRUE(fijas->isColumnHidden(W::cCodigo));
  const int ultima = grid()->Columns().Count() - 1;
  EXPECT_TRUE(fijas->isColumnHidden(ultima));

  goTo(3, W::cCodigo);
  press(Qt::Key_End);
  ASSERT_EQ(grid()->currentIndex().column(), ultima);
  EXPECT_GT(grid()->horizontalScrollBar()->value(), 0);
  const double izquierda = ui::pixelsToTwips(grid()->viewport()->geometry().left() + 3);
  EXPECT_EQ(grid()->ColContaining(izquierda), W::cPartida);
  EXPECT_EQ(fijas->indexAt(QPoint(3, 3)).column(), W::cPartida);
  EXPECT_EQ(fijas->indexAt(QPoint(3, 3)).row(), grid()->rowAt(3));
  // Back to a frozen column: nothing scrolls sideways; on to the first column beside them: it shows
  // whole, right of them.
  const int desplazado = grid()->horizontalScrollBar()->value();
  press(Qt::Key_Home);
  EXPECT_EQ(grid()->currentIndex().column(), W::cPartida);
  EXPECT_EQ(grid()->horizontalScrollBar()->value(), desplazado);
  press(Qt::Key_Right);
  press(Qt::Key_Right);
  ASSERT_EQ(grid()->currentIndex().column(), W::cCodigo);
  EXPECT_EQ(grid()->visualRect(grid()->currentIndex()).left(), ancho());

  // A click on a frozen cell makes it current and reaches the window's handler with its column.
  const QPoint celda = fijas->visualRect(model()->index(grid()->rowAt(0) + 4, W::cRenglon)).center();
  QTest::mouseClick(fijas->viewport(), Qt::LeftButton, {}, celda);
  EXPECT_EQ(grid()->currentIndex(), model()->index(grid()->rowAt(0) + 4, W::cRenglon));
  ASSERT_FALSE(w->downs.empty());
  EXPECT_EQ(w->downs.back().col, W::cRenglon);
  EXPECT_EQ(w->downs.back().row, 4);
  // Its header selects the column for a sort, and its tip comes from the window.
  QHeaderView* cabecera = fijas->horizontalHeader();
  const QPoint renglon(cabecera->sectionViewportPosition(W::cRenglon) + 5, cabecera->height() / 2);
  QTest::mouseClick(cabecera->viewport(), Qt::LeftButton, {}, renglon);
  EXPECT_EQ(grid()->SelStartCol(), W::cRenglon);
  EXPECT_EQ(grid()->SelEndCol(), W::cRenglon);
  QHelpEvent ayuda(QEvent::ToolTip, renglon, cabecera->viewport()->mapToGlobal(renglon));
  QApplication::sendEvent(cabecera->viewport(), &ayuda);
  EXPECT_EQ(w->log.last(), QStringLiteral("FetchCellTips %1 -1").arg(W::cRenglon));

  // Rows scrolled down scroll there too; widths and hidden columns follow the grid's.
  grid()->verticalScrollBar()->setValue(20);
  EXPECT_EQ(fijas->verticalScrollBar()->value(), 20);
  grid()->Columns(W::cPartida).SetWidth(2400);
  EXPECT_EQ(fijas->width(), ancho());
  grid()->Columns(W::cRenglon).SetVisible(false);
  EXPECT_TRUE(fijas->isColumnHidden(W::cRenglon));
  EXPECT_EQ(fijas->width(), grid()->columnWidth(W::cPartida));
  grid()->SetFrozenCols(0);
  EXPECT_FALSE(fijas->isVisible());
}

TEST_F(BoundGridTest, HitTestsAndMouseEventsInTwipsOverSelectorsHeadersAndTheCorner) {
  QTest::mouseClick(grid()->verticalHeader()->viewport(), Qt::LeftButton, {}, selectorPoint(3));
  QTest::mouseClick(grid()->horizontalHeader()->viewport(), Qt::LeftButton, {}, headerPoint(2));
  QTest::mouseClick(grid()->viewport(), Qt::RightButton, Qt::ShiftModifier, cellPoint(1, 4));
  auto* corner = grid()->findChild<QAbstractButton*>();
  ASSERT_NE(corner, nullptr);
  QTest::mouseClick(corner, Qt::LeftButton, {}, corner->rect().center());
  ASSERT_EQ(w->downs.size(), 4u);
  ASSERT_EQ(w->ups.size(), 4u);
  struct Case {
    int button, shift, col, row;
  };
  const Case expected[] = {{1, 0, -1, 3}, {1, 0, 2, -1}, {2, 1, 4, 1}, {1, 0, -1, -1}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(w->downs[size_t(i)].button, expected[i].button) << i;
    EXPECT_EQ(w->downs[size_t(i)].shift, expected[i].shift) << i;
    EXPECT_EQ(w->downs[size_t(i)].col, expected[i].col) << i;
    EXPECT_EQ(w->downs[size_t(i)].row, expected[i].row) << i;
    EXPECT_EQ(w->ups[size_t(i)].col, expected[i].col) << i;
  }
  // The corner selected nothing of its own.
  EXPECT_EQ(grid()->SelBookmarks().Count(), 0);
  EXPECT_EQ(grid()->VisibleRows() > 3, true);
  EXPECT_EQ(grid()->RowBookmark(3), model()->bookmarkAt(grid()->rowAt(0) + 3));
}

TEST_F(BoundGridTest, HeaderClicksSelectAContiguousColumnRange) {
  QWidget* header = grid()->horizontalHeader()->viewport();
  QTest::mouseClick(header, Qt::LeftButton, {}, headerPoint(2));
  EXPECT_EQ(grid()->SelStartCol(), 2);
  EXPECT_EQ(grid()->SelEndCol(), 2);
  QTest::mouseClick(header, Qt::LeftButton, Qt::ShiftModifier, headerPoint(4));
  EXPECT_EQ(grid()->SelStartCol(), 2);
  EXPECT_EQ(grid()->SelEndCol(), 4);
  QTest::mouseClick(header, Qt::LeftButton, Qt::ShiftModifier, headerPoint(0));
  EXPECT_EQ(grid()->SelStartCol(), 0);
  EXPECT_EQ(grid()->SelEndCol(), 2);
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellPoint(0, 0));
  EXPECT_EQ(grid()->SelStartCol(), -1);
}

TEST_F(BoundGridTest, CellTipsAskTheWindowForCellsHeadersAndSelectors) {
  auto tipAt = [&](QWidget* target, const QPoint& p) {
    QToolTip::hideText();
    QHelpEvent e(QEvent::ToolTip, p, target->mapToGlobal(p));
    QApplication::sendEvent(target, &e);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  w->tipForDescri = "Descripción completa del concepto";
  const QString tip = tipAt(grid()->viewport(), cellPoint(1, W::cDescri));
  EXPECT_TRUE(tip.contains("Descripción completa del concepto"));
  EXPECT_TRUE(tip.contains(QStringLiteral("width=\"%1\"").arg(ui::twipsToPixels(7000))));   // the window's tip width
  EXPECT_EQ(w->log.last(), QStringLiteral("FetchCellTips %1 1").arg(W::cDescri));
  EXPECT_EQ(tipAt(grid()->horizontalHeader()->viewport(), headerPoint(2)).contains("seleccionar la columna"), true);
  EXPECT_EQ(w->log.last(), "FetchCellTips 2 -1");
  EXPECT_TRUE(tipAt(grid()->verticalHeader()->viewport(), selectorPoint(2)).contains("seleccionar este renglón"));
  EXPECT_EQ(w->log.last(), "FetchCellTips -1 2");
  // Other cells keep the grid's own tip: their text.
  grid()->SetTipWidth(0);
  EXPECT_EQ(tipAt(grid()->viewport(), cellPoint(0, W::cCodigo)), grid()->cellText(0, W::cCodigo));
}

TEST_F(BoundGridTest, TheUnboundColumnIsWrittenByTheWindowAndFetchedAgain) {
  // A row with schedule volume in period 1.
  int row = -1;
  for (int r = 0; r < model()->recordCount() && row < 0; ++r)
    if (!grid()->cellText(r, W::cPeriodo1).isEmpty()) row = r;
  ASSERT_GE(row, 0);
  const QString partida = partidaAt(row);
  const int renglon = renglonAt(row);
  grid()->scrollTo(model()->index(row, W::cPeriodo1));
  goTo(row, W::cPeriodo1);
  type("2.5");
  press(Qt::Key_Return);
  EXPECT_FALSE(grid()->EditActive());
  EXPECT_EQ(w->volumen(partida, renglon), "2.50");
  EXPECT_EQ(grid()->cellText(row, W::cPeriodo1), "2.50");   // fetched again
  EXPECT_TRUE(w->log.filter("BeforeUpdate").isEmpty());    // nothing bound to write

  // 0 deletes the schedule row; a volume over the quantity posts its code.
  testui::ScriptedMsgBoxes boxes;
  boxes.answer(ui::vbOK);
  EXPECT_TRUE(grid()->CommitCell(W::cPeriodo1, "0"));
  EXPECT_EQ(w->volumen(partida, renglon), "");
  EXPECT_EQ(grid()->cellText(row, W::cPeriodo1), "");
  EXPECT_FALSE(grid()->CommitCell(W::cPeriodo1, "99999999"));
  QCoreApplication::processEvents();
  EXPECT_EQ(w->posted, QStringList{"La suma de periodos es mayor que el volumen presupuestado"});
}

TEST_F(BoundGridTest, TheDropDownListsAnotherRecordsetAndOpensOnTheCellsValue) {
  testui::ScriptedMsgBoxes boxes;
  goTo(0, W::cMoneda);
  const QString current = grid()->cellText(0, W::cMoneda);
  QTest::keyClick(focused(), Qt::Key_F2);
  auto* combo = grid()->findChild<ui::DropDownEditor*>();
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->currentText(), current);
  combo->showPopup();
  EXPECT_TRUE(w->log.contains(QStringLiteral("DropDownOpen %1").arg(W::cMoneda)));
  QTableView* list = combo->listView();
  ASSERT_NE(list, nullptr);
  auto monedas = db->OpenRecordset("SELECT * FROM Monedas", dao::RecordsetType::Snapshot);
  ASSERT_EQ(list->model()->rowCount(), monedas->RecordCount());
  ASSERT_GE(monedas->RecordCount(), 2);
  EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), "Descripción");
  EXPECT_EQ(list->model()->index(list->currentIndex().row(), 0).data().toString(), current);   // positioned by the window
  EXPECT_EQ(combo->currentText(), current);

  // Picking another currency puts its code in the cell; Enter writes it.
  const int other = list->currentIndex().row() == 0 ? 1 : 0;
  const QString code = list->model()->index(other, 0).data().toString();
  combo->setCurrentIndex(other);
  combo->hidePopup();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  EXPECT_EQ(combo->currentText(), code);
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(w->stored(partidaAt(0), renglonAt(0), "Moneda").toString(), code);

  // A code that is not in the list: the window's message, the edit stays.
  boxes.answer(ui::vbOK);
  goTo(0, W::cMoneda);
  type("EUROS");
  press(Qt::Key_Return);
  EXPECT_EQ(boxes.texts(), QStringList{"La moneda no existe"});
  EXPECT_TRUE(grid()->EditActive());
  press(Qt::Key_Escape);
}

TEST_F(BoundGridTest, ChangesMadeElsewhereShowWithoutRereadingTheTable) {
  const QString partida = partidaAt(1);
  const int renglon = renglonAt(1);
  grid()->viewport()->grab();
  db->Execute(QStringLiteral("UPDATE Presupuesto SET Unidad='kg' WHERE Partida='%1' AND Renglon=%2").arg(partida).arg(renglon));
  EXPECT_EQ(grid()->cellText(1, W::cUnidad), "kg");   // the next paint reads the row again
  const int total = model()->recordCount();
  db->Execute(QStringLiteral("DELETE FROM Presupuesto WHERE Partida='%1' AND Renglon=%2").arg(partida).arg(renglon));
  QCoreApplication::processEvents();   // the rows follow once the action is over
  EXPECT_EQ(model()->recordCount(), total - 1);
  EXPECT_EQ(rowOf(partida, renglon), -1);
}

TEST_F(BoundGridTest, RebindingAfterASortShowsTheNewOrderAndEditsTheRightRow) {
  QTest::mouseClick(grid()->verticalHeader()->viewport(), Qt::LeftButton, {}, selectorPoint(1));
  ASSERT_EQ(grid()->SelBookmarks().Count(), 1);
  w->sortBy("Codigo DESC");
  EXPECT_EQ(grid()->SelBookmarks().Count(), 0);   // marks of the old rows mean nothing now
  auto sorted = db->OpenRecordset("SELECT Partida, Renglon, Codigo FROM Presupuesto ORDER BY Codigo DESC, Partida, Renglon",
                                  dao::RecordsetType::Snapshot);
  for (int r = 0; r < 5; ++r, sorted->MoveNext()) EXPECT_EQ(grid()->cellText(r, W::cCodigo), sorted->Value("Codigo").toString());
  EXPECT_EQ(grid()->currentIndex().row(), 0);
  EXPECT_EQ(grid()->Bookmark(), w->Data1->Recordset()->GetBookmark());
  // Bound next to a clone of the sorted rows, which has no current record yet: same rows, and the
  // clone is put on the first.
  const QString first = grid()->cellText(0, W::cCodigo);
  w->Data1->SetRecordset(w->rsClon);
  EXPECT_EQ(grid()->cellText(0, W::cCodigo), first);
  EXPECT_EQ(grid()->currentIndex().row(), 0);
  EXPECT_EQ(w->rsClon->GetBookmark(), model()->bookmarkAt(0));
  w->rsClon = w->rsClon->Clone();

  w->spreadPrices = false;
  goTo(3, W::cUnidad);
  const QString partida = partidaAt(3);
  const int renglon = renglonAt(3);
  type("pza");
  press(Qt::Key_Return);
  EXPECT_EQ(w->stored(partida, renglon, "Unidad").toString(), "pza");
  // The same error on another family of bookmarks is the recordset's.
  EXPECT_THROW(grid()->SetBookmark(w->rsPresupuesto->GetBookmark()), vb::Error);

  // Sorting on the memo field fails as the layer says, and the grid stays bound.
  auto current = w->Data1->Recordset();
  current->SetSort("Descri");
  try {
    current->OpenRecordset();
    FAIL() << "memo sort accepted";
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), 3117);
  }
  EXPECT_EQ(grid()->cellText(3, W::cUnidad), "pza");
}

TEST_F(BoundGridTest, CodeMovingTheRecordsetMovesTheGridAndTheGridMovesTheRecordset) {
  auto rs = w->Data1->Recordset();
  rs->FindFirst(QStringLiteral("Partida='%1' AND Renglon=%2").arg(partidaAt(40)).arg(renglonAt(40)));
  ASSERT_FALSE(rs->NoMatch());
  grid()->Refresh();
  EXPECT_EQ(grid()->currentIndex().row(), 40);
  grid()->MoveNext();
  EXPECT_EQ(rs->GetBookmark(), model()->bookmarkAt(41));
  grid()->MoveLast();
  grid()->MoveNext();   // stays on the last row
  EXPECT_EQ(grid()->currentIndex().row(), model()->recordCount() - 1);
  grid()->SetBookmark(model()->bookmarkAt(7));
  EXPECT_EQ(grid()->currentIndex().row(), 7);
  EXPECT_EQ(rs->GetBookmark(), model()->bookmarkAt(7));
  EXPECT_TRUE(w->log.contains(QStringLiteral("RowColChange %1").arg(grid()->currentIndex().column())));
}

TEST_F(BoundGridTest, LayoutsAreSavedAndRestoredByName) {
  const QString file = dir.filePath("kortorn.grx");
  ASSERT_TRUE(ui::writeGridLayout(file, "FrmMone", {{true, "Moneda", 900, true}}));
  grid()->SetLayoutFileName(file);
  grid()->SetLayoutName("FrmPrueba");
  EXPECT_FALSE(grid()->LoadLayout());   // no such layout yet: the grid stays as designed
  EXPECT_EQ(grid()->Columns(W::cCodigo).Width(), 1100);

  grid()->Columns(W::cUnidad).SetVisible(false);
  grid()->horizontalHeader()->resizeSection(W::cCodigo, 150);   // the user drags the border
  EXPECT_EQ(grid()->Columns(W::cCodigo).Width(), 150 * 15);
  ASSERT_TRUE(grid()->SaveLayout());

  GridWindow again(db);
  again.Grid1->SetLayoutFileName(file);
  again.Grid1->SetLayoutName("frmprueba");
  ASSERT_TRUE(again.Grid1->LoadLayout());
  EXPECT_EQ(again.Grid1->Columns(W::cCodigo).Width(), 2250);
  EXPECT_EQ(again.Grid1->columnWidth(W::cCodigo), 150);
  EXPECT_FALSE(again.Grid1->Columns(W::cUnidad).Visible());
  EXPECT_TRUE(again.Grid1->isColumnHidden(W::cUnidad));
  EXPECT_EQ(again.Grid1->Columns(W::cPeriodo1).Width(), 1000);   // unbound: by caption
  const auto other = ui::readGridLayout(file, "FrmMone");   // the file's other layouts stay
  ASSERT_TRUE(other.has_value());
  EXPECT_EQ(other->front().width, 900);
}

TEST_F(BoundGridTest, TheAddNewRowInsertsARecordThatClonesSee) {
  // A currency list as the currencies window has it.
  auto mon = db->OpenRecordset("SELECT * FROM Monedas");
  auto monClon = mon->Clone();
  ui::BoundGrid g;
  ui::DataControl data;
  struct Handlers : ui::BoundGridEvents {
    ui::BoundGrid* g;
    QStringList log;
    void OnAddNew() override { log << "OnAddNew"; }
    void BeforeColUpdate(int col, const vb::Variant&, bool& cancel) override {
      log << QStringLiteral("BeforeColUpdate %1 mode %2").arg(col).arg(g->AddNewMode());
      if (col == 0 && g->AddNewMode() == 2) g->Columns(1).SetValue(g->Columns(0).Value());   // Texto := code
      if (col == 3 && (!vb::IsNumeric(g->Columns(3).Value()) || vb::CDbl(g->Columns(3).Value()) == 0)) cancel = true;
    }
    void AfterUpdate() override { log << "AfterUpdate"; }
  } h;
  h.g = &g;
  for (const char* f : {"Moneda", "Texto", "Remate", "Paridad"}) {
    auto& c = g.Columns().Add(g.Columns().Count());
    c.SetCaption(f);
    c.SetDataField(f);
  }
  g.SetEvents(&h);
  g.SetAllowAddNew(true);
  data.SetRecordset(mon);
  g.SetDataSource(&data);
  g.resize(500, 200);
  g.show();
  g.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
  const int n = int(mon->RecordCount());
  ASSERT_EQ(g.recordsetModel()->rowCount(), n + 1);
  EXPECT_EQ(g.recordsetModel()->headerData(n, Qt::Vertical).toString(), "*");

  g.setCurrentIndex(g.recordsetModel()->index(n, 0));
  g.setFocus();
  EXPECT_EQ(g.AddNewMode(), 1);
  for (QChar ch : QString("EUR")) QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
  EXPECT_EQ(g.AddNewMode(), 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(h.log, (QStringList{"OnAddNew", "BeforeColUpdate 0 mode 2", "AfterUpdate"}));
  ASSERT_EQ(g.recordsetModel()->rowCount(), n + 2);   // a record and the add-new row again
  EXPECT_EQ(g.currentIndex().row(), n);                // on the new record
  EXPECT_EQ(g.AddNewMode(), 0);
  EXPECT_EQ(g.cellText(n, 1), "EUR");
  monClon->FindFirst("Moneda = 'EUR'");
  ASSERT_FALSE(monClon->NoMatch());
  EXPECT_EQ(monClon->Value("Texto").toString(), "EUR");
  EXPECT_EQ(mon->GetBookmark(), mon->LastModified());

  // Paridad "0" refused silently on the new record; Escape in the add-new row adds nothing.
  EXPECT_FALSE(g.CommitCell(3, "0"));
  EXPECT_TRUE(g.CommitCell(3, "20.5"));
  EXPECT_EQ(vb::CDbl(monClon->Value("Paridad")), 20.5);
  g.setCurrentIndex(g.recordsetModel()->index(n + 1, 2));
  QTest::keyClick(QApplication::focusWidget(), 'x');
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(g.AddNewMode(), 1);
  EXPECT_EQ(g.recordsetModel()->rowCount(), n + 2);
  EXPECT_EQ(mon->RecordCount(), n + 1);

  // Typed in the add-new row, then a click on the first row: the record is added and the click holds.
  g.setCurrentIndex(g.recordsetModel()->index(n + 1, 0));
  for (QChar ch : QString("YEN")) QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
  QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.recordsetModel()->index(0, 2)).center());
  EXPECT_EQ(mon->RecordCount(), n + 2);
  EXPECT_FALSE(g.EditActive());
  EXPECT_EQ(g.currentIndex(), g.recordsetModel()->index(0, 2));
  EXPECT_EQ(mon->GetBookmark(), g.recordsetModel()->bookmarkAt(0));
  EXPECT_EQ(g.cellText(n + 1, 0), "YEN");
  EXPECT_EQ(g.AddNewMode(), 0);
}

TEST_F(BoundGridTest, SettingACellOfTheCurrentRowFromCodeWritesItAtOnce) {
  goTo(5, W::cUnidad);
  const QString partida = partidaAt(5);
  const int renglon = renglonAt(5);
  grid()->Columns(W::cUnidad).SetText("lote");
  EXPECT_EQ(w->stored(partida, renglon, "Unidad").toString(), "lote");
  EXPECT_EQ(grid()->Columns(W::cUnidad).Text(), "lote");
  EXPECT_EQ(w->log.filter(QRegularExpression("Update$")), (QStringList{"BeforeUpdate", "AfterUpdate"}));
}

TEST_F(BoundGridTest, AReadOnlyViewOfATotalsQueryFollowsItsRequery) {
  auto totals = db->OpenRecordset("TotalPartidas");
  ui::BoundGrid g;
  ui::DataControl data;
  for (const char* f : {"Partida", "TextoP", "TotalPartida", "Moneda"}) {
    auto& c = g.Columns().Add(g.Columns().Count());
    c.SetDataField(f);
    c.SetCaption(f);
  }
  g.Columns("TotalPartida").SetNumberFormat("Currency");
  g.SetAllowUpdate(false);
  data.SetRecordset(totals);
  g.SetDataSource(&data);
  g.resize(600, 300);
  g.show();
  ASSERT_GT(g.recordsetModel()->recordCount(), 0);
  EXPECT_EQ(g.currentIndex().row(), 0);
  const QString partida = g.cellText(0, 0);
  const QString before = g.cellText(0, 2);
  g.setCurrentIndex(g.recordsetModel()->index(0, 2));
  EXPECT_FALSE(g.CommitCell(2, "1"));   // read-only

  // A price written elsewhere, then the totals requeried as the price window does.
  db->Execute("UPDATE Presupuesto SET Importe = Importe + 1000 WHERE Partida Like '" + partida + "*'");
  totals->Requery();
  QCoreApplication::processEvents();
  EXPECT_EQ(g.cellText(0, 0), partida);
  EXPECT_NE(g.cellText(0, 2), before);
  EXPECT_EQ(g.currentIndex().row(), 0);
}

}  // namespace
