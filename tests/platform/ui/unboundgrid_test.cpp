// The unbound grid over its array: the array's own operations, the order and effects of the edit,
// write and delete events, the rows and cells the user may edit, and edits made through the view's
// own editor, keyboard and mouse.
#include "unboundgrid.h"
#include "xarray.h"
#include "msgbox.h"

#include "qt_print.h"
#include "error_of.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

using ui::UnboundGrid;
using ui::XArray;
using vb::Variant;

TEST(XArrayTest, LoadsBlocksAsTheyAreOrTransposedAndKeepsItsBounds) {
  XArray a;
  EXPECT_EQ(a.Count(1), 0);
  EXPECT_EQ(a.UpperBound(1), -1);
  // GetRows gives [field][row]: loaded transposed, a row is a record.
  a.LoadRows({{Variant(int16_t(1)), Variant(int16_t(2)), Variant(int16_t(3))}, {Variant("a"), Variant("b"), Variant("c")}},
             true);
  EXPECT_EQ(a.Count(1), 3);
  EXPECT_EQ(a.Count(2), 2);
  EXPECT_EQ(a.UpperBound(1), 2);
  EXPECT_EQ(a.LowerBound(2), 0);
  EXPECT_EQ(a.Value(2, 1), Variant("c"));
  EXPECT_EQ(a.Value(1, 0), Variant(int16_t(2)));
  // Not transposed: block[row][col]; short rows are filled with Empty.
  a.LoadRows({{Variant("x"), Variant("y")}, {Variant("z")}}, false);
  EXPECT_EQ(a.Count(1), 2);
  EXPECT_EQ(a.Count(2), 2);
  EXPECT_TRUE(a.Value(1, 1).isEmpty());
  a.SetValue(1, 1, Variant(12.5));
  EXPECT_EQ(a.Value(1, 1), Variant(12.5));
  // A longer row widens every row.
  a.AppendRow({Variant("p"), Variant("q"), Variant("r")});
  EXPECT_EQ(a.Count(2), 3);
  EXPECT_TRUE(a.Value(0, 2).isEmpty());
  a.DeleteRows(0, 2);
  EXPECT_EQ(a.Count(1), 1);
  EXPECT_EQ(a.Value(0, 0), Variant("p"));
  // Outside the table: error 9.
  for (auto f : std::vector<std::function<void()>>{[&] { a.Value(1, 0); }, [&] { a.Value(0, 3); },
                                                  [&] { a.SetValue(-1, 0, Variant()); }, [&] { a.DeleteRows(0, 2); },
                                                  [&] { a.Count(3); }})
    EXPECT_EQ(errorOf(f), 9);
  a.Clear();
  EXPECT_EQ(a.Count(1), 0);
}

// A window's handlers that log each event and can be told how to answer.
struct Log : ui::UnboundGridEvents {
  UnboundGrid* grid = nullptr;
  QStringList events;
  std::function<void(int, const Variant&, bool&)> beforeCol;
  std::function<void(bool&)> beforeUpdate;
  std::function<void()> afterUpdate;
  bool cancelDelete = false;
  bool writeAfterEachCell = true;

  void OnAddNew() override {
    events << "OnAddNew";
    grid->Columns("Imp").SetValue(Variant(true));
  }
  void BeforeColUpdate(int col, const Variant& old, bool& cancel) override {
    events << QString("BeforeColUpdate %1 %2->%3").arg(col).arg(old.isNull() ? "Null" : old.isEmpty() ? "Empty" : old.toString(),
                                                             grid->Columns(col).Value().toString());
    if (beforeCol) beforeCol(col, old, cancel);
  }
  void AfterColUpdate(int col) override {
    events << QString("AfterColUpdate %1").arg(col);
    if (writeAfterEachCell) grid->Update();
  }
  void BeforeUpdate(bool& cancel) override {
    events << "BeforeUpdate";
    if (beforeUpdate) beforeUpdate(cancel);
  }
  void AfterUpdate() override {
    events << "AfterUpdate";
    if (afterUpdate) afterUpdate();
  }
  void BeforeDelete(bool& cancel) override {
    events << QString("BeforeDelete %1").arg(grid->Columns("No").Value().toString());
    cancel = cancelDelete;
  }
  void AfterDelete() override { events << "AfterDelete"; }
};

class Grid : public ::testing::Test {
protected:
  void SetUp() override {
    grid.resize(600, 300);
    grid.AddColumn("No", "Renglon").SetNumberFormat("General Number");
    grid.AddColumn("Texto", "Texto");
    grid.AddColumn("Total", "Total").SetNumberFormat("Currency");
    grid.AddColumn("Imp", "ImprimirRenglon").SetCheckBox(true);
    grid.Columns(1).SetDefaultValue(Variant("nuevo"));
    datos = std::make_shared<XArray>();
    datos->LoadRows({{Variant(int16_t(1)), Variant(int16_t(2))},
                     {Variant("uno"), Variant("dos")},
                     {Variant(vb::CCur(Variant(1234.5))), Variant(vb::CCur(Variant(-3)))},
                     {Variant(true), Variant(false)}},
                    true);
    grid.SetArray(datos);
    log.grid = &grid;
    grid.SetEvents(&log);
  }

  UnboundGrid grid;
  std::shared_ptr<XArray> datos;
  Log log;
};

TEST_F(Grid, ShowsTheArrayWithTheColumnsFormatsAndAnAddNewLine) {
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.CellText(0, 2), "$1,234.50");
  EXPECT_EQ(grid.CellText(1, 2), "-$3.00");
  EXPECT_EQ(grid.CellText(1, 0), "2");
  EXPECT_EQ(grid.model()->data(grid.model()->index(0, 3), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(grid.model()->data(grid.model()->index(1, 3), Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "No");
  grid.SetAllowAddNew(true);
  EXPECT_EQ(grid.RowCount(), 3);
  EXPECT_TRUE(grid.IsAddNewRow(2));
  EXPECT_EQ(grid.model()->headerData(2, Qt::Vertical).toString(), "*");
  EXPECT_TRUE(grid.CellText(2, 1).isEmpty());
  // Widths are twips; a hidden column is hidden in the view.
  grid.Columns(1).SetWidth(1500);
  EXPECT_EQ(grid.columnWidth(1), 100);
  grid.Columns(0).SetVisible(false);
  EXPECT_TRUE(grid.isColumnHidden(0));
  EXPECT_EQ(grid.Columns("renglon").ColIndex(), 0);
  EXPECT_EQ(grid.Columns("TOTAL").ColIndex(), 2);
  EXPECT_EQ(errorOf([&] { grid.Columns("Nada"); }), 9);
  EXPECT_EQ(errorOf([&] { grid.Columns(4); }), 9);
}

TEST_F(Grid, AnEditRunsItsEventsInOrderAndWritesTheRow) {
  log.writeAfterEachCell = false;
  grid.SetRow(1);
  // The handler sees the typed value and may change it.
  log.beforeCol = [&](int, const Variant&, bool&) { grid.Columns(1).SetValue(grid.Columns(1).Value().toString().toUpper()); };
  EXPECT_TRUE(grid.CommitCell(1, "segundo"));
  EXPECT_EQ(log.events, QStringList({"BeforeColUpdate 1 dos->segundo", "AfterColUpdate 1"}));
  // In the buffer, not yet in the array.
  EXPECT_EQ(grid.CellText(1, 1), "SEGUNDO");
  EXPECT_EQ(datos->Value(1, 1), Variant("dos"));
  EXPECT_TRUE(grid.DataChanged());
  EXPECT_TRUE(grid.Update());
  EXPECT_EQ(datos->Value(1, 1), Variant("SEGUNDO"));
  EXPECT_FALSE(grid.DataChanged());
  EXPECT_EQ(log.events.mid(2), QStringList({"BeforeUpdate", "AfterUpdate"}));
  // Nothing left to write.
  EXPECT_FALSE(grid.Update());
}

TEST_F(Grid, ACancelledCellKeepsItsValueAndACancelledWriteItsBuffer) {
  grid.SetRow(0);
  log.beforeCol = [](int, const Variant&, bool& cancel) { cancel = true; };
  EXPECT_FALSE(grid.CommitCell(1, "otro"));
  EXPECT_EQ(log.events, QStringList({"BeforeColUpdate 1 uno->otro"}));
  EXPECT_EQ(grid.CellText(0, 1), "uno");
  EXPECT_FALSE(grid.DataChanged());

  log.events.clear();
  log.beforeCol = nullptr;
  log.beforeUpdate = [](bool& cancel) { cancel = true; };
  EXPECT_TRUE(grid.CommitCell(1, "otro"));
  EXPECT_EQ(log.events, QStringList({"BeforeColUpdate 1 uno->otro", "AfterColUpdate 1", "BeforeUpdate"}));
  EXPECT_TRUE(grid.DataChanged());
  EXPECT_EQ(grid.CellText(0, 1), "otro");
  EXPECT_EQ(datos->Value(0, 1), Variant("uno"));
  // Leaving the row tries the write again; refused again, the changes go.
  grid.SetRow(1);
  QCoreApplication::processEvents();
  EXPECT_FALSE(grid.DataChanged());
  EXPECT_EQ(grid.CellText(0, 1), "uno");
  EXPECT_EQ(log.events.count("BeforeUpdate"), 2);
  // Escape drops a change as well.
  log.writeAfterEachCell = false;
  EXPECT_TRUE(grid.CommitCell(1, "tres"));
  QTest::keyClick(&grid, Qt::Key_Escape);
  EXPECT_FALSE(grid.DataChanged());
  EXPECT_EQ(grid.CellText(1, 1), "dos");
}

TEST_F(Grid, TheAddNewLineTakesANewRowWithItsDefaults) {
  grid.SetAllowAddNew(true);
  grid.SetRow(2);
  EXPECT_TRUE(grid.CommitCell(2, "77"));
  EXPECT_EQ(log.events, QStringList({"OnAddNew", "BeforeColUpdate 2 Empty->77", "AfterColUpdate 2", "BeforeUpdate",
                                     "AfterUpdate"}));
  ASSERT_EQ(datos->Rows(), 3);
  EXPECT_EQ(datos->Value(2, 1), Variant("nuevo"));   // the column's default
  EXPECT_EQ(datos->Value(2, 2), Variant("77"));
  EXPECT_EQ(datos->Value(2, 3), Variant(true));      // set by OnAddNew
  EXPECT_EQ(grid.RowCount(), 4);
  EXPECT_TRUE(grid.IsAddNewRow(3));
  EXPECT_EQ(grid.Row(), 2);
  // A first cell refused in the add-new line leaves no row behind.
  log.events.clear();
  grid.SetRow(3);
  log.beforeCol = [](int, const Variant&, bool& cancel) { cancel = true; };
  EXPECT_FALSE(grid.CommitCell(1, "x"));
  EXPECT_FALSE(grid.DataChanged());
  EXPECT_EQ(datos->Rows(), 3);
  EXPECT_EQ(grid.RowCount(), 4);
}

TEST_F(Grid, HandlersMayReloadTheArrayFromAnyEvent) {
  // After each write the window loads a fresh array (as a reload from the database does) and puts
  // the current cell back.
  log.afterUpdate = [&] {
    const int row = grid.Row(), col = grid.Col();
    auto nuevo = std::make_shared<XArray>(*datos);
    nuevo->AppendRow({Variant(int16_t(9)), Variant("recargado")});
    datos = nuevo;
    grid.SetArray(nuevo);
    grid.SetCol(col);
    grid.SetRow(row);
  };
  grid.SetRow(1);
  grid.SetCol(1);
  EXPECT_TRUE(grid.CommitCell(1, "cambiado"));
  EXPECT_EQ(grid.Array(), datos);
  EXPECT_EQ(grid.RowCount(), 3);
  EXPECT_EQ(grid.CellText(1, 1), "cambiado");
  EXPECT_EQ(grid.CellText(2, 1), "recargado");
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_FALSE(grid.DataChanged());
}

TEST_F(Grid, OnlyCellsThatAreAllowedCanBeEdited) {
  grid.Columns(2).SetLocked(true);
  grid.SetAllowAddNew(true);
  EXPECT_FALSE(grid.CellEditable(0, 2));
  EXPECT_TRUE(grid.CellEditable(0, 1));
  grid.SetRow(0);
  EXPECT_FALSE(grid.CommitCell(2, "5"));
  EXPECT_TRUE(log.events.isEmpty());
  EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 2)) & Qt::ItemIsEditable);
  // Without AllowUpdate the rows are read-only, the add-new line still takes a row.
  grid.SetAllowUpdate(false);
  EXPECT_FALSE(grid.CellEditable(0, 1));
  EXPECT_TRUE(grid.CellEditable(2, 1));
  grid.SetAllowAddNew(false);
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_FALSE(grid.CellEditable(2, 1));
  // A check box is never a text editor.
  grid.SetAllowUpdate(true);
  EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 3)) & Qt::ItemIsEditable);
}

TEST_F(Grid, DeletingARowRunsItsEventsUnlessCancelled) {
  grid.SetRow(0);
  EXPECT_FALSE(grid.Delete());  // AllowDelete is off
  grid.SetAllowDelete(true);
  log.cancelDelete = true;
  EXPECT_FALSE(grid.Delete());
  EXPECT_EQ(datos->Rows(), 2);
  log.cancelDelete = false;
  EXPECT_TRUE(grid.Delete());
  EXPECT_EQ(log.events, QStringList({"BeforeDelete 1", "BeforeDelete 1", "AfterDelete"}));
  ASSERT_EQ(datos->Rows(), 1);
  EXPECT_EQ(datos->Value(0, 1), Variant("dos"));
  EXPECT_EQ(grid.RowCount(), 1);
}

TEST_F(Grid, TheUserEditsThroughTheViewKeyboardAndMouse) {
  grid.SetAllowDelete(true);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  grid.setFocus();
  // Typing on a cell opens its editor; Enter commits and the events run once the editor is closed.
  grid.setCurrentIndex(grid.model()->index(0, 1));
  QTest::keyClicks(&grid, "x");
  auto* editor = grid.findChild<QLineEdit*>();
  ASSERT_TRUE(editor);
  editor->setText("escrito");
  QTest::keyClick(editor, Qt::Key_Return);  // the view commits and closes its editor in a queued call
  QCoreApplication::processEvents();
  EXPECT_EQ(log.events, QStringList({"BeforeColUpdate 1 uno->escrito", "AfterColUpdate 1", "BeforeUpdate", "AfterUpdate"}));
  EXPECT_EQ(datos->Value(0, 1), Variant("escrito"));
  // An editor closed with its text unchanged writes nothing.
  log.events.clear();
  grid.setCurrentIndex(grid.model()->index(1, 1));
  QTest::keyClick(&grid, Qt::Key_F2);
  editor = grid.findChild<QLineEdit*>();
  ASSERT_TRUE(editor);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_TRUE(log.events.isEmpty());
  // A click on a check box turns it.
  const QRect caja = grid.visualRect(grid.model()->index(1, 3));
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, caja.center());
  EXPECT_EQ(datos->Value(1, 3), Variant(true));
  EXPECT_EQ(log.events.first(), "BeforeColUpdate 3 False->True");
  // Delete with the row selected by its record selector.
  log.events.clear();
  grid.selectRow(1);
  QTest::keyClick(&grid, Qt::Key_Delete);
  EXPECT_EQ(log.events, QStringList({"BeforeDelete 2", "AfterDelete"}));
  EXPECT_EQ(datos->Rows(), 1);
  // Several rows selected: nothing is deleted.
  datos->AppendRow({Variant(int16_t(3)), Variant("tres")});
  grid.ReBind();
  log.events.clear();
  grid.selectAll();
  QTest::keyClick(&grid, Qt::Key_Delete);
  EXPECT_TRUE(log.events.isEmpty());
  EXPECT_EQ(datos->Rows(), 2);
}

TEST_F(Grid, AHandlerThatFailsIsCancelledNotFatal) {
  // A handler error would otherwise cross the view's event handling; the grid stops the step.
  grid.SetRow(0);
  log.beforeCol = [](int, const Variant&, bool&) { throw vb::Error(13); };
  struct Silent : ui::MsgBoxService {
    QStringList shown;
    ui::VbMsgBoxResult show(const ui::MsgBoxRequest& r) override {
      shown << r.prompt;
      return ui::vbOK;
    }
  } boxes;
  ui::MsgBoxService* previous = ui::installMsgBoxService(&boxes);
  EXPECT_FALSE(grid.CommitCell(1, "x"));
  ui::installMsgBoxService(previous);
  EXPECT_EQ(boxes.shown.size(), 1);
  EXPECT_EQ(grid.CellText(0, 1), "uno");
  EXPECT_FALSE(grid.DataChanged());
}

}  // namespace
