// Module Calculos on a copy of the sample bid: the pre-print checks in their order, the recalculation of
// amounts with the bid's rounding, and the period columns of a grid.
#include "calculos.h"
#include "obra.h"
#include "quarvel.h"

#include "qt_print.h"

#include <QStringList>

namespace entrytest {
namespace {

using ui::vbExclamation;
using ui::vbInformation;

const QString kNoCerrada = QStringLiteral("La base de datos aun no esta cerrada");

QString mensajePrecio(const QString& codigo, const QString& precio) {
  return QStringLiteral("El código ") + codigo + QStringLiteral(" su precio  es igual a ") + precio +
         QStringLiteral(", para poder imprmir los reportes, debe cambiar la opción "
                        "(Permitir imprimir reportes de tornavo con precios en ceros)\r\n"
                        "que se encuentra en Parámetros-Concurso. ");
}

struct Mensaje {
  QString texto;
  ui::VbMsgBoxStyle icono;
};

struct CasoValida {
  const char* nombre;
  int16_t edicion;
  std::function<void(ObraTest&)> prepara;
  std::vector<Mensaje> mensajes;
  bool falla;
};

vb::Variant fecha(int anio, int mes, int dia) { return vb::Variant::fromDate(anio, mes, dia); }

// The sample bid passes every check; each case spoils it in one or two places.
const std::vector<CasoValida>& casosValida() {
  static const std::vector<CasoValida> casos = {
      {"completa", 2, [](ObraTest&) {}, {{kNoCerrada, vbInformation}}, false},
      {"cerrada", 2, [](ObraTest& o) { o.dato("BaseCerrada", true); }, {}, false},
      {"plicadora_sin_aviso_ni_empresa", 1,
       [](ObraTest& o) {
         o.dato("NombreEmpresa", " ");
         o.dato("responsable", vb::Variant::null());
         o.dato("cargo", " ");
       },
       {},
       false},
      {"sin_empresa", 2, [](ObraTest& o) { o.dato("NombreEmpresa", " "); },
       {{kNoCerrada, vbInformation}, {"Falta capturar el nombre de la empresa", vbExclamation}}, true},
      {"sin_responsable", 2, [](ObraTest& o) { o.dato("responsable", vb::Variant::null()); },
       {{kNoCerrada, vbInformation}, {"Falta capturar el nombre del responsable", vbExclamation}}, true},
      {"sin_cargo_cerrada", 2,
       [](ObraTest& o) {
         o.dato("cargo", "   ");
         o.dato("BaseCerrada", true);
       },
       {{"Falta capturar el cargo del responsable", vbExclamation}}, true},
      {"empresa_antes_que_fechas", 2,
       [](ObraTest& o) {
         o.dato("NombreEmpresa", vb::Variant::null());
         o.dato("FechaTope", vb::Variant::null());
       },
       {{kNoCerrada, vbInformation}, {"Falta capturar el nombre de la empresa", vbExclamation}}, true},
      {"sin_fecha_tope", 1, [](ObraTest& o) { o.dato("FechaTope", vb::Variant::null()); },
       {{"La fecha tope no ha sido capturada", vbExclamation}}, true},
      {"sin_fecha_final_ni_inicial", 1,
       [](ObraTest& o) {
         o.dato("FechaFinalProy", vb::Variant::null());
         o.dato("FechaInicioProy", vb::Variant::null());
       },
       {{"La fecha final no ha sido capturada", vbExclamation}}, true},
      {"sin_fecha_inicial", 1, [](ObraTest& o) { o.dato("FechaInicioProy", vb::Variant::null()); },
       {{"La fecha inicial no ha sido capturada", vbExclamation}}, true},
      {"final_despues_del_tope", 1, [](ObraTest& o) { o.dato("FechaFinalProy", fecha(2025, 9, 1)); },
       {{"La fecha de término es mayor a la fecha tope", vbExclamation}}, true},
      {"final_antes_del_inicio", 1, [](ObraTest& o) { o.dato("FechaInicioProy", fecha(2025, 8, 30)); },
       {{"La fecha de término es menor que la  fecha de inicio", vbExclamation}}, true},
      {"final_igual_al_inicio", 1, [](ObraTest& o) { o.dato("FechaInicioProy", fecha(2025, 8, 29)); },
       {{"La fecha de término es igual a la  fecha de inicio", vbExclamation}}, true},
      {"final_igual_al_tope_pasa", 1, [](ObraTest& o) { o.dato("FechaFinalProy", fecha(2025, 8, 31)); }, {}, false},
      // PRE-002 (section A01001) comes before ELE-008 (A01008) in the budget's order.
      {"primer_precio_no_positivo", 1,
       [](ObraTest& o) {
         o.sql("UPDATE Presupuesto SET Precio = 0 WHERE Codigo = 'ELE-008'");
         o.sql("UPDATE Presupuesto SET Precio = -12.5 WHERE Codigo = 'PRE-002'");
       },
       {{mensajePrecio("PRE-002", "-12.5"), vbExclamation}}, true},
      {"precio_cero", 2, [](ObraTest& o) { o.sql("UPDATE Presupuesto SET Precio = 0 WHERE Codigo = 'ELE-008'"); },
       {{kNoCerrada, vbInformation}, {mensajePrecio("ELE-008", "0"), vbExclamation}}, true},
      {"precio_cero_permitido", 1,
       [](ObraTest& o) {
         o.sql("UPDATE Presupuesto SET Precio = 0 WHERE Codigo = 'ELE-008'");
         o.dato("PermitePreciosCero", true);
       },
       {}, false},
      {"precio_cero_permitido_moneda_sin_remate", 1,
       [](ObraTest& o) {
         o.sql("UPDATE Presupuesto SET Precio = 0");
         o.dato("PermitePreciosCero", true);
         o.sql("UPDATE Monedas SET Remate = ' ' WHERE Moneda = 'DOLARES'");
       },
       {{"La moneda DOLARES no tiene remate", vbExclamation}}, true},
      {"moneda_sin_descripcion_antes_que_remate", 1,
       [](ObraTest& o) {
         o.sql("UPDATE Monedas SET Remate = Null WHERE Moneda = 'PESOS'");
         o.sql("UPDATE Monedas SET Texto = ' ' WHERE Moneda = 'DOLARES'");
       },
       {{"La moneda DOLARES no tiene descripción", vbExclamation}}, true},
      {"moneda_sin_remate", 1, [](ObraTest& o) { o.sql("UPDATE Monedas SET Remate = Null WHERE Moneda = 'PESOS'"); },
       {{"La moneda PESOS no tiene remate", vbExclamation}}, true},
  };
  return casos;
}

void PrintTo(const CasoValida& c, std::ostream* os) { *os << c.nombre; }

class ValidaImpresionTest : public ObraTest, public ::testing::WithParamInterface<CasoValida> {};

TEST_P(ValidaImpresionTest, ChecksInOrder) {
  const CasoValida& caso = GetParam();
  caso.prepara(*this);
  quarvel::edicion = caso.edicion;
  for (size_t i = 0; i < caso.mensajes.size(); ++i)
    cajas.answer(ui::vbOK);
  EXPECT_EQ(Calculos::ValidaImpresion(), caso.falla);
  ASSERT_EQ(cajas.shown().size(), caso.mensajes.size()) << cajas.texts().join(" | ").toStdString();
  for (size_t i = 0; i < caso.mensajes.size(); ++i) {
    EXPECT_EQ(cajas.shown()[i].prompt, caso.mensajes[i].texto);
    EXPECT_EQ(cajas.shown()[i].icon(), caso.mensajes[i].icono);
    EXPECT_EQ(cajas.shown()[i].buttonSet(), ui::vbOKOnly);
    EXPECT_EQ(cajas.shown()[i].title, ui::appTitle());
  }
}

INSTANTIATE_TEST_SUITE_P(Casos, ValidaImpresionTest, ::testing::ValuesIn(casosValida()),
                         [](const auto& info) { return std::string(info.param.nombre); });

// ---- CalculaImportes

class CalculaImportesTest : public ObraTest {
protected:
  // Rows whose amounts the test knows; every other amount is spoiled first.
  void prepara() {
    sql("UPDATE Presupuesto SET Importe = 0");
    sql("UPDATE Presupuesto SET Cantidad = 3, Precio = 0.125 WHERE Codigo = 'PRE-001'");
    sql("UPDATE Presupuesto SET Cantidad = 2.5, Precio = 1 WHERE Codigo = 'PRE-002'");
    sql("UPDATE Presupuesto SET Cantidad = 1, Precio = -0.125 WHERE Codigo = 'PRE-003'");
    sql("UPDATE Presupuesto SET Cantidad = 0.5, Precio = 2469.13 WHERE Codigo = 'PRE-004'");
  }
  // The amounts of a code's rows, each once.
  QStringList importes(const QString& codigo) {
    return columna("SELECT DISTINCT Importe FROM Presupuesto WHERE Codigo = '" + codigo + "'");
  }
};

TEST_F(CalculaImportesTest, TwoDecimals) {
  prepara();
  Calculos::CalculaImportes();
  EXPECT_EQ(importes("PRE-001"), QStringList({"0.38"}));  // 0.375, a half, goes up
  EXPECT_EQ(importes("PRE-002"), QStringList({"2.5"}));
  EXPECT_EQ(importes("PRE-003"), QStringList({"-0.12"}));  // a negative half goes toward zero
  EXPECT_EQ(importes("PRE-004"), QStringList({"1234.57"}));  // 1234.565
  // Every other row got its amount back: quantity times price, to two decimals.
  EXPECT_EQ(columna("SELECT Count(*) FROM Presupuesto WHERE Importe = 0"), QStringList({"0"}));
  EXPECT_EQ(columna("SELECT Importe FROM Presupuesto WHERE Partida = 'A01002' AND Codigo = 'CIM-001'"),
            QStringList({"27474"}));  // 96.40 x 285.00
  EXPECT_EQ(columna("SELECT Count(*) FROM Presupuesto WHERE Abs(Importe - Cantidad * Precio) > 0.00501"),
            QStringList({"0"}));
}

TEST_F(CalculaImportesTest, WholeUnits) {
  prepara();
  dato("Redondeo", int16_t{0});
  Calculos::CalculaImportes();
  EXPECT_EQ(importes("PRE-001"), QStringList({"0"}));
  EXPECT_EQ(importes("PRE-002"), QStringList({"3"}));  // 2.5 goes up
  EXPECT_EQ(importes("PRE-004"), QStringList({"1235"}));
  EXPECT_EQ(columna("SELECT Count(*) FROM Presupuesto WHERE Importe <> Int(Importe)"), QStringList({"0"}));
}

TEST_F(CalculaImportesTest, RowWithoutPriceStopsWithError94) {
  sql("UPDATE Presupuesto SET Precio = Null WHERE Codigo = 'PRE-001'");
  EXPECT_EQ(errorOf([] { Calculos::CalculaImportes(); }), 94);
}

// ---- Period columns

struct ColumnaFalsa {
  QString caption;
  bool visible = false;
  int width = 1440;
  int alignment = 3;
  void SetCaption(const QString& c) { caption = c; }
  void SetVisible(bool v) { visible = v; }
  void SetWidth(int w) { width = w; }
  void SetAlignment(int a) { alignment = a; }
};

struct ColumnasFalsas {
  std::vector<ColumnaFalsa> items;
  int Count() const { return int(items.size()); }
  ColumnaFalsa& Add(int index) { return *items.insert(items.begin() + index, ColumnaFalsa{}); }
  void Remove(int index) { items.erase(items.begin() + index); }
};

struct GridFalso {
  ColumnasFalsas columnas;
  ColumnasFalsas& Columns() { return columnas; }
};

TEST(ColumnasPeriodo, AddedAfterTheFixedOnesAndRemovedDownToThem) {
  GridFalso grid;
  for (int i = 0; i < 9; ++i)
    grid.columnas.items.push_back({QStringLiteral("Fija %1").arg(i), true});
  Calculos::AgregaColumnasPeriodo(grid, 3);
  ASSERT_EQ(grid.columnas.Count(), 12);
  EXPECT_EQ(grid.columnas.items[8].caption, "Fija 8");
  for (int i = 1; i <= 3; ++i) {
    const ColumnaFalsa& c = grid.columnas.items[size_t(8 + i)];
    EXPECT_EQ(c.caption, QStringLiteral("Periodo %1").arg(i));
    EXPECT_TRUE(c.visible);
    EXPECT_EQ(c.width, 1000);
    EXPECT_EQ(c.alignment, 1);  // right
  }
  Calculos::BorraColumnas(grid, 9);
  EXPECT_EQ(grid.columnas.Count(), 9);
  EXPECT_EQ(grid.columnas.items[8].caption, "Fija 8");
  Calculos::BorraColumnas(grid, 9);
  EXPECT_EQ(grid.columnas.Count(), 9);
  Calculos::AgregaColumnasPeriodo(grid, 0);
  EXPECT_EQ(grid.columnas.Count(), 9);
}

}  // namespace
}  // namespace entrytest
