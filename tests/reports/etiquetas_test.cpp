// Placeholders of title and foot rows and of the print header, period titles and amounts, and the
// cutting of long descriptions.
#include "dao.h"
#include "obraprueba.h"
#include "printing.h"
#include "quarvel.h"
#include "vbdate.h"

namespace {

using prueba::numero;
using prueba::texto;
using repgen::ContextoReporte;

class Etiquetas : public prueba::ObraPrueba {
protected:
  // Generates the kind with a writer that writes the titles and, when told, the closing foot.
  void titulos(int tipo, std::function<void(ContextoReporte&)> antes = nullptr, bool pie = false) {
    elige(tipo);
    rep_->setEscritor(tipo, [&](ContextoReporte& rep) {
      if (antes)
        antes(rep);
      rep.Reporte.setActiveCell(1, 1);
      rep.imprimeTitulos();
      if (pie)
        rep.revisaSaltoHoja(true);
    });
    ASSERT_TRUE(rep_->GeneraReporte());
  }
  // Fills `texto` as a cell of the scratch sheet and returns the cell.
  const wb::Cell* llena(const QString& contenido) {
    wb::Book& e = rep_->Evalua;
    e.clearRange(1, 1, 1, 1, wb::Book::ClearMode::All);
    e.setActiveCell(1, 1);
    e.setText(contenido);
    rep_->completaEtiquetasRenglon(e);
    return e.currentSheet().cell(1, 1);
  }
};

// The title rows of "Presupuesto" filled from the sample bid: general data inside text, a date
// alone written as a date, dates and numbers inside text as text, the total written as a number.
TEST_F(Etiquetas, TitleRowsGetTheGeneralDataOfTheBid) {
  titulos(repgen::kPresupuesto, [](ContextoReporte&) { repgen::calculaTotalLetra(); });
  const wb::Book& r = rep_->Reporte;
  struct Celda {
    int ren, col;
    const char* texto;
  };
  // Report row = template row - 1 (the marker row is not copied).
  const Celda textos[] = {
      {1, 2, "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V."},
      {2, 2, "R.F.C. CEB980512AB1     Registro C.M.I.C. 14-3387     Registro I.M.S.S. R12-34567-10-9     INFONAVIT 1438877"},
      {3, 2, "AV. DE LAS TORRES No. 1250, INTERIOR 4, Col. INDUSTRIAL LOS ÁNGELES, C.P. 45080, ZAPOPAN, JAL."},
      {8, 2, "LO-SMF-OP-014/2025"},
      {8, 6, "14/feb/2025"},
      {11, 2, "PROLONGACIÓN HIDALGO S/N, COL. EL MIRADOR, SAN MARTÍN DE LAS FLORES, JALISCO"},
      {12, 2, "Del 03/03/2025 al 29/08/2025, 180 días naturales"},
      {13, 2, "$10,561,618.87"},  // the budget in pesos, dollars at their parity
      {16, 1, "CLAVE"},
  };
  for (const Celda& c : textos)
    EXPECT_EQ(texto(r, c.ren, c.col), QString::fromUtf8(c.texto)) << c.ren << "," << c.col;
  EXPECT_DOUBLE_EQ(numero(r, 8, 6), vb::dateSerial(2025, 2, 14));
  EXPECT_DOUBLE_EQ(numero(r, 13, 2), 10561618.87);
  EXPECT_EQ(r.currentSheet().cell(12, 2)->type, wb::Cell::Type::Text);
  EXPECT_EQ(rep_->renFinTitulos, 16);
  EXPECT_EQ(rep_->numeroPagina, 1);
  // The logo, placed by the first title row.
  ASSERT_EQ(r.currentSheet().objects.size(), 1u);
  EXPECT_DOUBLE_EQ(r.currentSheet().objects[0].pos.y1, 1.0);
  EXPECT_DOUBLE_EQ(r.currentSheet().objects[0].pos.y2, 5.0);
}

TEST_F(Etiquetas, AFilledCellIsWrittenAsNumberDateOrText) {
  ASSERT_TRUE(rep_->cargaTotalesMoneda());  // DOLARES, PESOS
  rep_->totalesMoneda[0].pagina = vb::Currency::fromInt(15);
  rep_->totalesMoneda[1].acumulado = vb::Currency::fromInt(250);
  rep_->totalAcumulado = vb::Currency::fromScaled(12345);
  struct Caso {
    const char* contenido;
    wb::Cell::Type tipo;
    const char* texto;  // as shown
    double numero;
  };
  const Caso casos[] = {
      {"{plazo}", wb::Cell::Type::Number, "180", 180},
      {"{fecha inicio}", wb::Cell::Type::Number, "03/03/2025", vb::dateSerial(2025, 3, 3)},
      {"Obra: {nombre de la obra}", wb::Cell::Type::Text, "Obra: CONSTRUCCIÓN DE ESCUELA PRIMARIA DE NUEVE AULAS,", 0},
      {"{CIUDAD}, {no existe} y {estado de la obra", wb::Cell::Type::Text, "ZAPOPAN, JAL., {no existe} y {estado de la obra", 0},
      {"{cp}", wb::Cell::Type::Number, "45080", 45080},
      {"{Moneda01}", wb::Cell::Type::Text, "DOLARES", 0},
      {"{moneda2}", wb::Cell::Type::Text, "PESOS", 0},
      {"{Moneda03}", wb::Cell::Type::Text, "{Moneda03}", 0},
      {"{parcial01}", wb::Cell::Type::Number, "15", 15},
      {"{parcial01}", wb::Cell::Type::Number, "0", 0},
      {"{acumulado02}", wb::Cell::Type::Number, "250", 250},
      {"{parcial}", wb::Cell::Type::Number, "$1.2345", 1.2345},
      {"{parcial}", wb::Cell::Type::Number, "$0.00", 0},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.contenido);
    const wb::Cell* celda = llena(QString::fromUtf8(c.contenido));
    ASSERT_TRUE(celda);
    EXPECT_EQ(celda->type, c.tipo);
    EXPECT_EQ(texto(rep_->Evalua, 1, 1), QString::fromUtf8(c.texto));
    if (c.tipo == wb::Cell::Type::Number)
      EXPECT_DOUBLE_EQ(celda->number, c.numero);
  }
}

TEST_F(Etiquetas, PlazoCountsBothEnds) {
  ejecuta("UPDATE DatosGenerales SET FechaFinalProy = FechaInicioProy");
  llena("{plazo}");
  EXPECT_EQ(texto(rep_->Evalua, 1, 1), "1");
}

TEST_F(Etiquetas, GeneralPlaceholdersAreKnownByTheirTrimmedLowerCaseText) {
  using T = repgen::EtiquetaGeneral;
  struct Caso {
    const char* etiqueta;
    T::Tipo tipo;
    const char* campo;
  };
  const Caso casos[] = {
      {"{Razón Social}", T::Campo, "nombreEmpresa"}, {" {razon social} ", T::Campo, "nombreEmpresa"},
      {"{dependencia 3}", T::Campo, "nomdependencia3"}, {"{nombre de la obra 6}", T::Campo, "nombreobra6"},
      {"{FECHA TERMINACIÓN}", T::Campo, "fechafinalproy"}, {"{nombre 5}", T::Campo, "nombre5"},
      {"{plazo}", T::Calculo, ""}, {"{título}", T::Ninguna, ""}, {"{importe}", T::Ninguna, ""},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.etiqueta);
    const T e = repgen::campoEtiquetaGeneral(QString::fromUtf8(c.etiqueta));
    EXPECT_EQ(e.tipo, c.tipo);
    EXPECT_EQ(e.campo, QString::fromLatin1(c.campo));
  }
}

TEST_F(Etiquetas, LongDescriptionsAreCutIntoLines) {
  struct Caso {
    const char* texto;
    int ancho;
    const char* linea;
    const char* resto;
  };
  const QString largo(300, QLatin1Char('x'));
  const Caso casos[] = {
      {"abc defghijklmnopq", 10, "abc ", "defghijklmnopq"},
      {"abc\r\ndefgh ij", 10, "abc", "defgh ij"},
      {"abcdefghij\r\n  klm", 10, "abcdefghij", "klm"},        // the break right after the width
      {"abcdefghijk\r\nlm", 10, "abcdefghij", "k\r\nlm"},       // one further: cut at the width
      {"corto", 20, "corto", ""},
      {"abcdefghijklmno", 5, "abcde", "fghijklmno"},          // no blank: cut at the width
      {"abc   def", 6, "abc   ", "def"},
      {"", 10, "", ""},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto);
    QString t = QString::fromUtf8(c.texto);
    EXPECT_EQ(repgen::cortaTexto(t, c.ancho), QString::fromUtf8(c.linea));
    EXPECT_EQ(t, QString::fromUtf8(c.resto));
  }
  QString t = largo;
  EXPECT_EQ(repgen::cortaTexto(t, 3), largo.left(255));  // below 5: one line of at most 255
  EXPECT_TRUE(t.isEmpty());
}

TEST_F(Etiquetas, FindReportsTheFirstCellHoldingTheText) {
  elige(repgen::kPresupuesto);
  wb::Book& f = rep_->Formato;
  f.read(rep_->libro);
  f.setActiveCell(3, 4);
  const auto hit = rep_->buscaEtiqueta(f, QStringLiteral("{IMPORTE}"));
  ASSERT_TRUE(hit);
  EXPECT_EQ(rep_->renEtiqueta, 19);  // not "{importe total}" of row 14
  EXPECT_EQ(rep_->colEtiqueta, 7);
  EXPECT_EQ(f.row(), 3);
  EXPECT_EQ(f.col(), 4);
  rep_->buscaEtiqueta(f, QStringLiteral("Moneda01"));
  EXPECT_EQ(rep_->renEtiqueta, 28);
  EXPECT_FALSE(rep_->buscaEtiqueta(f, QStringLiteral("{no existe}")));
  EXPECT_EQ(rep_->renEtiqueta, 0);
  EXPECT_EQ(rep_->colEtiqueta, 0);
}

struct Periodos {
  const char* inicio;  // yyyy-mm-dd
  int periodos;
  int periodicidad;
  bool porEjercicio;
  int ejercicio;
  std::vector<const char*> titulos;  // from the "{titulo periodo}" column on
  std::vector<std::pair<int, const char*>> anios;  // offset from that column, year caption
};

// "Montos mensuales": one title per period with the look and width of the template's title cell,
// "Total" after each year's last period and after the last, the year above the first period of each
// year. Months by name; fortnights, weeks and days by their first day, the first one the project's
// start; a period belongs to the year of its first day.
TEST_F(Etiquetas, PeriodTitlesFillTheirRow) {
  const Periodos casos[] = {
      {"2025-03-03", 6, 1, false, 0, {"Mar 2025", "Abr 2025", "May 2025", "Jun 2025", "Jul 2025", "Ago 2025", "Total"},
       {{0, "2025"}}},
      {"2024-11-04", 6, 1, false, 0, {"Nov 2024", "Dic 2024", "Total", "Ene 2025", "Feb 2025", "Mar 2025", "Abr 2025", "Total"},
       {{0, "2024"}, {3, "2025"}}},
      {"2024-11-04", 6, 1, true, 2025, {"Ene 2025", "Feb 2025", "Mar 2025", "Abr 2025", "Total"}, {{0, "2025"}}},
      {"2025-03-05", 4, 3, false, 0, {"05/03", "10/03", "17/03", "24/03", "Total"}, {{0, "2025"}}},
      {"2024-12-10", 3, 2, false, 0, {"10/12", "16/12", "Total", "01/01", "Total"}, {{0, "2024"}, {3, "2025"}}},
      {"2024-12-24", 3, 3, false, 0, {"24/12", "30/12", "Total", "06/01", "Total"}, {{0, "2024"}, {3, "2025"}}},
      {"2024-12-30", 4, 4, true, 2025, {"01/01", "02/01", "Total"}, {{0, "2025"}}},
  };
  for (const Periodos& c : casos) {
    SCOPED_TRACE(c.inicio);
    ejecuta(QStringLiteral("UPDATE DatosGenerales SET FechaInicioProy = #%1#, Periodos = %2, Periodicidad = %3")
                .arg(QString::fromLatin1(c.inicio))
                .arg(c.periodos)
                .arg(c.periodicidad));
    titulos(repgen::kMontosMensuales, [&](ContextoReporte& rep) {
      rep.ImprimePorEjercicio = c.porEjercicio;
      rep.EjercicioActual = int16_t(c.ejercicio);
    });
    const wb::Book& r = rep_->Reporte;
    const int ren = 14 - 1, col = 4;  // "{titulo periodo}" is D14
    const int ancho = rep_->Formato.colWidth(4);
    for (size_t i = 0; i < c.titulos.size(); ++i) {
      EXPECT_EQ(texto(r, ren, col + int(i)), QString::fromUtf8(c.titulos[i])) << i;
      EXPECT_EQ(r.colWidth(col + int(i)), ancho);
    }
    EXPECT_TRUE(texto(r, ren, col + int(c.titulos.size())).isEmpty());
    EXPECT_EQ(rep_->ultimaColumnaReporte, col + int(c.titulos.size()) - 1);
    for (int i = 0; i < int(c.titulos.size()); ++i) {
      const auto it = std::find_if(c.anios.begin(), c.anios.end(), [&](const auto& a) { return a.first == i; });
      EXPECT_EQ(texto(r, ren - 1, col + i), it == c.anios.end() ? QString() : QString::fromLatin1(it->second)) << i;
    }
  }
}

// "{parciales}" of the page foot: the period amounts, the year's subtotal, the total of the
// periods in the block's total column, each in the look the template's expansion gave its column
// (the total in the look of its column's cell of the foot); then they start again for the next page.
TEST_F(Etiquetas, PeriodAmountsOfTheFoot) {
  titulos(
      repgen::kMontosMensuales,
      [](ContextoReporte& rep) {
        rep.totalesPeriodo = {{}, vb::Currency::fromInt(1), vb::Currency::fromInt(2), vb::Currency::fromInt(3),
                              vb::Currency::fromInt(4), vb::Currency::fromInt(5), vb::Currency::fromScaled(65000)};
        rep.totalPeriodos = vb::Currency::fromScaled(215000);
        rep.columnaTotalPeriodos = 3;
      },
      true);
  guarda("montos");
  const wb::Book& r = rep_->Reporte;
  // The foot follows the titles and a filler row; its first row holds "{parciales}" in D.
  const int ren = rep_->renFinTitulos + 2;
  ASSERT_EQ(texto(r, ren, 2), "IMPORTE DE ESTA HOJA");
  const char* esperados[] = {"1.00", "2.00", "3.00", "4.00", "5.00", "6.50", "21.50"};
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(texto(r, ren, 4 + i), esperados[i]) << i;
  EXPECT_TRUE(texto(r, ren, 11).isEmpty());
  EXPECT_EQ(texto(r, ren, 3), "21.50");
  // Page amounts: the next page starts from nothing.
  EXPECT_EQ(rep_->totalPeriodos, vb::Currency());
  for (size_t p = 1; p < rep_->totalesPeriodo.size(); ++p)
    EXPECT_EQ(rep_->totalesPeriodo[p], vb::Currency()) << p;
  // Nothing formatted beyond the last amount: one page, not a second one across.
  EXPECT_EQ(r.lastCol(), 10);
  EXPECT_EQ(wb::SheetPrintLayout(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter)).pageCount(), 1);
}

}  // namespace
