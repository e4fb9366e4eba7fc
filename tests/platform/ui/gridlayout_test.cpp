// The layout file "kortorn.grx": one layout per window name, others kept, damage skipped.
#include "gridlayout.h"

#include "qt_print.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using ui::GridLayout;

void writeText(const QString& path, const QByteArray& text) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
}

TEST(GridLayoutFile, LayoutsRoundTripByNameAndReplacingOneKeepsTheOthers) {
  QTemporaryDir dir;
  const QString file = dir.filePath("kortorn.grx");
  EXPECT_FALSE(ui::readGridLayout(file, "FrmPre").has_value());   // no file yet

  const GridLayout pre = {{true, "Partida", 1100, true}, {true, "Descri", 4000, false}, {false, "Periodo 1", 1000, true}};
  const GridLayout mone = {{true, "Moneda", 900, true}, {true, "Texto", 2500, true}};
  ASSERT_TRUE(ui::writeGridLayout(file, "FrmPre", pre));
  ASSERT_TRUE(ui::writeGridLayout(file, "FrmMone", mone));
  ASSERT_TRUE(ui::writeGridLayout(file, "FrmPre", {{true, "Precio", 1500, true}}));

  const auto got = ui::readGridLayout(file, "frmpre");   // names ignore letter case
  ASSERT_TRUE(got.has_value());
  ASSERT_EQ(got->size(), 1u);
  EXPECT_EQ(got->front().name, "Precio");
  EXPECT_EQ(got->front().width, 1500);
  const auto other = ui::readGridLayout(file, "FrmMone");
  ASSERT_TRUE(other.has_value());
  ASSERT_EQ(other->size(), 2u);
  EXPECT_EQ((*other)[1].name, "Texto");
  EXPECT_EQ((*other)[1].width, 2500);
  EXPECT_FALSE(ui::readGridLayout(file, "FrmPrograma").has_value());

  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(f.readAll());
  EXPECT_EQ(text.count("[FrmPre]"), 1);
  EXPECT_TRUE(text.contains("field\tPrecio\t1500\t1\n"));
}

TEST(GridLayoutFile, DamagedLinesAreSkippedDamagedWidthsReadAsNoneAndUnreadableFilesLeaveTheGridAsDesigned) {
  QTemporaryDir dir;
  const QString file = dir.filePath("kortorn.grx");
  writeText(file,
            "basura antes de todo\n[FrmPre]\r\nfield\tPartida\t1200\t1\r\nfield\tCodigo\tancho\t1\n"
            "field\tUnidad\t-5\t1\nfield\tDescri\t9999999999\t0\ncaption\tPeriodo 1\t1000\t0\n"
            "field\t\t100\t1\nfield\tMoneda\t800\t2\nfield\tPrecio\t1300\t0\textra\n\x01\x02\xff\n[FrmMone]\n");
  const auto got = ui::readGridLayout(file, "FrmPre");
  ASSERT_TRUE(got.has_value());
  // A damaged width reads as none (the grid keeps its designed one) and keeps the line's visibility.
  struct Esperado {
    bool bound;
    const char* name;
    int width;
    bool visible;
  };
  const Esperado esperados[] = {{true, "Partida", 1200, true},
                                {true, "Codigo", 0, true},
                                {true, "Unidad", 0, true},
                                {true, "Descri", 0, false},
                                {false, "Periodo 1", 1000, false}};
  ASSERT_EQ(got->size(), std::size(esperados));
  for (size_t i = 0; i < got->size(); ++i) {
    EXPECT_EQ((*got)[i].bound, esperados[i].bound) << i;
    EXPECT_EQ((*got)[i].name, esperados[i].name) << i;
    EXPECT_EQ((*got)[i].width, esperados[i].width) << i;
    EXPECT_EQ((*got)[i].visible, esperados[i].visible) << i;
  }
  const auto empty = ui::readGridLayout(file, "FrmMone");
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());

  // Saving over a damaged file keeps what it can and writes a clean layout.
  ASSERT_TRUE(ui::writeGridLayout(file, "FrmMone", {{true, "Moneda\tX", 700, true}}));
  const auto mone = ui::readGridLayout(file, "FrmMone");
  ASSERT_TRUE(mone.has_value());
  ASSERT_EQ(mone->size(), 1u);
  EXPECT_EQ(mone->front().name, "Moneda X");

  // A folder that does not exist cannot be written.
  EXPECT_FALSE(ui::writeGridLayout(dir.filePath("no/existe/kortorn.grx"), "FrmPre", {}));
}

}  // namespace
