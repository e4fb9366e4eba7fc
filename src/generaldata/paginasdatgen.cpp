// The eight pages of the dialog and their controls. Each page is a frame of the array fraMarco, all of
// one size; the navigator lays them out beside its tree and puts its caption bar over the top of the
// shown page, so each page's own layout starts below that bar.
#include "frmdatgen.h"

#include "boundgrid.h"
#include "datacontrol.h"
#include "datepicker.h"
#include "paginapie.h"
#include "textbox.h"
#include "textosdatgen.h"
#include "vbcontrols.h"
#include "vbui.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Every page's design size, in twips.
constexpr int kAnchoPagina = 8640;
constexpr int kAltoPagina = 5055;

// Below the navigator's caption bar.
void margenes(QLayout* l) {
  l->setContentsMargins(14, 34, 14, 10);
}

QGridLayout* rejilla(QWidget* marco) {
  auto* g = new QGridLayout(marco);
  margenes(g);
  g->setHorizontalSpacing(8);
  g->setVerticalSpacing(6);
  return g;
}

QLineEdit* linea(QWidget* padre, const QString& nombre, int largo) {
  auto* caja = new QLineEdit(padre);
  caja->setObjectName(nombre);
  if (largo > 0) caja->setMaxLength(largo);
  return caja;
}

ui::TextBox* lineas(QWidget* padre, const QString& nombre, int largo) {
  auto* caja = new ui::TextBox(padre);
  caja->setObjectName(nombre);
  caja->SetMaxLength(largo);
  caja->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);  // two lines
  return caja;
}

// A box meant for a few characters: about `caracteres` wide.
template <class W>
W* angosta(W* caja, int caracteres) {
  caja->setFixedWidth(caja->fontMetrics().horizontalAdvance(QString(caracteres, QLatin1Char('0'))) + 16);
  return caja;
}

QLabel* rotulo(QWidget* padre, const QString& texto, QWidget* companero = nullptr) {
  auto* l = new QLabel(texto, padre);
  l->setTextFormat(Qt::PlainText);
  if (companero) l->setBuddy(companero);
  return l;
}

QLabel* encabezado(QWidget* padre, const QString& texto) {
  QLabel* l = rotulo(padre, texto);
  QFont letra = l->font();
  letra.setBold(true);
  l->setFont(letra);
  return l;
}

// A label that shows a value the dialog works out (calendar days, periods).
QLabel* valor(QWidget* padre, const QString& nombre, const QString& texto) {
  auto* l = new QLabel(texto, padre);
  l->setObjectName(nombre);
  l->setTextFormat(Qt::PlainText);
  l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setMargin(2);
  return l;
}

// A caption and its box on one row of a page's grid, at column `columna`; a box of several lines has
// its caption at its top.
template <class W>
W* fila(QGridLayout* g, const QString& texto, W* caja, int renglon, int columna = 0) {
  const bool lineasVarias = qobject_cast<ui::TextBox*>(caja) != nullptr;
  g->addWidget(rotulo(caja->parentWidget(), texto, caja), renglon, columna, lineasVarias ? Qt::AlignTop : Qt::Alignment());
  g->addWidget(caja, renglon, columna + 1);
  return caja;
}

// A heading over n boxes of 70 characters, "Renglón 1" to "Renglón n", named prefijo1 ... prefijon.
void renglones(QGridLayout* g, QWidget* marco, const QString& titulo, const QString& prefijo, int n) {
  g->addWidget(encabezado(marco, titulo), 0, 0, 1, 2);
  for (int i = 1; i <= n; ++i)
    fila(g, QStringLiteral("Renglón %1").arg(i), linea(marco, prefijo + QString::number(i), 70), i);
}

ui::DatePicker* fecha(QWidget* padre, const QString& nombre) {
  auto* p = new ui::DatePicker(padre);
  p->setObjectName(nombre);
  p->SetValue(vb::Variant::fromDate(1999, 6, 2));  // as the dialog was designed
  return p;
}

}  // namespace

VbFrame* FrmDatGen::nuevoMarco(int indice, const QString& titulo, const QString& etiqueta) {
  auto* marco = new VbFrame(this);
  marco->setObjectName(QStringLiteral("fraMarco_%1").arg(indice));
  marco->setProperty("ArrayName", QStringLiteral("fraMarco"));
  marco->setProperty("Index", indice);
  marco->setCaption(titulo);
  vbui::setTag(marco, etiqueta);
  vbui::moveTw(marco, 0, 0, kAnchoPagina, kAltoPagina);
  return marco;
}

void FrmDatGen::construyePaginas() {
  const QString enLista = QStringLiteral("EnLista=Sí");
  paginaTotales(nuevoMarco(1, QStringLiteral("Totales por moneda."), enLista));
  paginaDependencias(nuevoMarco(2, QStringLiteral("Dependencias"), enLista));
  paginaObra(nuevoMarco(3, QStringLiteral("Obra"), enLista));
  paginaConcurso(nuevoMarco(4, QStringLiteral("Concurso"), enLista));
  paginaPartidas(nuevoMarco(5, QStringLiteral("Partidas"), enLista));
  paginaFirmas(nuevoMarco(6, QStringLiteral("Firmas"), enLista));
  paginaEmpresa(nuevoMarco(7, QStringLiteral("Datos de la Empresa"), QStringLiteral("Enlista=Sí")));
  paginaIndirectos(nuevoMarco(8, QStringLiteral("Indirectos"), enLista));

  // Placed by the navigator under the pages, by their Tags.
  Aceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
  Aceptar->setObjectName(QStringLiteral("Aceptar"));
  vbui::setTag(Aceptar, QStringLiteral("Acción=Aceptar"));
  Cancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
  Cancelar->setObjectName(QStringLiteral("Cancelar"));
  vbui::setTag(Cancelar, QStringLiteral("Acción=Cancelar"));
  for (QPushButton* b : {Aceptar, Cancelar}) {
    // Enter moves to the next control (key preview): no button may take it as the default.
    b->setAutoDefault(false);
    b->setDefault(false);
    vbui::moveTw(b, 0, 0, 1215, 375);
  }
}

void FrmDatGen::paginaTotales(VbFrame* marco) {
  auto* v = new QVBoxLayout(marco);
  margenes(v);
  Data1 = new ui::DataControl(this);
  Data1->setObjectName(QStringLiteral("Data1"));
  TDBGrid1 = new ui::BoundGrid(marco);
  TDBGrid1->setObjectName(QStringLiteral("TDBGrid1"));
  struct Columna {
    const char* titulo;
    const char* campo;
    int ancho;
    const char* formato;
  };
  for (const Columna& c : {Columna{"Código", "Moneda", 1200, ""}, Columna{"Descripción", "Texto", 3600, ""},
                           Columna{"Total", "SumaDeImporte", 2200, "Currency"}}) {
    ui::Column& columna = TDBGrid1->Columns().Add(TDBGrid1->Columns().Count());
    columna.SetCaption(QString::fromUtf8(c.titulo));
    columna.SetDataField(QString::fromUtf8(c.campo));
    columna.SetWidth(c.ancho);
    columna.SetNumberFormat(QString::fromUtf8(c.formato));
    columna.SetLocked(true);
  }
  TDBGrid1->SetAllowUpdate(false);
  v->addWidget(TDBGrid1);
}

void FrmDatGen::paginaDependencias(VbFrame* marco) {
  QGridLayout* g = rejilla(marco);
  renglones(g, marco, QStringLiteral("Nombre de la Dependencia:"), QStringLiteral("NomDep"), 3);
  fila(g, QStringLiteral("Área"), lineas(marco, QStringLiteral("area"), 70), 4);
  fila(g, QStringLiteral("Departamento"), lineas(marco, QStringLiteral("depto"), 70), 5);
  g->setColumnStretch(1, 1);
  g->setRowStretch(6, 1);
}

void FrmDatGen::paginaObra(VbFrame* marco) {
  QGridLayout* g = rejilla(marco);
  // The works on the left, dates and periods on the right.
  renglones(g, marco, QStringLiteral("Nombre de la Obra:"), QStringLiteral("nomobra"), 6);
  fila(g, QStringLiteral("Dirección"), lineas(marco, QStringLiteral("obradirec"), 70), 7);
  fila(g, QStringLiteral("Ciudad"), linea(marco, QStringLiteral("obraciudad"), 40), 8);
  fila(g, QStringLiteral("Estado"), linea(marco, QStringLiteral("obraedo"), 40), 9);

  FechaIni = fila(g, QStringLiteral("Fecha de Inicio"), fecha(marco, QStringLiteral("FechaIni")), 1, 3);
  FechaFin = fila(g, QStringLiteral("Fecha de Término"), fecha(marco, QStringLiteral("FechaFin")), 2, 3);
  FechaTope = fila(g, QStringLiteral("Fecha tope"), fecha(marco, QStringLiteral("FechaTope")), 3, 3);
  DiasCal = fila(g, QStringLiteral("Dias calendario"), valor(marco, QStringLiteral("DiasCal"), QStringLiteral("FecT - FecI")), 4, 3);

  gbPeriodicidad = new QGroupBox(QStringLiteral("Periodicidad"), marco);
  gbPeriodicidad->setObjectName(QStringLiteral("gbPeriodicidad"));
  auto* opciones = new QGridLayout(gbPeriodicidad);
  opciones->setContentsMargins(8, 4, 8, 4);
  opciones->setVerticalSpacing(2);
  auto opcion = [&](const char* nombre, const char* texto, int fila, int columna) {
    auto* o = new QRadioButton(QString::fromUtf8(texto), gbPeriodicidad);
    o->setObjectName(QString::fromUtf8(nombre));
    opciones->addWidget(o, fila, columna);
    return o;
  };
  optMensual = opcion("optMensual", "Mensual", 0, 0);
  optQuincenal = opcion("optQuincenal", "Quincenal", 0, 1);
  optSemanal = opcion("optSemanal", "Semanal", 1, 0);
  optDiaria = opcion("optDiaria", "Diaria", 1, 1);
  g->addWidget(gbPeriodicidad, 5, 3, 3, 2);
  Periodos = valor(marco, QStringLiteral("Periodos"), QStringLiteral("0"));
  lblPeriodos = rotulo(marco, QStringLiteral("Periodos"));
  lblPeriodos->setObjectName(QStringLiteral("lblPeriodos"));
  g->addWidget(lblPeriodos, 8, 3);
  g->addWidget(Periodos, 8, 4);

  g->setColumnStretch(1, 1);
  g->setColumnMinimumWidth(2, 10);
  g->setRowStretch(10, 1);
}

void FrmDatGen::paginaConcurso(VbFrame* marco) {
  QGridLayout* g = rejilla(marco);
  fila(g, QStringLiteral("Número de Concurso"), linea(marco, QStringLiteral("numcon"), 40), 0);
  fila(g, QStringLiteral("Versión de Concurso"), linea(marco, QStringLiteral("VerCon"), 20), 0, 3);
  FechaCon = fecha(marco, QStringLiteral("FechaCon"));
  g->addWidget(rotulo(marco, QStringLiteral("Fecha del Concurso"), FechaCon), 1, 0);
  g->addWidget(FechaCon, 1, 1, Qt::AlignLeft);
  fila(g, QStringLiteral("Número de Contrato"), linea(marco, QStringLiteral("Contrato"), 30), 1, 3);
  ui::TextBox* lugar = lineas(marco, QStringLiteral("lugar"), 50);
  g->addWidget(rotulo(marco, QStringLiteral("Lugar de Celebración"), lugar), 2, 0, Qt::AlignTop);
  g->addWidget(lugar, 2, 1, 1, 4);

  auto* fila = new QHBoxLayout;
  Redondeo = angosta(linea(marco, QStringLiteral("Redondeo"), 1), 2);
  Redondeo->setText(QStringLiteral("0"));
  Redondeo->setAlignment(Qt::AlignRight);
  fila->addWidget(rotulo(marco, QStringLiteral("Decimales para redondeo de importes (de cero a cuatro)"), Redondeo));
  fila->addSpacing(4);
  fila->addWidget(Redondeo);
  fila->addStretch(1);
  g->addLayout(fila, 3, 0, 1, 5);

  Frame1 = new QGroupBox(QStringLiteral("Porcentajes"), marco);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  auto* porcentajes = new QHBoxLayout(Frame1);
  porcentajes->setContentsMargins(10, 4, 10, 6);
  porcentajes->setSpacing(6);
  for (const auto& [nombre, texto] : {std::pair{"txtAnticipo", "Anticipo"}, std::pair{"txtEstimacion", "Estimaciones"},
                                      std::pair{"txtFiniquito", "Finiquito"}, std::pair{"txtIVA", "IVA"}}) {
    QLineEdit* caja = angosta(linea(Frame1, QString::fromUtf8(nombre), 0), 6);
    caja->setText(QStringLiteral("0"));
    caja->setAlignment(Qt::AlignRight);
    porcentajes->addWidget(rotulo(Frame1, QString::fromUtf8(texto), caja));
    porcentajes->addWidget(caja);
    porcentajes->addSpacing(8);
  }
  porcentajes->addStretch(1);
  g->addWidget(Frame1, 4, 0, 1, 5);

  auto casilla = [&](const char* nombre, const QString& texto, int filaCasilla) {
    auto* c = new QCheckBox(texto, marco);
    c->setObjectName(QString::fromUtf8(nombre));
    g->addWidget(c, filaCasilla, 0, 1, 5);
    return c;
  };
  chkPermiteTornavo = casilla("chkPermiteTornavo", textosDatGen::chkPermiteTornavo(), 5);
  chkPermiteCeroCuadro = casilla(
      "chkPermiteCeroCuadro",
      QStringLiteral("Permitir imprimir cuadro comprativo  con precios en cero del presupuesto base"), 6);
  chkCantidadesEnCero = casilla(
      "chkCantidadesEnCero",
      QStringLiteral("Permitir cantidades en cero para generar bases de tornavo para contratistas"), 7);

  g->setColumnStretch(1, 3);
  g->setColumnStretch(4, 2);
  g->setColumnMinimumWidth(2, 10);
  g->setRowStretch(8, 1);
}

void FrmDatGen::paginaPartidas(VbFrame* marco) {
  auto* v = new QVBoxLayout(marco);
  margenes(v);
  v->setSpacing(10);

  auto* niveles = new QGroupBox(QStringLiteral("Configuración de Niveles por partida"), marco);
  niveles->setObjectName(QStringLiteral("fraNiveles"));
  auto* g = new QGridLayout(niveles);
  g->setContentsMargins(10, 6, 10, 8);
  g->setHorizontalSpacing(14);
  g->setVerticalSpacing(3);
  for (int i = 1; i <= 7; ++i) {
    QLineEdit* caja = angosta(linea(niveles, QStringLiteral("nivel%1").arg(i), 2), 3);
    caja->setAlignment(Qt::AlignRight);
    g->addWidget(rotulo(niveles, QStringLiteral("Nivel %1").arg(i), caja), 0, i - 1, Qt::AlignHCenter);
    g->addWidget(caja, 1, i - 1, Qt::AlignHCenter);
  }
  g->setColumnStretch(7, 1);
  v->addWidget(niveles);

  QLabel* explica = rotulo(
      marco, QStringLiteral("Suponiendo una estructura de edificación, donde se pueden obtener totales y subtotales "
                            "de la Obra, Edificio 1, Preliminares del Edificio1 y así sucesivamente, quedaría de la "
                            "siguiente forma:"));
  explica->setWordWrap(true);
  v->addWidget(explica);

  auto* ejemplo = new QFrame(marco);
  ejemplo->setObjectName(QStringLiteral("fraEjemplo"));
  ejemplo->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  ejemplo->setAutoFillBackground(true);
  ejemplo->setBackgroundRole(QPalette::Base);
  auto* tabla = new QGridLayout(ejemplo);
  tabla->setContentsMargins(10, 6, 10, 6);
  tabla->setHorizontalSpacing(24);
  tabla->setVerticalSpacing(3);
  const char* const kEjemplo[][3] = {
      {"Código de Partida", "Descripción", "Nivel"},
      {"A", "Obra", "1=un dígito"},
      {"A01", "Edificio 1", "2=dos dígitos"},
      {"A01001", "Preliminares Edificio 1", "3=tres dígitos"},
      {"A01002", "Cimentaciones Edificio 1", "3=tres dígitos"},
  };
  for (int fila = 0; fila < 5; ++fila)
    for (int columna = 0; columna < 3; ++columna) {
      const QString texto = QString::fromUtf8(kEjemplo[fila][columna]);
      tabla->addWidget(fila == 0 ? encabezado(ejemplo, texto) : rotulo(ejemplo, texto), fila, columna);
    }
  tabla->setColumnStretch(1, 1);
  v->addWidget(ejemplo);
  v->addStretch(1);
}

void FrmDatGen::paginaFirmas(VbFrame* marco) {
  QGridLayout* g = rejilla(marco);
  for (int i = 1; i <= 5; ++i) {
    const QString sufijo = i == 1 ? QString() : QString::number(i);
    const QString texto = i == 1 ? QStringLiteral("1.-  Nombre") : QStringLiteral("%1.- Nombre").arg(i);
    fila(g, texto, linea(marco, QStringLiteral("Nombre") + sufijo, 40), i - 1);
    fila(g, QStringLiteral("Cargo"), linea(marco, QStringLiteral("Titulo") + sufijo, 40), i - 1, 2);
  }
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  g->setRowStretch(5, 1);
}

void FrmDatGen::paginaEmpresa(VbFrame* marco) {
  QGridLayout* g = rejilla(marco);
  int renglon = 0;
  auto agrega = [&](const QString& texto, QWidget* caja, Qt::Alignment alineacion = {}) {
    fila(g, texto, caja, renglon);
    g->setAlignment(caja, alineacion);
    ++renglon;
  };
  agrega(QStringLiteral("Nombre"), lineas(marco, QStringLiteral("empresa"), 90));
  agrega(QStringLiteral("Responsable"), linea(marco, QStringLiteral("responsable"), 40));
  agrega(QStringLiteral("Cargo"), linea(marco, QStringLiteral("cargo"), 40));
  agrega(QStringLiteral("Domicilio Fiscal"), linea(marco, QStringLiteral("DomFiscal"), 255));
  agrega(QStringLiteral("Colonia"), linea(marco, QStringLiteral("colonia"), 50));
  agrega(QStringLiteral("Código postal"), angosta(linea(marco, QStringLiteral("cp"), 10), 10), Qt::AlignLeft);
  agrega(QStringLiteral("RFC"), angosta(linea(marco, QStringLiteral("rfc"), 20), 16), Qt::AlignLeft);
  agrega(QStringLiteral("Teléfono"), angosta(linea(marco, QStringLiteral("telefono"), 50), 24), Qt::AlignLeft);
  g->setColumnStretch(1, 1);
  g->setRowStretch(renglon, 1);
}

void FrmDatGen::paginaIndirectos(VbFrame* marco) {
  auto* v = new QVBoxLayout(marco);
  v->setContentsMargins(6, 26, 6, 4);
  pagina = new footer::PaginaPie(marco);
  v->addWidget(pagina);
}
