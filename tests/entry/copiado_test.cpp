// Module copiado: the copy of marked grid rows as text, and the price paste on a copy of the sample bid
// (blocks as a spreadsheet program writes them, the errors that end a paste or skip a row), through the
// clipboard seam and through the system's clipboard.
#include "copiado.h"
#include "obra.h"
#include "portapapeles.h"
#include "quarvel.h"

#include "qt_print.h"

#include <QClipboard>
#include <QGuiApplication>

namespace entrytest {
namespace {

dao::Bookmark fila(int n) { return dao::Bookmark::make(7, n); }

// A grid of five columns (one hidden) and four rows; cell texts "<caption> <row>" unless given.
class GridFalso : public copiado::GridCopia {
public:
  struct Col {
    QString caption;
    bool visible;
  };
  std::vector<Col> columnas{{"Partida", true}, {"Código", true}, {"Texto completo", true}, {"Importe", false},
                            {"Precio", true}};
  std::map<std::pair<int, int>, QString> textos;
  std::vector<dao::Bookmark> marcados;
  int error = 0;  // raised by Texto

  int Columnas() const override { return int(columnas.size()); }
  bool Visible(int c) const override { return columnas[size_t(c)].visible; }
  QString Caption(int c) const override { return columnas[size_t(c)].caption; }
  std::vector<dao::Bookmark> Marcados() const override { return marcados; }
  QString Texto(const dao::Bookmark& b, int c) override {
    if (error)
      throw vb::Error(error);
    const auto it = textos.find({int(b.position()), c});
    return it != textos.end() ? it->second : columnas[size_t(c)].caption + u' ' + QString::number(b.position());
  }
};

class DestinoFalso : public copiado::DestinoPegado {
public:
  QString forma = QStringLiteral("FrmPre");
  QStringList celdas;
  int preparado = 0;
  int refrescado = 0;
  int error = 0;           // raised by PegaCelda and PreparaBloque
  bool soloConsulta = false;  // the current cell takes no value

  QString Forma() const override { return forma; }
  bool PegaCelda(const QString& t) override {
    if (error)
      throw vb::Error(error);
    if (soloConsulta)
      return false;
    celdas << t;
    return true;
  }
  void PreparaBloque() override {
    ++preparado;
    if (error)
      throw vb::Error(error);
  }
  void Refresca() override { ++refrescado; }
};

// ---- Copy

TEST(CopiaGrid, HeaderOfVisibleCaptionsThenMarkedRowsInTheirOrder) {
  GridFalso grid;
  grid.marcados = {fila(3), fila(1)};
  grid.textos[{3, 2}] = QStringLiteral("Muro de block,\r\nacabado común");
  grid.textos[{1, 4}] = QStringLiteral("$1,234.50");
  EXPECT_EQ(copiado::textoCopia(grid),
            "Partida\tCódigo\tTexto completo\tPrecio\t\r\n"
            "Partida 3\tCódigo 3\tMuro de block, \nacabado común\tPrecio 3\t\r\n"
            "Partida 1\tCódigo 1\tTexto completo 1\t$1,234.50\t\r\n");
}

TEST(CopiaGrid, ClearsTheClipboardAndCopiesOnlyWithMarkedRows) {
  GridFalso grid;
  PortapapelesFalso portapapeles;
  copiado::copiaClipboard(grid);
  EXPECT_EQ(portapapeles.limpiezas, 1);
  EXPECT_EQ(portapapeles.texto, "");

  grid.marcados = {fila(2)};
  copiado::copiaClipboard(grid);
  EXPECT_EQ(portapapeles.texto, "Partida\tCódigo\tTexto completo\tPrecio\t\r\nPartida 2\tCódigo 2\tTexto completo 2\tPrecio 2\t\r\n");
}

TEST(CopiaGrid, GridErrorsEndTheCopy) {
  GridFalso grid;
  grid.marcados = {fila(2)};
  PortapapelesFalso portapapeles;
  grid.error = 6149;
  copiado::copiaClipboard(grid);  // silently
  EXPECT_EQ(portapapeles.texto, "");

  testui::ScriptedMsgBoxes cajas;
  cajas.answer(ui::vbOK);
  grid.error = 5;
  copiado::copiaClipboard(grid);
  EXPECT_EQ(cajas.texts(), QStringList({"copiado.copiaClipboard 5 " + vb::Error(5).description()}));
  EXPECT_EQ(cajas.shown()[0].buttons, ui::vbOKOnly);
}

// ---- Line ends of the system's clipboard

TEST(Portapapeles, LineEndsOfTheSystem) {
  struct Caso {
    QString sistema, nuestro;
  };
  // Reading: every LF ends a row.
  for (const Caso& c : std::vector<Caso>{{"a\tb\nc\td\n", "a\tb\r\nc\td\r\n"},
                                         {"a\r\nb\n\nc", "a\r\nb\r\n\r\nc"},
                                         {"\nx", "\r\nx"},
                                         {"sin fin", "sin fin"}})
    EXPECT_EQ(copiado::desdeSistema(c.sistema), c.nuestro) << c.sistema.toStdString();
  // Writing: rows end in LF, a line break inside a cell becomes a blank.
  for (const Caso& c : std::vector<Caso>{{"a\tb\nc\td\n", "a\tb\r\nc\td\r\n"},
                                         {"uno  dos\t\n", "uno \ndos\t\r\n"},
                                         {"x", "x"}})
    EXPECT_EQ(copiado::haciaSistema(c.nuestro), c.sistema) << c.nuestro.toStdString();
}

TEST(Portapapeles, SystemClipboardKeepsRowsAndCells) {
  GridFalso grid;
  grid.marcados = {fila(1)};
  grid.textos[{1, 2}] = QStringLiteral("dos\r\nrenglones");
  copiado::copiaClipboard(grid);
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            "Partida\tCódigo\tTexto completo\tPrecio\t\nPartida 1\tCódigo 1\tdos  renglones\tPrecio 1\t\n");
  EXPECT_EQ(copiado::portapapeles().Texto(),
            "Partida\tCódigo\tTexto completo\tPrecio\t\r\nPartida 1\tCódigo 1\tdos  renglones\tPrecio 1\t\r\n");
}

// ---- Paste of prices

class PegaPreciosTest : public ObraTest {
public:
  // The prices of a code's rows, each once (one when every row of the code has the same).
  QStringList precios(const QString& codigo) {
    return columna("SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = '" + codigo + "'");
  }
  QStringList importes(const QString& codigo) {
    return columna("SELECT Importe FROM Presupuesto WHERE Codigo = '" + codigo + "' ORDER BY Partida");
  }
  DestinoFalso destino;
};

// Each code stands in several sections: PRE-001 first with the quantities 420, 395 and 410.
TEST_F(PegaPreciosTest, SpreadsheetBlockSetsPricesPerCode) {
  copiado::pegaTexto("Unidad\tPrecio\tDescripción\tCódigo\tCantidad\r\n"
                     "m2\t20.5\tLimpieza\tPRE-001\t420\r\n"
                     "m2\t$1,234.50\tTrazo y nivelación\tPRE-002\t257\r\n"
                     "m3\t99.999\tDespalme\tPRE-003\t84\r\n"
                     "\r\n",
                     destino);
  EXPECT_EQ(destino.preparado, 1);
  EXPECT_EQ(copiado::formaPegado, "FrmPre");
  EXPECT_EQ(precios("PRE-001"), QStringList({"20.5"}));
  EXPECT_EQ(importes("PRE-001").mid(0, 3), QStringList({"8610", "8097.5", "8405"}));
  EXPECT_EQ(columna("SELECT Count(*) FROM Presupuesto WHERE Codigo IN ('PRE-001', 'PRE-002', 'PRE-003') AND "
                    "Abs(Importe - Cantidad * Precio) >= 0.005"),
            QStringList({"0"}));
  EXPECT_EQ(precios("PRE-002"), QStringList({"1234.5"}));
  // The price is rounded to the bid's two decimals as a typed one is, and the amount follows (84 x 100).
  EXPECT_EQ(precios("PRE-003"), QStringList({"100"}));
  EXPECT_EQ(importes("PRE-003").first(), "8400");
  EXPECT_EQ(precios("PRE-004"), QStringList({"148"}));
}

TEST_F(PegaPreciosTest, LastLineWithoutLineEndIsApplied) {
  copiado::pegaTexto("CÓDIGO \tprecio\r\nPRE-001\t10\r\nPRE-002\t11", destino);
  EXPECT_EQ(precios("PRE-001"), QStringList({"10"}));
  EXPECT_EQ(precios("PRE-002"), QStringList({"11"}));
}

TEST_F(PegaPreciosTest, CopiedRowsPastedBack) {
  GridFalso grid;
  grid.columnas = {{"Partida", true}, {"Renglón", true}, {"Código", true}, {"Precio", true}, {"Importe", true}};
  grid.marcados = {fila(1), fila(2)};
  grid.textos = {{{1, 2}, "PRE-005"}, {{1, 3}, "$1,018.40"}, {{2, 2}, "PRE-006"}, {{2, 3}, "$18,600.00"}};
  copiado::pegaTexto(copiado::textoCopia(grid), destino);
  EXPECT_EQ(precios("PRE-005"), QStringList({"1018.4"}));
  EXPECT_EQ(precios("PRE-006"), QStringList({"18600"}));
}

TEST_F(PegaPreciosTest, ThroughTheSystemClipboardWithLinuxLineEnds) {
  QGuiApplication::clipboard()->setText("Código\tPrecio\nPRE-001\t10\nPRE-002\t11");
  copiado::pegaClipboard(destino);
  EXPECT_EQ(precios("PRE-001"), QStringList({"10"}));
  EXPECT_EQ(precios("PRE-002"), QStringList({"11"}));
}

TEST_F(PegaPreciosTest, RowsThatSetNothing) {
  // An empty price, an unknown code, a quote in a code, an empty code.
  copiado::pegaTexto("Código\tPrecio\r\nPRE-001\t\r\nNADA-1\t5\r\nPRE'001\t5\r\n\t7\r\n", destino);
  // Only a header.
  copiado::pegaTexto("Código\tPrecio\r\n", destino);
  EXPECT_TRUE(cajas.shown().empty());
  EXPECT_EQ(precios("PRE-001"), QStringList({"16.8"}));
}

// A window whose grid takes no rows (currencies, section totals) says so rather than taking a block in
// silence; a single value goes to its current cell unless that cell is read-only, which is said too.
TEST_F(PegaPreciosTest, WindowsThatTakeNoBlockSaySo) {
  const QString sinBloques = QStringLiteral("En esta ventana no se pueden pegar bloques de datos; se pegan en los precios "
                                            "unitarios y en el programa de obra.");
  for (const char* forma : {"FrmMone", "FrmParTorn"}) {
    SCOPED_TRACE(forma);
    destino.forma = QString::fromLatin1(forma);
    testui::ScriptedMsgBoxes cajasCaso;
    cajasCaso.answer(ui::vbOK);
    copiado::pegaTexto("Código\tPrecio\r\nPRE-001\t10\r\n", destino);
    EXPECT_EQ(cajasCaso.texts(), QStringList({sinBloques}));
    EXPECT_EQ(cajasCaso.shown().front().icon(), ui::vbInformation);
  }
  EXPECT_EQ(destino.preparado, 0);
  EXPECT_EQ(precios("PRE-001"), QStringList({"16.8"}));

  destino.soloConsulta = true;
  cajas.answer(ui::vbOK);
  copiado::pegaTexto("10", destino);
  EXPECT_EQ(cajas.texts(), QStringList({"En esta celda no se puede pegar: es sólo de consulta."}));
}

TEST_F(PegaPreciosTest, BlocksWithoutTheColumnsTheirWindowNeedsAreRefusedBeforeAnyRow) {
  const QString falta = QStringLiteral("No se puede pegar un bloque de datos que no contenga un encabezado de columna ");
  const std::pair<const char*, const char*> casos[] = {
      {"Código\tCantidad\r\nPRE-001\t5\r\n", "precio"},
      {"Precio\tPartida\r\n10\tA01001\r\n", "código"},
      {" Código\tPrecio\r\nPRE-001\t10\r\n", "código"},  // a leading blank: no header
  };
  for (const auto& [texto, columna] : casos) {
    SCOPED_TRACE(texto);
    testui::ScriptedMsgBoxes cajasCaso;
    cajasCaso.answer(ui::vbOK);
    copiado::pegaTexto(QString::fromUtf8(texto), destino);
    EXPECT_EQ(cajasCaso.texts(), QStringList({falta + QString::fromUtf8(columna)}));
    EXPECT_EQ(cajasCaso.shown().front().icon(), ui::vbInformation);
  }
  EXPECT_EQ(destino.preparado, 0);
  EXPECT_EQ(precios("PRE-001"), QStringList({"16.8"}));
}

TEST_F(PegaPreciosTest, SingleValueGoesToTheCurrentCell) {
  copiado::pegaTexto("12.5", destino);
  copiado::pegaTexto("", destino);
  EXPECT_EQ(destino.celdas, QStringList({"12.5"}));
  EXPECT_EQ(destino.preparado, 0);
  destino.error = 438;  // the control takes no text: silently
  copiado::pegaTexto("13", destino);
}

TEST_F(PegaPreciosTest, ErrorsThatEndThePaste) {
  struct Caso {
    const char* texto;
    QString mensaje;
  };
  const QString desde = "copiado.pegaClipboard ";
  const std::vector<Caso> casos = {
      // A row with more cells than the header: rows before it stay applied.
      {"Código\tPrecio\r\nPRE-001\t10\r\nPRE-002\t11\textra\r\nPRE-003\t12\r\n",
       desde + "9 " + vb::Error(9).description()},
      // A period beyond the bid's six, a period without a number: nothing applied.
      {"Código\tPrecio\tPeriodo 7\r\nPRE-001\t10\t1\r\n", desde + "9 " + vb::Error(9).description()},
      {"Código\tPrecio\tPeriodo x\r\nPRE-001\t10\t1\r\n", desde + "13 " + vb::Error(13).description()},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.texto);
    testui::ScriptedMsgBoxes cajasCaso;
    cajasCaso.answer(ui::vbOK);
    copiado::pegaTexto(caso.texto, destino);
    EXPECT_EQ(cajasCaso.texts(), QStringList({caso.mensaje}));
  }
  // The last period of the bid is a column like the others.
  copiado::pegaTexto("Código\tPrecio\tPeriodo 6\r\nPRE-002\t11\t1\r\n", destino);
  EXPECT_EQ(precios("PRE-001"), QStringList({"10"}));
  EXPECT_EQ(precios("PRE-002"), QStringList({"11"}));
  EXPECT_EQ(precios("PRE-003"), QStringList({"92.5"}));
}

TEST_F(PegaPreciosTest, GridRefusingToLeaveItsRow) {
  cajas.answer(ui::vbOK);
  destino.error = 3426;
  copiado::pegaTexto("Código\tPrecio\r\nPRE-001\t10\r\n", destino);
  EXPECT_EQ(cajas.texts(),
            QStringList({"no se pueden pegar los datos, Puede ser porque en la linea actual el campo codigo esta en blanco"}));
  EXPECT_EQ(precios("PRE-001"), QStringList({"16.8"}));
}

TEST_F(PegaPreciosTest, BadPriceShowsItsRowAndThePasteGoesOn) {
  cajas.answer(ui::vbOK);
  copiado::pegaTexto("Código\tPrecio\r\nPRE-001\tabc\r\nPRE-002\t15\r\n", destino);
  EXPECT_EQ(cajas.texts(), QStringList({"pegaclipdetalle: 13 " + vb::Error(13).description() +
                                        ": el precio (abc) del código PRE-001 no es válido"}));
  EXPECT_EQ(precios("PRE-001"), QStringList({"16.8"}));
  EXPECT_EQ(precios("PRE-002"), QStringList({"15"}));
}

TEST_F(PegaPreciosTest, AReadOnlyBidSaysSoOnceAndTakesNoRow) {
  quarvel::dbObra = archivo();
  quarvel::rsDatosGenerales = quarvel::dbObra->OpenRecordset("SELECT * FROM DatosGenerales");
  cajas.answer(ui::vbOK);
  copiado::pegaTexto("Código\tPrecio\r\nPRE-001\t10\r\nPRE-002\t11\r\nPRE-003\t12", destino);
  EXPECT_EQ(cajas.texts(), QStringList({"pegaclipdetalle: 3027 No se puede actualizar. La base de datos o el objeto es "
                                        "de sólo lectura."}));
  EXPECT_FALSE(copiado::continuarPegado);
  EXPECT_EQ(precios("PRE-001"), QStringList({"16.8"}));
  EXPECT_EQ(precios("PRE-002"), QStringList({"14.9"}));
}

TEST_F(PegaPreciosTest, ScheduleWindowIsRefreshedAfterItsRows) {
  destino.forma = QStringLiteral("FrmPrograma");
  copiado::pegaTexto("Partida\tRenglón\tPeriodo 1\r\nA01001\t1\t5\r\n", destino);
  EXPECT_EQ(destino.refrescado, 1);
  destino.forma = QStringLiteral("FrmPre");
  copiado::pegaTexto("Código\tPrecio\r\nPRE-001\t10\r\n", destino);
  EXPECT_EQ(destino.refrescado, 1);
}

TEST_F(PegaPreciosTest, HeaderMapAndRowValues) {
  destino.forma = QStringLiteral("FrmPrograma");  // the row names no concept: it sets nothing
  copiado::pegaTexto("Renglón\tFin\tpartida\tComienzo\tPeriodo 3\tTotal\tcodigo\tPeriodo 1\r\n"
                     "1\t31/03/2025\t" + QString(45, u'P') + "\t \t7\t\t\t2",
                     destino);
  // The module data stay as the last row left them.
  using namespace copiado;
  EXPECT_EQ(mapaColumnas, (std::vector<int16_t>{0, 7, 0, 3, 1, 4, 2, 8, 0, 5, 0, 0, 0}));
  EXPECT_EQ(renglonPegado.size(), 9u);
  EXPECT_EQ(valorColumnaPegada(kRenglon, vb::Variant::null()), vb::Variant("1"));
  EXPECT_EQ(valorColumnaPegada(kPartida, vb::Variant::null()), vb::Variant(QString(40, u'P')));
  EXPECT_EQ(valorColumnaPegada(kPeriodo0 + 1, vb::Variant::null()), vb::Variant("2"));
  EXPECT_EQ(valorColumnaPegada(kPeriodo0 + 2, vb::Variant::null()), vb::Variant(QString()));  // no such column
  EXPECT_EQ(valorColumnaPegada(kComienzo, vb::Variant(5.0)), vb::Variant(5.0));             // a blank cell
  EXPECT_EQ(valorColumnaPegada(kCodigo, vb::Variant(5.0)), vb::Variant(5.0));               // an empty one
  EXPECT_EQ(errorOf([] { valorColumnaPegada(kPeriodo0 + 7, vb::Variant()); }), 9);
}

// ---- Numbers with commas

// What a cell's commas make of it: thousands ("16,800" is sixteen thousand eight hundred), a comma
// decimal ("14,90", and "0,500", whose first group "0" groups no thousands), or no number at all.
TEST(NumerosConComas, ThousandsCommaDecimalsOrNoNumber) {
  struct Caso {
    const char* texto;
    bool numero;       // esNumero: typed or pasted, it reads as a number
    bool comaDecimal;  // esComaDecimal: a comma used as the decimal point
  } casos[] = {
      {"16,800", true, false},     {"3,512.80", true, false},  {"$1,650.00", true, false},
      {"(1,000)", true, false},    {"-1,234,567.5", true, false}, {"999,999,999.99", true, false},
      {"16.8", true, false},       {"1650", true, false},      {"14,90", false, true},
      {"0,500", false, true},      {"0,000", false, true},     {"00,500", false, true},
      {"12,5", false, true},       {"$ 14,90", false, true},   {"-0,5", false, true},
      {"1.234,56", false, true},   {"12.345.678,9", false, true}, {"12,50.5", false, false},
      {"1,23.4", false, false},    {"1,234,56", false, false}, {"abc", false, false},
      {"0,500.5", false, false},   {",5", false, false},       {"", false, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto);
    const vb::Variant v{QString::fromUtf8(c.texto)};
    EXPECT_EQ(copiado::esNumero(v), c.numero);
    EXPECT_EQ(copiado::esComaDecimal(v), c.comaDecimal);
    // A pasted cell with commas that group no thousands is no number either.
    if (QString::fromUtf8(c.texto).contains(u',') && !c.numero) {
      EXPECT_EQ(errorOf([&] { copiado::numeroPegado(v); }), 13);
    }
  }
  EXPECT_FALSE(copiado::esComaDecimal(vb::Variant(14.9)));
}

// A block in which any number cell reads as a comma decimal is refused whole, before any row is
// applied and before the grid is touched, with one message naming the column, the cell and its row.
TEST_F(PegaPreciosTest, ACommaDecimalCellRefusesTheWholeBlock) {
  const QString coma = QStringLiteral("No se pegó ningún renglón: el valor \"%1\" de la columna %2 (%3) lleva coma "
                                      "decimal. En los números el punto decimal es \".\" y la coma separa los miles "
                                      "(1,234.50).");
  struct Caso {
    const char* forma;
    const char* bloque;
    QString mensaje;
  } casos[] = {
      {"FrmPre", "Código\tPrecio\r\nPRE-001\t16,800\r\nPRE-002\t14,90\r\nPRE-003\t0,500\r\n",
       coma.arg("14,90", "Precio", "código PRE-002")},
      {"FrmPre", "Precio\tCódigo\r\n20\tPRE-001\r\n 0,500 \tPRE-003", coma.arg(" 0,500 ", "Precio", "código PRE-003")},
      {"FrmPrograma", "Partida\tRenglón\tPeriodo 1\tPeriodo 2\r\nA01001\t1\t100\t1,000\r\nA01002\t5\t0\t1.432,5\r\n",
       coma.arg("1.432,5", "Periodo 2", "partida A01002 renglón 5")},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.bloque);
    destino.forma = QString::fromLatin1(c.forma);
    testui::ScriptedMsgBoxes cajasCaso;
    cajasCaso.answer(ui::vbOK);
    copiado::pegaTexto(QString::fromUtf8(c.bloque), destino);
    EXPECT_EQ(cajasCaso.texts(), QStringList({c.mensaje}));
    EXPECT_EQ(cajasCaso.shown().front().icon(), ui::vbInformation);
  }
  EXPECT_EQ(destino.preparado, 0);
  EXPECT_EQ(destino.refrescado, 0);
  EXPECT_EQ(QStringList({precios("PRE-001").join(u' '), precios("PRE-002").join(u' '), precios("PRE-003").join(u' ')}),
            QStringList({"16.8", "14.9", "92.5"}));
  EXPECT_EQ(volumenes("A01001", 1), QStringList({"1:420"}));
  EXPECT_EQ(volumenes("A01002", 5), QStringList({"1:1432.5", "2:1432.5"}));
}

// "16,800" among cells with "." decimals, or none, is sixteen thousand eight hundred.
TEST_F(PegaPreciosTest, ThreeDigitsAfterACommaAmongPointDecimalsAreThousands) {
  copiado::pegaTexto("Código\tPrecio\r\nPRE-001\t16,800\r\nPRE-002\t14.90\r\nPRE-003\t92\r\n", destino);
  EXPECT_TRUE(cajas.shown().empty());
  EXPECT_EQ(precios("PRE-001"), QStringList({"16800"}));
  EXPECT_EQ(precios("PRE-002"), QStringList({"14.9"}));
  EXPECT_EQ(precios("PRE-003"), QStringList({"92"}));
}

}  // namespace
}  // namespace entrytest
