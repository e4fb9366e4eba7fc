// A cell edit in the grid windows of the program, as the user types it: after a refusal the open editor
// has the keyboard again, and an edit still open when its window or the program closes is checked and
// kept as Enter would keep it.
#include "boundgrid.h"
#include "dao.h"
#include "forms.h"
#include "frmmone.h"
#include "frmpre.h"
#include "frmprograma.h"
#include "mditoolbar.h"
#include "arranque.h"
#include "msgbox.h"
#include "quarvel.h"

#include "cajas_reales.h"
#include "clic_sostenido.h"
#include "qt_print.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTest>
#include <QTimer>

namespace entrytest {
namespace {

using testsupport::CajasAceptadas;

struct Rechazo {
  const char* herramienta;  // the tool that shows the window
  const char* columna;      // field or caption
  const char* texto;
  QString mensaje;
  bool cerrada;
  const char* moneda = "DOLARES";  // the currencies' row, when the window is theirs
};

class EdicionTest : public ProgramaTest {
protected:
  // The bid locked or not as the case says, the case's window shown and its cell of A01001/1 made
  // current; the grid, and in col the cell's column.
  ui::BoundGrid* muestraCelda(const Rechazo& c, int& col) {
    quarvel::dbObra->Execute(QStringLiteral("UPDATE DatosGenerales SET BaseCerrada = %1").arg(c.cerrada ? -1 : 0));
    quarvel::rsDatosGenerales->Requery();
    ui::BoundGrid* grid = muestraRejilla(QString::fromLatin1(c.herramienta));
    col = grid ? grid->Columns().IndexOf(QString::fromUtf8(c.columna)) : -1;
    if (col >= 0 && grid->Columns().IndexOf(QStringLiteral("Partida")) >= 0)
      ve(grid, "A01001", 1, col);
    else if (col >= 0)  // the currencies
      for (int r = 0; r < grid->recordsetModel()->recordCount(); ++r)
        if (grid->cellText(r, FrmMone::cMoneda) == QString::fromLatin1(c.moneda))
          grid->setCurrentIndex(grid->recordsetModel()->index(r, col));
    return col >= 0 ? grid : nullptr;
  }
  // A currency the budget does not use, EUROS, besides its DOLARES and PESOS.
  void agregaEuros() {
    quarvel::dbObra->Execute(
        QStringLiteral("INSERT INTO Monedas (Moneda, Texto, Remate, Paridad) VALUES ('EUROS', 'Euros', 'EUR', 20.5)"));
    quarvel::rsMonedas->Requery();
    quarvel::rsMonedasClon = quarvel::rsMonedas->Clone();
  }
};

// What a cell that takes a number says of a typed value that is none.
QString pideNumero(const char* celda, const char* condicion = "") {
  return QString::fromUtf8(celda) + QStringLiteral(" debe ser un número") + QString::fromUtf8(condicion) +
         QStringLiteral(", con punto decimal \".\" (por ejemplo 1,234.50)");
}
const QString kPrecioMalo = pideNumero("El precio");
const QString kVolumenMalo = pideNumero("El volumen", " mayor o igual a 0");
const QString kParidadMala = pideNumero("La paridad", " distinto de 0");

// A refused value explained by a message (posted after the edit, or shown inside it): once the box is
// closed the open editor has the keyboard again, and Escape gives the cell back its old value.
TEST_F(EdicionTest, AfterARefusalItsMessageGivesTheKeyboardBackToTheEditor) {
  const Rechazo casos[] = {
      {"Programa", "FechaIni", "01/01/2000", "La fecha inicial debe ser mayor a la fecha de inicio del proyecto", false},
      {"Programa", "Periodo 1", "99999", "La suma de periodos es mayor que el volumen presupuestado", false},
      {"Programa", "FechaFin", "30/04/2025", "La base de datos esta cerrada no se puede modificar", true},
      {"PU", "Precio", "20", "La base de datos esta cerrada no se puede modificar", true},
      {"PU", "Moneda", "YENES", "La moneda no existe", false},
      {"PU", "Precio", "15,5", kPrecioMalo, false},
      {"Programa", "Periodo 1", "abc", kVolumenMalo, false},
      {"Monedas", "Paridad", "17,25", kParidadMala, false},
      {"Monedas", "Moneda", "PESOS", "La moneda que quiere adicionar, ya existe previamente", false, "EUROS"},
  };
  agregaEuros();
  const QString fechas = QStringLiteral("SELECT FechaIni & ' ' & FechaFin FROM Presupuesto WHERE Partida = 'A01001'");
  const QStringList antes = consulta(fechas);
  for (const Rechazo& c : casos) {
    SCOPED_TRACE(c.columna);
    int col = -1;
    ui::BoundGrid* grid = muestraCelda(c, col);
    ASSERT_NE(grid, nullptr);
    const QString celda = grid->cellText(grid->currentIndex().row(), col);

    CajasAceptadas cajasReales;
    QLineEdit* editor = escribe(grid, col, QString::fromUtf8(c.texto));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    espera();
    EXPECT_EQ(cajasReales.textos, QStringList({c.mensaje}));
    ASSERT_EQ(conTeclado(), editor);
    EXPECT_EQ(editor->text(), QString::fromUtf8(c.texto));
    QTest::keyClick(editor, Qt::Key_Escape);
    espera();
    EXPECT_FALSE(grid->EditActive());
    EXPECT_EQ(grid->cellText(grid->currentIndex().row(), col), celda);
  }
  EXPECT_EQ(consulta(fechas), antes);
  EXPECT_EQ(consulta("SELECT DISTINCT Moneda FROM Presupuesto WHERE Codigo = 'PRE-001'"), QStringList({"PESOS"}));
  EXPECT_EQ(consulta("SELECT Moneda & ' ' & Paridad FROM Monedas ORDER BY Moneda"),
            QStringList({"DOLARES 17.25", "EUROS 20.5", "PESOS 1"}));
}

// Typing after the message corrects the refused value in the same editor.
TEST_F(EdicionTest, TypingAfterTheMessageCorrectsTheRefusedValue) {
  ASSERT_TRUE(clic(QStringLiteral("Programa")));
  espera();
  ui::BoundGrid* grid = ui::Forms::instance().find<FrmPrograma>()->Grid1();
  const int comienzo = grid->Columns().IndexOf(QStringLiteral("FechaIni"));
  ve(grid, "A01001", 1, comienzo);
  CajasAceptadas cajasReales;
  QLineEdit* editor = escribe(grid, comienzo, "01/01/2000");
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_Return);
  espera();
  ASSERT_EQ(conTeclado(), editor);
  QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(editor, "10/03/2025");
  QTest::keyClick(editor, Qt::Key_Return);
  espera();
  EXPECT_FALSE(grid->EditActive());
  EXPECT_EQ(grid->cellText(grid->currentIndex().row(), comienzo), "10/03/2025");
  EXPECT_EQ(cajasReales.textos.size(), 1);
  EXPECT_EQ(consulta("SELECT Format(FechaIni, 'dd/mm/yyyy') FROM Presupuesto WHERE Partida = 'A01001' AND Renglon = 1"),
            QStringList({"10/03/2025"}));
}

// A typed number reads its commas as a pasted one does: thousands separators or no number, so "12,5"
// from a keyboard or habit of comma decimals is refused as text is, never stored as 125.
TEST_F(EdicionTest, ATypedNumberWhoseCommasAreNoThousandsSeparatorsIsRefused) {
  struct Caso {
    const char* herramienta;
    const char* columna;
    const char* texto;
    bool aceptado;  // else refused, the editor open, with one message of what the cell takes
    const char* consulta;
    const char* guardado;
  } casos[] = {
      {"PU", "Precio", "12,5", false, "SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = 'PRE-001'", "16.8"},
      {"PU", "Precio", "1,23", false, "SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = 'PRE-001'", "16.8"},
      {"PU", "Precio", "12,50.5", false, "SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = 'PRE-001'", "16.8"},
      {"PU", "Precio", "3,512.80", true, "SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = 'PRE-001'", "3512.8"},
      {"PU", "Precio", "$1,650.00", true, "SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = 'PRE-001'", "1650"},
      {"Programa", "Periodo 1", "12,5", false,
       "SELECT Volumen FROM Programa WHERE Partida = 'A01001' AND Renglon = 1 AND Periodo = 1", "420"},
      {"Programa", "Periodo 1", "4,2", false,
       "SELECT Volumen FROM Programa WHERE Partida = 'A01001' AND Renglon = 1 AND Periodo = 1", "420"},
      {"Programa", "Periodo 1", "400", true,
       "SELECT Volumen FROM Programa WHERE Partida = 'A01001' AND Renglon = 1 AND Periodo = 1", "400"},
      {"Monedas", "Paridad", "17,25", false, "SELECT Paridad FROM Monedas WHERE Moneda = 'DOLARES'", "17.25"},
      {"Monedas", "Paridad", "1,017.5", true, "SELECT Paridad FROM Monedas WHERE Moneda = 'DOLARES'", "1017.5"},
      {"Monedas", "Paridad", "0,500", false, "SELECT Paridad FROM Monedas WHERE Moneda = 'DOLARES'", "1017.5"},
      {"PU", "Precio", "0,500", false, "SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = 'PRE-001'", "1650"},
  };
  const auto mensaje = [&](const char* columna) {
    const QString c = QString::fromUtf8(columna);
    return c == u"Precio" ? kPrecioMalo : c == u"Paridad" ? kParidadMala : kVolumenMalo;
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(std::string(c.columna) + " " + c.texto);
    ui::BoundGrid* grid = muestraRejilla(QString::fromLatin1(c.herramienta));
    ASSERT_NE(grid, nullptr);
    const int col = grid->Columns().IndexOf(QString::fromUtf8(c.columna));
    ASSERT_GE(col, 0);
    grid->setCurrentIndex(grid->recordsetModel()->index(0, col));
    testui::ScriptedMsgBoxes cajasCaso;
    if (!c.aceptado)
      cajasCaso.answer(ui::vbOK);
    EXPECT_EQ(teclea(grid, col, QString::fromUtf8(c.texto)), c.aceptado);
    if (!c.aceptado) {
      EXPECT_EQ(cajasCaso.texts(), QStringList({mensaje(c.columna)}));
      ASSERT_NE(conTeclado(), nullptr);
      EXPECT_EQ(conTeclado()->text(), QString::fromUtf8(c.texto));
      QTest::keyClick(conTeclado(), Qt::Key_Escape);
      espera();
      EXPECT_FALSE(grid->EditActive());
    } else {
      EXPECT_TRUE(cajasCaso.shown().empty());
    }
    EXPECT_EQ(consulta(QString::fromUtf8(c.consulta)).join(u' '), QString::fromUtf8(c.guardado));
  }
}

// The centre of the close box of a window of the MDI area, in the window's coordinates.
QPoint puntoDeCierre(QMdiSubWindow* marco) {
  QStyleOptionTitleBar barra;
  barra.initFrom(marco);
  barra.subControls = QStyle::SC_All;
  barra.titleBarFlags = marco->windowFlags();
  barra.titleBarState = int(marco->windowState());
  // The title bar as the frame draws it: inside its border, when the style gives it one.
  const int borde = marco->style()->styleHint(QStyle::SH_TitleBar_NoBorder, &barra, marco) ? 0 : 4;
  barra.rect = QRect(borde, borde, marco->width() - 2 * borde,
                     marco->style()->pixelMetric(QStyle::PM_TitleBarHeight, &barra, marco) - borde);
  return marco->style()->subControlRect(QStyle::CC_TitleBar, &barra, QStyle::SC_TitleBarCloseButton, marco).center();
}

// Clicks the close box of a window of the MDI area as the user does: the pointer comes over it, then
// presses and releases there.
void clicEnCierre(QMdiSubWindow* marco) {
  const QPoint cierre = puntoDeCierre(marco);
  // The pointer comes over the close box, then clicks it.
  QMouseEvent encima(QEvent::MouseMove, QPointF(cierre), QPointF(marco->mapToGlobal(cierre)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(marco, &encima);
  QTest::mouseClick(marco, Qt::LeftButton, Qt::NoModifier, cierre);
}

// The window's close box clicked with a refused value in the open editor: the click takes the focus
// from the editor and the close checks the edit again; the user is told once.
TEST_F(EdicionTest, ClosingTheWindowByItsCloseBoxExplainsARefusedValueOnce) {
  const Rechazo casos[] = {
      {"Programa", "Periodo 1", "99999", "La suma de periodos es mayor que el volumen presupuestado", false},
      {"PU", "Precio", "20", "La base de datos esta cerrada no se puede modificar", true},
      {"PU", "Moneda", "YENES", "La moneda no existe", false},
      {"PU", "Precio", "15,5", kPrecioMalo, false},
      {"Programa", "Periodo 1", "-3", kVolumenMalo, false},
      {"Monedas", "Moneda", "USD", "La moneda DOLARES no puede ser modificada por que se utiliza en el presupuesto",
       false},
      {"Monedas", "Moneda", "PESOS", "La moneda que quiere adicionar, ya existe previamente", false, "EUROS"},
      {"Monedas", "Paridad", "abc", kParidadMala, false, "EUROS"},
  };
  agregaEuros();
  for (const Rechazo& c : casos) {
    SCOPED_TRACE(std::string(c.herramienta) + " " + c.columna + " " + c.texto);
    int col = -1;
    ui::BoundGrid* grid = muestraCelda(c, col);
    ASSERT_NE(grid, nullptr);
    QWidget* forma = ui::Forms::instance().activeChild();
    ASSERT_NE(escribe(grid, col, QString::fromUtf8(c.texto)), nullptr);

    CajasAceptadas cajasReales;
    QMdiSubWindow* marco = ui::Forms::subWindowOf(forma);
    ASSERT_NE(marco, nullptr);
    clicEnCierre(marco);
    espera();
    EXPECT_FALSE(ui::Forms::instance().isLoaded(forma));
    EXPECT_EQ(cajasReales.textos, QStringList({c.mensaje}));
  }
  EXPECT_EQ(consulta("SELECT Volumen FROM Programa WHERE Partida = 'A01001' AND Renglon = 1 AND Periodo = 1"),
            QStringList({"420"}));
  EXPECT_EQ(consulta("SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = 'PRE-001'"), QStringList({"16.8"}));
  EXPECT_EQ(consulta("SELECT DISTINCT Moneda FROM Presupuesto WHERE Codigo = 'PRE-001'"), QStringList({"PESOS"}));
  EXPECT_EQ(consulta("SELECT Moneda & ' ' & Paridad FROM Monedas ORDER BY Moneda"),
            QStringList({"DOLARES 17.25", "EUROS 20.5", "PESOS 1"}));
}

// The close box clicked by a hand: the button goes down, the program runs while it is held (the focus
// leaves the editor, whose value is checked), and it comes up a moment later. A message opened before
// the release would take it, and the window would stay open with the refused text; so the window
// closes, and the refusal is told once, whether or not Enter refused the value first.
TEST_F(EdicionTest, AClickOnTheCloseBoxHeldForAMomentClosesTheWindowAfterARefusal) {
  const struct {
    Rechazo rechazo;
    bool conEnter;  // Enter pressed first, its message read and closed
  } casos[] = {
      {{"PU", "Precio", "15,5", kPrecioMalo, false}, false},
      {{"PU", "Precio", "15,5", kPrecioMalo, false}, true},
      {{"PU", "Moneda", "YENES", "La moneda no existe", false}, true},
      {{"Programa", "Periodo 1", "abc", kVolumenMalo, false}, false},
      {{"Programa", "Periodo 1", "99999", "La suma de periodos es mayor que el volumen presupuestado", false}, true},
      {{"Monedas", "Moneda", "EUROS", "La moneda DOLARES no puede ser modificada por que se utiliza en el presupuesto",
        false, "DOLARES"},
       true},
      {{"Monedas", "Moneda", "USD", "La moneda DOLARES no puede ser modificada por que se utiliza en el presupuesto",
        false},
       false},
      {{"Monedas", "Paridad", "abc", kParidadMala, false}, true},
  };
  for (const auto& caso : casos) {
    const Rechazo& c = caso.rechazo;
    SCOPED_TRACE(std::string(c.herramienta) + " " + c.columna + " " + c.texto + (caso.conEnter ? " Enter" : ""));
    int col = -1;
    ui::BoundGrid* grid = muestraCelda(c, col);
    ASSERT_NE(grid, nullptr);
    QWidget* forma = ui::Forms::instance().activeChild();
    QLineEdit* editor = escribe(grid, col, QString::fromUtf8(c.texto));
    ASSERT_NE(editor, nullptr);
    if (caso.conEnter) {
      CajasAceptadas primera;
      QTest::keyClick(editor, Qt::Key_Return);
      espera();
      ASSERT_EQ(primera.textos, QStringList({c.mensaje}));
      ASSERT_EQ(conTeclado(), editor);
    }

    QMdiSubWindow* marco = ui::Forms::subWindowOf(forma);
    ASSERT_NE(marco, nullptr);
    // The close box inside the main window, as on a screen.
    marco->window()->resize(marco->window()->size().expandedTo(QSize(1400, 1000)));
    if (!(marco->windowState() & Qt::WindowMaximized))
      marco->move(0, 0);
    espera();
    CajasAceptadas cajas;
    testsupport::clicSostenido(marco, puntoDeCierre(marco), cajas);
    EXPECT_FALSE(ui::Forms::instance().isLoaded(forma));
    EXPECT_EQ(cajas.textos, QStringList({c.mensaje}));
    if (ui::Forms::instance().isLoaded(forma))
      ui::Forms::instance().unload(forma);
  }
  EXPECT_EQ(consulta("SELECT Volumen FROM Programa WHERE Partida = 'A01001' AND Renglon = 1 AND Periodo = 1"),
            QStringList({"420"}));
  EXPECT_EQ(consulta("SELECT DISTINCT Precio & ' ' & Moneda FROM Presupuesto WHERE Codigo = 'PRE-001'"),
            QStringList({"16.8 PESOS"}));
  EXPECT_EQ(consulta("SELECT Moneda & ' ' & Paridad FROM Monedas ORDER BY Moneda"),
            QStringList({"DOLARES 17.25", "PESOS 1"}));
}

// An edit left open (typed, no Enter) when its window or the program closes.
enum class Cierre { Ventana, Marco, Obra, Salir };

struct Pendiente {
  const char* nombre;
  const char* herramienta;  // the tool that shows the window
  const char* columna;      // field or caption
  int fila;                 // the grid's row
  const char* texto;
  Cierre cierre;
  const char* mensaje;      // shown at the close ("" none)
  const char* consulta;     // what the file holds afterwards
  const char* guardado;
};

void PrintTo(const Pendiente& p, std::ostream* os) { *os << p.nombre; }

class EdicionAbierta : public EdicionTest, public ::testing::WithParamInterface<Pendiente> {};

TEST_P(EdicionAbierta, IsCheckedAsEnterWouldWhenTheWindowCloses) {
  const Pendiente c = GetParam();
  ui::BoundGrid* grid = muestraRejilla(QString::fromLatin1(c.herramienta));
  ASSERT_NE(grid, nullptr);
  QWidget* forma = ui::Forms::instance().activeChild();
  const int col = grid->Columns().IndexOf(QString::fromUtf8(c.columna));
  ASSERT_GE(col, 0);
  grid->setCurrentIndex(grid->recordsetModel()->index(c.fila, col));
  ASSERT_NE(escribe(grid, col, QString::fromUtf8(c.texto)), nullptr);
  if (*c.mensaje)
    cajas.answer(ui::vbOK);

  switch (c.cierre) {
  case Cierre::Ventana:
    ASSERT_TRUE(clic(QStringLiteral("miventanacerrar")));
    break;
  case Cierre::Marco:
    ui::Forms::subWindowOf(forma)->close();
    break;
  case Cierre::Obra:
    ASSERT_TRUE(clic(QStringLiteral("mnuCer")));
    break;
  case Cierre::Salir:
    ASSERT_TRUE(clic(QStringLiteral("miarchivosalir")));
    break;
  }
  espera();
  EXPECT_FALSE(ui::Forms::instance().isLoaded(forma));
  EXPECT_EQ(cajas.texts(), *c.mensaje ? QStringList({QString::fromUtf8(c.mensaje)}) : QStringList());
  if (c.cierre == Cierre::Salir)
    EXPECT_EQ(MDIToolbar::instancia(), nullptr);
  else if (c.cierre != Cierre::Obra)
    ASSERT_TRUE(clic(QStringLiteral("mnuCer")));
  ASSERT_FALSE(quarvel::obraAbierta);

  auto db = dao::DBEngine::OpenDatabase(obra, false, true, quarvel::kConexion);
  QStringList valores;
  for (auto rs = db->OpenRecordset(QString::fromUtf8(c.consulta), dao::RecordsetType::Snapshot); !rs->EOF_(); rs->MoveNext())
    valores << vb::CStr(rs->Fields(0).Value());
  EXPECT_EQ(valores.join(u' '), QString::fromUtf8(c.guardado));
}

const char* const kPrecio = "SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = 'PRE-001'";
const char* const kFechas = "SELECT Format(FechaIni, 'dd/mm/yyyy') & '-' & Format(FechaFin, 'dd/mm/yyyy') FROM "
                            "Presupuesto WHERE Partida = 'A01001' AND Renglon = 1";
const char* const kVolumen = "SELECT Volumen FROM Programa WHERE Partida = 'A01001' AND Renglon = 1 AND Periodo = 1";

INSTANTIATE_TEST_SUITE_P(
    Ventanas, EdicionAbierta,
    ::testing::Values(
        Pendiente{"PrecioAlCerrarLaVentana", "PU", "Precio", 0, "15.55", Cierre::Ventana, "", kPrecio, "15.55"},
        Pendiente{"PrecioAlSalir", "PU", "Precio", 0, "15.55", Cierre::Salir, "", kPrecio, "15.55"},
        Pendiente{"PrecioAlCerrarLaObra", "PU", "Precio", 0, "15.555", Cierre::Obra, "", kPrecio, "15.56"},
        Pendiente{"PrecioQueNoEsNumero", "PU", "Precio", 0, "abc", Cierre::Salir,
                  "El precio debe ser un número, con punto decimal \".\" (por ejemplo 1,234.50)", kPrecio, "16.8"},
        Pendiente{"RemateAlCerrarElMarco", "Monedas", "Remate", 0, "U.S.D.", Cierre::Marco, "",
                  "SELECT Remate FROM Monedas WHERE Moneda = 'DOLARES'", "U.S.D."},
        Pendiente{"MonedaEnUsoAlSalir", "Monedas", "Moneda", 0, "USD", Cierre::Salir,
                  "La moneda DOLARES no puede ser modificada por que se utiliza en el presupuesto",
                  "SELECT Moneda FROM Monedas ORDER BY Moneda", "DOLARES PESOS"},
        Pendiente{"FinAlSalir", "Programa", "FechaFin", 0, "15/04/2025", Cierre::Salir, "", kFechas,
                  "03/03/2025-15/04/2025"},
        Pendiente{"VolumenAlCerrarLaVentana", "Programa", "Periodo 1", 0, "400", Cierre::Ventana, "", kVolumen, "400"},
        Pendiente{"ComienzoRechazadoAlSalir", "Programa", "FechaIni", 0, "01/01/2000", Cierre::Salir,
                  "La fecha inicial debe ser mayor a la fecha de inicio del proyecto", kFechas,
                  "03/03/2025-31/03/2025"},
        Pendiente{"VolumenRechazadoAlCerrarElMarco", "Programa", "Periodo 1", 0, "99999", Cierre::Marco,
                  "La suma de periodos es mayor que el volumen presupuestado", kVolumen, "420"}),
    [](const auto& info) { return std::string(info.param.nombre); });

}  // namespace
}  // namespace entrytest
