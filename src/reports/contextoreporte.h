#pragma once
// The report engine: the state of the one report being generated and the procedures that build it.
//
// A report is built by copying rows of a template sheet (`Formato`) into a report sheet (`Reporte`):
// the template's title section opens every page, its detail section is copied once per concept by the
// writer of the report kind, and its page-foot section closes every page with the page and carried
// totals. Pages are made by the program: every row written is measured and counted against the page
// height, and a full page is closed with its foot and the next one opened with its titles.
//
// The report window owns one ContextoReporte; the five writers receive it and find here, under the
// names the report modules always gave them, everything they use: the window's option variables
// (`LongitudConcepto`, `ImprimirIva`, ...), the engine's data (`renDetalleIni`, `altoUsado`,
// `soloMuestra`, `totalesMoneda`, ...) and procedures (`imprimeTitulos`, `repEscribeTexto`,
// `imprimePieyTitulos`, `revisaSaltoHoja`, `buscaEtiqueta`, `cortaTexto`, ...). The bid itself is read
// through the shared recordsets of quarvel, as everywhere else. Nothing of a report outlives the window.
//
// A writer, in outline:
//   void reporteX(ContextoReporte& rep) {
//     rep.Reporte.setActiveCell(1, 1);
//     rep.imprimeTitulos();
//     for (each concept) {
//       rep.imprimePieyTitulos(false, true, rep.renglonesDetalle(), true);
//       rep.escribeDetalle([&](wb::Book& celda) { /* fill its key */ });
//       rep.importeRenglon = ...; rep.monedaRenglon = ...;     // what a page break moves with the row
//       rep.imprimePieyTitulos(false, true, rep.renglonesDetalle(), true);
//       rep.importeRenglon = 0;
//       if (rep.pasaLimite() || rep.soloMuestra || !rep.avanza(hechos, total)) break;
//     }
//     rep.revisaSaltoHoja(true);
//   }
// and is registered with setEscritor(kind, reporteX); GeneraReporte calls it after the page set-up.
#include "book.h"
#include "currency.h"
#include "variant.h"

#include <QHash>
#include <QPageSize>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace repgen {

// The report kinds, in the order of the report window's list.
enum TipoReporte : int {
  kPresupuesto = 0,
  kTotalesPresupuesto = 1,
  kProgramaObra = 2,
  kMontosMensuales = 3,
  kConceptosPrecios = 4,
};
inline constexpr int kTiposReporte = 5;
// The kind's text: its name in the list and its key `Reporte` in the tables reportes and repOpciones.
QString textoReporte(int tipo);
// The program's own template of the kind ("Parator1.kor" .. "Parator5.kor"), a file name.
QString plantillaReporte(int tipo);
// The PDF file a printed document is proposed as: its name ("Presupuesto", "Errores") in the bid's
// folder, or in the user's home folder when the bid's folder cannot be written.
QString archivoPdf(const QString& nombre);

// A page's body is budgeted this much (twips) shorter than the paper holds: the slack against rows
// that print a little taller than measured.
inline constexpr double kHolguraPagina = 700;
// Spreadsheet programs print a page's body shorter than its margins say when it has a print header
// and footer (LibreOffice: about 75 twips for each): what a closing block may not take of the slack.
inline constexpr double kHolguraEncabezados = 200;
inline constexpr double kTwipsPorPulgada = 1440;
// A page across is budgeted this much (twips) narrower than the paper holds.
inline constexpr double kHolguraAncho = 30;

// A report is one sheet, which the .xlsx format ends at row 1 048 576. Writers stop their concept
// loops once the report passes this row, leaving room below it for what follows the loop: the
// closing section and budget totals, and the last page's foot.
inline constexpr int kLimiteRenglones = wb::kMaxRows - 5000;
// The notice of the writers that stopped at the limit (information icon).
QString mensajeLimite();
void avisaLimite();

// The printer the pages are budgeted for: its orientation (VB's 1 portrait, 2 landscape) and the
// height and width of its paper in that orientation, in twips. By default the program's printer object,
// the one that prints and previews the report; a fixed paper for tests.
class ImpresoraReporte {
public:
  virtual ~ImpresoraReporte() = default;
  virtual int orientacion() const = 0;
  virtual void setOrientacion(int orientacion) = 0;
  virtual double altoPapel() const = 0;
  virtual double anchoPapel() const = 0;
};

class ImpresoraPrograma : public ImpresoraReporte {
public:
  int orientacion() const override;
  void setOrientacion(int orientacion) override;
  double altoPapel() const override;
  double anchoPapel() const override;
};

class PapelFijo : public ImpresoraReporte {
public:
  explicit PapelFijo(const QPageSize& papel = QPageSize(QPageSize::Letter)) : papel_(papel) {}
  int orientacion() const override { return orientacion_; }
  void setOrientacion(int orientacion) override { orientacion_ = orientacion == 2 ? 2 : 1; }
  double altoPapel() const override;
  double anchoPapel() const override;

private:
  QPageSize papel_;
  int orientacion_ = 1;
};

// One currency of the report: its code, the amount since a page foot last printed it, and the
// amount carried from page to page ({parcialNN} and {acumuladoNN} of the page foot, NN = its place).
struct TotalMoneda {
  QString moneda;
  vb::Currency pagina;
  vb::Currency acumulado;
};

// The schedule periods a report prints: all of them, or those of one fiscal year, of a schedule whose
// period 1 holds the project's start, by the bid's periodicity (periodos.h).
struct RangoPeriodos {
  int primero = 0;  // 0: no period (nothing to print)
  int ultimo = -1;
  double inicio = 0;  // the project's start
  int16_t periodicidad = 1;
};
// One column of a period run: the period, the first day of the period with its month and year (the
// year a period belongs to), and whether a column with the year's subtotal follows it (after the
// year's last period and after the last period of the run).
struct ColumnaPeriodo {
  int periodo;
  double dia;
  int mes;
  int anio;
  bool subtotal;
};
std::vector<ColumnaPeriodo> columnasPeriodo(const RangoPeriodos& rango);
// A period column's title: the month by name ("Mar 2025"), other periods by their first day ("17/03").
QString tituloPeriodo(const ColumnaPeriodo& p, bool meses);
// The periods of the schedule starting at `inicio` (a date serial), all or those of year `ejercicio`
// (a year without periods: all of them).
RangoPeriodos rangoPeriodos(double inicio, int periodos, int16_t periodicidad, bool porEjercicio, int ejercicio);

class ContextoReporte {
public:
  ContextoReporte();
  ~ContextoReporte();
  ContextoReporte(const ContextoReporte&) = delete;
  ContextoReporte& operator=(const ContextoReporte&) = delete;

  // ---------------------------------------------------------------- the sheets
  wb::Book Formato;  // the template workbook; its chosen sheet is current while a report is built
  wb::Book Reporte;  // the report: one sheet
  wb::Book Evalua;   // scratch sheet on which the print header and footer get their placeholders

  std::shared_ptr<ImpresoraReporte> impresora;  // the program's printer unless replaced

  // ---------------------------------------------------------------- what the window chose
  int tipo = kPresupuesto;  // report kind
  QString libro;            // template workbook path
  int hojaIndice = 0;       // the chosen sheet, 0-based (the sheet list's index)
  QString hoja;             // its name
  bool soloMuestra = false; // the window's on-screen sample: writers write their first concept only
  int32_t limiteRenglones = kLimiteRenglones;  // where the writers stop (lower only in tests)
  // The schedule reports show their quantity-error list (off for the sample made again after a
  // report: the user saw the list for that request).
  bool muestraDiferencias = true;
  // True once the report has passed the row where writers stop.
  bool pasaLimite() const { return Reporte.row() > limiteRenglones; }
  // Told how far the writer has gone (concepts done of all of them); false stops the report, which
  // is then not printed. Unset: every report goes to its end.
  std::function<bool(int hechos, int total)> avance;
  bool cancelado = false;  // the last generation was stopped through avance
  // For the writers, after each concept (row of sections): false once the report is to stop.
  bool avanza(int hechos, int total);

  // ---------------------------------------------------------------- the window's option variables
  // Loaded per kind by LeeParametros; the options dialogs set them too.
  int16_t NivelesUsados = 0;
  int16_t TodasLasPartidas = 1;
  QString PartidaInicial = QStringLiteral("AAA");
  QString PartidaFinal = QStringLiteral("ZZZ");
  int16_t Clasificacion = 1;
  int16_t IndirectosAlFinal = 0;
  int16_t AcumularImportes = 0;
  int16_t SaltarHoja = 0;
  int16_t ImprimirIva = 0;
  int16_t LongitudPartida = 80;
  int16_t LongitudConcepto = 255;
  int16_t DescriDetallada = 1;
  int16_t PaginaInicial = 1;
  int16_t ModoReporte = 2;
  int16_t EjercicioActual = 0;
  bool ImprimePorEjercicio = false;
  int16_t EjercicioInicial = 0;
  int16_t EjercicioFinal = 0;

  // ---------------------------------------------------------------- the template's sections
  // Template rows, 0 when the section is missing. Marker rows belong to no section.
  int renTitulosIni = 0, renTitulosFin = 0;
  int renDetalleIni = 0, renDetalleFin = 0;
  int renPieIni = 0, renPieFin = 0;
  int renEncontrado = 0;    // row of the last marker search, 0 = not found
  int columnasFormato = 0;  // template columns copied per row (1 to this)
  bool hayLogotipo = false; // "{logotipo}" marker or drawing objects in the template
  // Rows of the detail section: the block a writer carries to the next page.
  int renglonesDetalle() const { return renDetalleFin - renDetalleIni + 1; }

  // ---------------------------------------------------------------- the page budget (twips)
  double altoTitulos = 0, altoPie = 0, altoPapel = 0;
  double anchoUtil = 0;  // the paper's width less the side margins: what one printed page takes across
  double altoUtil = 0;   // body height of a page
  double altoUsado = 0;  // body height used on the current page
  int32_t numeroPagina = 0;
  bool primeraPagina = true;
  // True only for a template without page foot and without logo: titles are written on page 1 and
  // the sheet repeats them by itself as print titles on the pages it makes.
  bool sinRepetirTitulos = false;
  int32_t renFinTitulos = 0;  // report row of the last title line written

  // ---------------------------------------------------------------- placeholders and levels
  int32_t renEtiqueta = 0, colEtiqueta = 0;  // the last placeholder found by buscaEtiqueta
  int32_t ultimaColumnaReporte = 0;          // report column of the last "Total" of the period titles
  std::array<int16_t, 8> longitudNivel{};    // levels 1..7: length of a partida code's prefix

  // ---------------------------------------------------------------- running totals
  // Kept by the writers, printed and reset by the placeholders of the page foot.
  std::vector<TotalMoneda> totalesMoneda;  // one per currency of the saved query totalmonedas
  vb::Currency totalAcumulado;             // {parcial}: amount written on the page
  std::vector<vb::Currency> totalesPeriodo;  // {parciales}: per period 1..Periodos (index 0 unused)
  vb::Currency totalPeriodos;                // {parciales}: total of the periods, reset by the foot
  int32_t columnaTotalPeriodos = 0;          // report column that gets totalPeriodos (0: none)
  // The row just written moves to the next page when it does not fit: a page break takes its amount
  // out of the closing page's totals and puts it back for the next page. Writers set these after a
  // concept's detail rows and clear importeRenglon after the page check that follows them.
  vb::Currency importeRenglon;
  QString monedaRenglon;
  // The monthly-amounts writer's amounts of that row, per period: called with -1 to take them out
  // of totalesPeriodo/totalPeriodos and +1 to put them back. Unset: nothing to move.
  std::function<void(int signo)> acumulaMontosPeriodo;
  bool escribiendoContinuacion = false;  // a cut description continues: a break moves no amount

  // ---------------------------------------------------------------- writers
  using Escritor = std::function<void(ContextoReporte&)>;
  void setEscritor(int tipo, Escritor escritor);

  // ================================================================ generation driver
  // Whole generation for the chosen kind and sheet: reads the template, widens it with currency
  // rows (kind 0) or period columns (kind 3), loads the options, sets the page up and calls the
  // writer. False when nothing was written (no currencies, a template without title or detail
  // section, no writer) or the user stopped it. Errors of the workbook or the bid go to the caller; the pointer and the
  // report's repainting are put back however it ends.
  bool GeneraReporte();
  // The window's on-screen sample: the report cleared, then generated with soloMuestra set, then
  // shown without grid lines and headings.
  bool GeneraMuestra();
  void BuscaSecciones();
  bool PreparaPagina();

  // ================================================================ writing primitives
  // Writes valor into column col of the report's current row (the next row first with renglonNuevo),
  // looking like template cell (renFormato, colFormato): its whole look with formatoCompleto, else
  // only its font, pattern and number format. A numeric valor is written as a number. Nothing is
  // written when renFormato, col or colFormato is 0; a renFormato that is not a number is error 13.
  void repEscribeTexto(const vb::Variant& valor, int32_t col, int32_t colFormato, const vb::Variant& renFormato,
                       bool negrita, bool renglonNuevo, bool raya, bool ajustar, bool formatoCompleto,
                       bool paginar);
  // One value with the template cell's look, in col (col + 1 with desplazar); numbers get
  // "$#,##0.00" (tipo 1), "#,##0.00" (2) or "#,##0.0000%" (3). No row change, no paging.
  void EscribeFuente(const vb::Variant& valor, int32_t col, int32_t colFormato, const vb::Variant& renFormato,
                     bool desplazar, int tipo, bool negrita);
  void AjustaAltura();            // fits the current row's height and counts it
  // The figure of the report's current cell, when wider than its column (a total rounded up past the
  // largest amount a template's column holds), in a font half a point smaller at a time until it
  // fits, rather than as "#".
  void ajustaCifra();
  void subRaya();                 // a thin rule along the top of the report's selection
  void lineaEnBlanco();           // next row, fitted and counted
  void lineaEnBlancoSinSombra();  // a 50-twip row, then lineaEnBlanco
  void NivelMaximo();             // NivelesUsados and longitudNivel from the general data
  // The page change: when the page is full (or forzar), the page is closed with its foot and the
  // next one opened with its titles. With arrastrar, the last `renglones` rows written go to the new
  // page; otherwise the last row does. Those rows are written again after the new page's titles,
  // and the report's current row is left on the last of them. sumar counts their heights.
  void imprimePieyTitulos(bool forzar, bool arrastrar, int renglones, bool sumar);

  // ================================================================ page foot and titles
  // Closes the page: filler row (so the foot lands at the bottom), foot pictures and rows with their
  // placeholders. cierre: after the report's last row. Nothing without a page-foot section.
  void revisaSaltoHoja(bool cierre);
  // Opens a page at the report's current row: page break (but on page 1), title pictures and rows;
  // leaves the current row on the last title row.
  void imprimeTitulos();

  // ================================================================ placeholders
  // Fills the placeholders of the current cell of `hoja` (the report, or the scratch sheet of the
  // print header). True when it wrote a whole row of period titles: the caller copies no further
  // columns of that template row.
  bool completaEtiquetasRenglon(wb::Book& hoja);
  // Finds `texto` anywhere in a cell of the sheet (row by row, the first hit) and keeps its place in
  // renEtiqueta/colEtiqueta (0 when absent); the sheet's current cell does not move.
  std::optional<wb::CellRef> buscaEtiqueta(wb::Book& hoja, const QString& texto);

  // ================================================================ helpers shared by the writers
  // The detail section copied into the report below its current row, one report row per template
  // row: every template cell that is not empty gets its look and text copied and is then handed to
  // `completa` (the report is current on that cell) to replace its key. Each row is fitted and
  // counted.
  void escribeDetalle(const std::function<void(wb::Book& reporte)>& completa);
  // Adds importe to the page (columna 2) or carried (columna 3) amount of a currency (letter case
  // ignored). An unknown currency adds nothing.
  void acumulaMoneda(const QString& moneda, int columna, vb::Currency importe);
  // totalesMoneda from the saved query totalmonedas, all amounts 0. False when it has no rows.
  bool cargaTotalesMoneda();
  // The periods the current pass prints (all, or those of EjercicioActual).
  RangoPeriodos rangoPeriodos() const;
  QString partidaNivel(const QString& codigo, const vb::Variant& nivel) const;
  int nivelPartida(const QString& codigo) const;

  // ================================================================ options store
  // Defaults of the chosen kind, then its stored options (of textoReporte(tipo), libro, hoja).
  void LeeParametros();

private:
  std::array<Escritor, kTiposReporte> escritores_;
  void copiaObjetosSeccion(int primero, int ultimo, int desplazamiento);
  void copiaRenglonesSeccion(int primero, int ultimo, bool titulos);
  void expandeMonedas(int monedas);
  void expandePeriodos();
  bool escribeTitulosPeriodo(wb::Book& hoja);
  void escribeParciales(wb::Book& hoja);
  void escribeGenerales(wb::Book& hoja, const QString& texto);
};

// ---------------------------------------------------------------- stateless helpers of the engine

// Writes a filled value into the current cell: a number when it is numeric, a date when it is a
// date, else text; nothing for Null (false).
bool escribeValor(wb::Book& hoja, const vb::Variant& valor);

// The first line of a description at most `ancho` characters wide (cut after a blank, or at a line
// break); the rest stays in texto without its leading blanks. Below 5 the whole text (at most 255
// characters) is one line.
QString cortaTexto(QString& texto, int ancho);

// A general placeholder ("{razón social}", "{fecha inicio}", ...) of the general data.
struct EtiquetaGeneral {
  enum Tipo { Campo = 0, Calculo = 1, Ninguna = 2 } tipo = Ninguna;
  QString campo;       // Campo: the field of DatosGenerales
  vb::Variant valor;   // Calculo: the value
};
EtiquetaGeneral campoEtiquetaGeneral(const QString& etiqueta);

// The national currency: the currency of Monedas whose parity is 1 (the first by code). A concept
// without a currency (Null, or blank) is in it. Its code is "" when Monedas has none.
struct MonedaNacional {
  QString codigo;
  QString texto;
  static MonedaNacional lee();
  // The code a concept's amounts go under: its currency, else the national currency's.
  QString de(const vb::Variant& moneda) const;
};

// How the amounts of the budget's currencies go into one total: as they are when the budget uses a
// single currency, else each converted to national currency by its currency's parity (1 for the
// national currency and for a concept without currency; 0 for a currency missing from Monedas,
// whose amounts then add nothing). A converted price keeps the four decimals of a price, and an
// amount is always that price times the quantity, rounded: a reader can multiply the printed figures.
class ParidadesMoneda {
public:
  // The currencies the budget uses, read from the open bid. With `siempre`, converted even when
  // the budget has one currency (its total in national currency).
  static ParidadesMoneda lee(bool siempre = false);
  bool convierte() const { return convierte_; }
  // A concept's unit price in the total's currency.
  vb::Currency precio(const vb::Variant& precio, const vb::Variant& moneda) const;
  // A concept's amount in the total's currency: that price × Cantidad, rounded.
  vb::Currency importe(const vb::Variant& precio, const vb::Variant& moneda, const vb::Variant& cantidad) const;
  // The currencies converted at a parity other than 1, by code, each with its parity.
  std::vector<std::pair<QString, vb::Currency>> extranjeras() const;

private:
  bool convierte_ = false;
  MonedaNacional nacional_;
  // Of every currency the budget uses, by the code's case fold: the code and its parity.
  QHash<QString, std::pair<QString, vb::Currency>> paridades_;
  vb::Currency factor(const vb::Variant& moneda) const;
};

// Stores `Totalletra` of the general data: the budget total as "$###,###,###,##0.00##", in national
// currency when the budget uses several currencies.
void calculaTotalLetra();
// The budget total converted to national currency by each currency's parity.
vb::Currency totalMonedaNacional();
// The budget total per currency (the saved query totalmonedas, by code), the concepts without a
// currency in the national currency's.
struct TotalDeMoneda {
  QString moneda;
  QString texto;
  vb::Currency importe;
};
std::vector<TotalDeMoneda> totalesPorMoneda();
// A currency's parity, 0 when the currency is not in Monedas.
double paridadMoneda(const QString& moneda);
// "Ene" .. "Dic", "" for any other number.
QString mesAbreviado(int mes);

// The options store (table repOpciones of the library database, through quarvel::rsRepOpciones).
// A Null or blank value is stored as one blank.
void grabaOpcion(const QString& reporte, const QString& libro, const QString& hoja, const QString& parametro,
                 const vb::Variant& valor);
// The stored value, or porOmision when there is none (or on an error, after a message).
QString LeeRepOpciones(const QString& reporte, const QString& libro, const QString& hoja, const QString& parametro,
                       const QString& porOmision);

}  // namespace repgen
