#include "copiado.h"

#include "dao.h"
#include "korgen.h"
#include "msgbox.h"
#include "portapapeles.h"
#include "puntero.h"
#include "quarvel.h"
#include "utilidades.h"

#include <QRegularExpression>
#include <optional>
#include <span>

namespace copiado {

namespace {

constexpr QChar kTab = u'\t';
constexpr QChar kCR = u'\r';
constexpr QChar kLF = u'\n';
const QString kFinLinea = QStringLiteral("\r\n");

void muestraError(const QString& prefijo, const vb::Error& e) {
  ui::MsgBox(prefijo + QString::number(e.number()) + u' ' + e.description());
}

// The cell of the current row at a pasted column (1-based); error 9 beyond the pasted columns.
vb::Variant& celda(int posicion) {
  if (posicion < 1 || posicion >= int(renglonPegado.size()))
    throw vb::Error(9);
  return renglonPegado[size_t(posicion)];
}

// The entry of mapaColumnas for a logical column; error 9 outside it (a period beyond the bid's).
int16_t& columnaDe(int logica) {
  if (logica < 1 || logica >= int(mapaColumnas.size()))
    throw vb::Error(9);
  return mapaColumnas[size_t(logica)];
}

// A cell of the header, right-trimmed and lower-cased, as the logical column it names (0: none).
int columnaLogica(const QString& encabezado) {
  const QString t = vb::LCase(vb::RTrim(encabezado));
  if (t == u"código" || t == u"codigo")
    return kCodigo;
  if (t == u"precio")
    return kPrecio;
  if (t == u"partida")
    return kPartida;
  if (t == u"renglon" || t == u"renglón")
    return kRenglon;
  if (t == u"comienzo")
    return kComienzo;
  if (t == u"fin")
    return kFin;
  if (vb::Left(t, 7) == u"periodo")
    return kPeriodo0 + vb::CInt(vb::Mid(t, 9));  // error 13 when no number follows
  return 0;
}

// The header's cells as pasted, by position (index 0 unused): the names the messages give columns.
std::vector<QString> encabezados;

// Sizes the module data for a block and maps its header line.
void leeEncabezado(const QString& texto) {
  if (!quarvel::rsDatosGenerales)
    throw vb::Error(91);
  const int periodos = vb::CInt(quarvel::rsDatosGenerales->Value(QStringLiteral("Periodos")));
  if (periodos + kPeriodo0 < 1)
    throw vb::Error(9);
  qsizetype finEncabezado = texto.indexOf(kCR);
  if (finEncabezado < 0)
    finEncabezado = texto.size();
  const QStringView encabezado = QStringView(texto).left(finEncabezado);
  const int columnas = 1 + int(encabezado.count(kTab));

  mapaColumnas.assign(size_t(periodos + kPeriodo0 + 1), 0);
  renglonPegado.assign(size_t(columnas + 1), vb::Variant());
  encabezados.assign(1, QString());
  int posicion = 1;
  for (const QStringView nombre : encabezado.split(kTab)) {
    encabezados.push_back(nombre.trimmed().toString());
    if (const int logica = columnaLogica(nombre.toString()))
      columnaDe(logica) = int16_t(posicion);
    ++posicion;
  }
}

// The forms whose grids take the rows of a block: unit prices and the work schedule.
bool tomaBloques(const QString& forma) { return forma == u"FrmPre" || forma == u"FrmPrograma"; }

// The header column, by its name in the message, that a block pasted into a window needs and does not
// have; empty when it has them all.
QString columnaQueFalta(const QString& forma) {
  struct Necesaria {
    int logica;
    const char* nombre;
  };
  static const Necesaria precios[] = {{kCodigo, "código"}, {kPrecio, "precio"}};
  static const Necesaria programa[] = {{kPartida, "partida"}, {kRenglon, "renglón"}};
  std::span<const Necesaria> necesarias;
  if (forma == u"FrmPre")
    necesarias = precios;
  else if (forma == u"FrmPrograma")
    necesarias = programa;
  for (const Necesaria& n : necesarias)
    if (columnaDe(n.logica) == 0)
      return QString::fromUtf8(n.nombre);
  return {};
}

// Walks the rows after the header: a cell ends at TAB, a row at CR; a LF not after a CR is a line break
// inside the cell; a last row without its line end counts too. Cells past the header's count are
// dropped and the row comes with `sobrante` set. porRenglon(celdas, sobrante), celdas 1-based as
// renglonPegado, returns false to stop the walk.
template <class F>
void recorreRenglones(const QString& texto, int columnas, F&& porRenglon) {
  std::vector<vb::Variant> celdas(size_t(columnas + 1));
  int columna = 1;
  int renglon = 1;
  QString buffer;
  const auto terminaRenglon = [&] {
    bool sigue = true;
    if (renglon > 1) {
      if (columna <= columnas)
        celdas[size_t(columna)] = buffer;
      sigue = porRenglon(std::as_const(celdas), columna > columnas);
    }
    ++renglon;
    columna = 1;
    std::fill(celdas.begin(), celdas.end(), vb::Variant());
    buffer.clear();
    return sigue;
  };
  for (qsizetype i = 0; i < texto.size(); ++i) {
    const QChar c = texto[i];
    if (c == kCR) {
      if (!terminaRenglon())
        return;
    } else if (renglon >= 2 && columna <= columnas) {
      if (c == kTab) {
        celdas[size_t(columna)] = buffer;
        buffer.clear();
        ++columna;
      } else if (c == kLF) {
        if (i == 0 || texto[i - 1] != kCR)
          buffer += kFinLinea;  // a line break inside a cell
      } else {
        buffer += c;
      }
    }
  }
  if (renglon >= 2 && !texto.endsWith(kCR) && !texto.endsWith(kFinLinea))
    terminaRenglon();
}

// The columns of a block that a window reads as numbers (their positions): the price, or the volume
// of every period.
std::vector<int> columnasNumericas(const QString& forma) {
  std::vector<int> posiciones;
  if (forma == u"FrmPre") {
    posiciones.push_back(columnaDe(kPrecio));
  } else if (forma == u"FrmPrograma") {
    for (int k = kPeriodo0 + 1; k < int(mapaColumnas.size()); ++k)
      if (mapaColumnas[size_t(k)] != 0)
        posiciones.push_back(mapaColumnas[size_t(k)]);
  }
  return posiciones;
}

QString textoCelda(const std::vector<vb::Variant>& celdas, int logica) {
  const int posicion = columnaDe(logica);
  return posicion > 0 && posicion < int(celdas.size()) ? vb::CStr(celdas[size_t(posicion)]).trimmed() : QString();
}

// How a message names a row of a block: by the key its window reads.
QString claveRenglon(const QString& forma, const std::vector<vb::Variant>& celdas) {
  if (forma == u"FrmPre")
    return QStringLiteral("código ") + textoCelda(celdas, kCodigo);
  return QStringLiteral("partida ") + textoCelda(celdas, kPartida) + QStringLiteral(" renglón ") +
         textoCelda(celdas, kRenglon);
}

// A block copied from a sheet whose numbers have comma decimals would be read a thousand times too
// large where its commas look like thousands ("16,800" for 16.8): when any number cell of the block
// reads as a comma decimal, the whole block is refused before any row is applied, and the message
// names that cell. False when the block was refused.
bool revisaComasDecimales(const QString& texto, const QString& forma) {
  const std::vector<int> numericas = columnasNumericas(forma);
  if (numericas.empty())
    return true;
  QString mensaje;
  recorreRenglones(texto, int(renglonPegado.size()) - 1, [&](const std::vector<vb::Variant>& celdas, bool) {
    for (const int posicion : numericas) {
      const vb::Variant& celda = celdas[size_t(posicion)];
      if (!esComaDecimal(celda))
        continue;
      mensaje = QStringLiteral("No se pegó ningún renglón: el valor \"") + vb::CStr(celda) +
                QStringLiteral("\" de la columna ") + encabezados[size_t(posicion)] + QStringLiteral(" (") +
                claveRenglon(forma, celdas) +
                QStringLiteral(") lleva coma decimal. En los números el punto decimal es \".\" y la coma separa "
                               "los miles (1,234.50).");
      return false;
    }
    return true;
  });
  if (mensaje.isEmpty())
    return true;
  ui::MsgBox(mensaje, ui::vbInformation);
  return false;
}

// Applies the rows of the block one by one (each in renglonPegado); a row with more cells than the
// header ends the paste with error 9, the rows before it applied.
void aplicaRenglones(const QString& texto, const QString& forma) {
  continuarPegado = true;
  recorreRenglones(texto, int(renglonPegado.size()) - 1, [&](const std::vector<vb::Variant>& celdas, bool sobrante) {
    if (sobrante)
      throw vb::Error(9);
    renglonPegado = celdas;
    pegaclipdetalle(forma);
    return continuarPegado;
  });
}

}  // namespace

// ---- Copy

QString textoCopia(GridCopia& grid) {
  std::vector<int> visibles;
  for (int c = 0; c < grid.Columnas(); ++c)
    if (grid.Visible(c))
      visibles.push_back(c);
  QString texto;
  for (const int c : visibles)
    texto += grid.Caption(c) + kTab;
  texto += kFinLinea;
  for (const dao::Bookmark& fila : grid.Marcados()) {
    for (const int c : visibles)
      texto += general::QuitaEnter(grid.Texto(fila, c)) + kTab;
    texto += kFinLinea;
  }
  return texto;
}

void copiaClipboard(GridCopia& grid) {
  try {
    portapapeles().Limpia();
    if (grid.Marcados().empty())
      return;  // a grid has no selected text to copy instead
    puntero::Reloj();
    portapapeles().PonTexto(textoCopia(grid));
    puntero::Normal();
  } catch (const vb::Error& e) {
    puntero::Normal();
    if (e.number() == 438 || e.number() == 6149)
      return;
    muestraError(QStringLiteral("copiado.copiaClipboard "), e);
  }
}

// ---- Paste

void pegaClipboard(DestinoPegado& destino) { pegaTexto(portapapeles().Texto(), destino); }

void pegaTexto(const QString& texto, DestinoPegado& destino) {
  try {
    if (texto.isEmpty())
      return;
    if (!texto.contains(kCR) && !texto.contains(kTab)) {
      if (!destino.PegaCelda(texto))
        ui::MsgBox(QStringLiteral("En esta celda no se puede pegar: es sólo de consulta."), ui::vbInformation);
      return;
    }
    leeEncabezado(texto);
    // A block whose rows could set nothing is refused before any of them is applied.
    if (!tomaBloques(destino.Forma())) {
      ui::MsgBox(QStringLiteral("En esta ventana no se pueden pegar bloques de datos; se pegan en los precios unitarios "
                                "y en el programa de obra."),
                 ui::vbInformation);
      return;
    }
    if (const QString falta = columnaQueFalta(destino.Forma()); !falta.isEmpty()) {
      ui::MsgBox(QStringLiteral("No se puede pegar un bloque de datos que no contenga un encabezado de columna ") + falta,
                 ui::vbInformation);
      return;
    }
    if (!revisaComasDecimales(texto, destino.Forma()))
      return;
    destino.PreparaBloque();
    formaPegado.clear();
    // One paste is one transaction: a write the bid refuses (disk full, read-only) undoes every row of
    // it, and the commit that ends it may be refused as well.
    dao::Workspace& espacio = dao::DBEngine::Workspaces(0);
    escrituraRechazada = false;
    std::optional<vb::Error> error;
    espacio.BeginTrans();
    try {
      aplicaRenglones(texto, destino.Forma());
    } catch (const vb::Error& e) {
      error = e;   // a block that cannot be read further ends the paste; the rows before it stay
    } catch (...) {
      espacio.Rollback();
      throw;
    }
    if (escrituraRechazada || (error && dao::FileRefusedWrite(error->number()))) {
      espacio.Rollback();
    } else {
      try {
        espacio.CommitTrans();
      } catch (const vb::Error& e) {
        espacio.Rollback();
        error = e;
      }
    }
    if (formaPegado == u"FrmPrograma")
      destino.Refresca();
    if (error)
      throw *error;
  } catch (const vb::Error& e) {
    switch (e.number()) {
    case 438:
    case 450:
      return;
    case 3426:
      ui::MsgBox(QStringLiteral("no se pueden pegar los datos, Puede ser porque en la linea actual el campo "
                                "codigo esta en blanco"));
      return;
    default:
      muestraError(QStringLiteral("copiado.pegaClipboard "), e);
    }
  }
}

void pegaclipdetalle(const QString& forma) {
  formaPegado = forma;
  puntero::Reloj();  // the paste command puts the pointer back
  try {
    if (forma == u"FrmPre" && columnaDe(kCodigo) != 0) {
      // A row without a price (no such column, or an empty cell) sets none.
      const vb::Variant precio = columnaDe(kPrecio) != 0 ? celda(columnaDe(kPrecio)) : vb::Variant::null();
      if (!general::esNulo(precio)) {
        const QString codigo = vb::CStr(celda(columnaDe(kCodigo)));
        try {
          ponPrecioCodigo(codigo, numeroPegado(precio));
        } catch (const vb::Error& e) {
          // No number, or amounts too large: the message says which row.
          if (e.number() != 13 && e.number() != 6)
            throw;
          throw vb::Error(e.number(), e.description() + QStringLiteral(": el precio (") + vb::CStr(precio) +
                                          QStringLiteral(") del código ") + codigo + QStringLiteral(" no es válido"));
        }
      }
    } else if (forma == u"FrmPrograma" && columnaDe(kPartida) != 0 && columnaDe(kRenglon) != 0) {
      pegaRenglonPrograma();
    }
  } catch (const vb::Error& e) {
    if (e.number() == 3265)  // a missing field
      return;
    muestraError(QStringLiteral("pegaclipdetalle: "), e);
    // A bid that cannot be written (read-only, disk full or failing) takes none of the rows: said
    // once, and the paste ends.
    if (dao::FileRefusedWrite(e.number())) {
      continuarPegado = false;
      escrituraRechazada = true;
    }
  }
}

void actualizaPrecioCodigo(const QString& codigo, vb::Currency precio) {
  if (general::esNulo(codigo))
    return;
  if (!quarvel::dbObra)
    throw vb::Error(91);
  // The code goes into the statement as a literal: a quote in it is doubled, never read as SQL.
  QString literal = codigo;
  literal.replace(u'\'', QStringLiteral("''"));
  const std::shared_ptr<dao::Recordset> rs = quarvel::dbObra->OpenRecordset(
      QStringLiteral("select Codigo,Importe,Cantidad,Precio from Presupuesto where presupuesto.codigo ='") +
          literal + QStringLiteral("' "),
      dao::RecordsetType::Dynaset);
  for (; !rs->EOF_(); rs->MoveNext()) {
    if (rs->GetEditMode() == dao::EditMode::None)
      rs->Edit();
    rs->SetValue(QStringLiteral("Precio"), precio);
    rs->SetValue(QStringLiteral("Importe"),
                 KorGen::Redondea(vb::CDbl(rs->Value(QStringLiteral("Cantidad"))) * precio.toDouble()));
    rs->Update();
  }
  rs->Close();
}

vb::Currency ponPrecioCodigo(const QString& codigo, const vb::Variant& valor) {
  const vb::Currency precio = KorGen::Redondea(vb::CDbl(valor));
  dao::Workspace& espacio = dao::DBEngine::Workspaces(0);
  espacio.BeginTrans();
  try {
    actualizaPrecioCodigo(codigo, precio);
    espacio.CommitTrans();
  } catch (...) {
    espacio.Rollback();
    throw;
  }
  return precio;
}

namespace {

// Sign, "$", blanks and parentheses around a number, as VB reads them.
QString numeroCompleto(const char* numero) {
  const QString alrededor = QStringLiteral("[^0-9,.]*");
  return u'^' + alrededor + QString::fromLatin1(numero) + alrededor + u'$';
}

// Commas only between groups of three digits, before any decimal point, the first group not "0"
// ("0,500" groups no thousands). A text without a comma passes.
bool comasDeMiles(const vb::Variant& valor) {
  if (valor.type() != vb::VarType::String)
    return true;
  const QString texto = valor.toString();
  if (!texto.contains(u','))
    return true;
  static const QRegularExpression miles(numeroCompleto("[1-9][0-9]{0,2}(,[0-9]{3})+(\\.[0-9]*)?"));
  return miles.match(texto).hasMatch();
}

}  // namespace

bool esComaDecimal(const vb::Variant& valor) {
  if (valor.type() != vb::VarType::String || comasDeMiles(valor))
    return false;
  // Digits, or groups of three after points, then one comma and digits.
  static const QRegularExpression decimal(numeroCompleto("([0-9]+|[0-9]{1,3}(\\.[0-9]{3})+),[0-9]+"));
  return decimal.match(valor.toString()).hasMatch();
}

vb::Variant numeroPegado(const vb::Variant& celda) {
  if (!general::esNulo(celda) && !comasDeMiles(celda))
    throw vb::Error(13);
  return celda;
}

bool esNumero(const vb::Variant& valor) { return comasDeMiles(valor) && vb::IsNumeric(valor); }

vb::Variant valorColumnaPegada(int16_t columna, const vb::Variant& omision) {
  vb::Variant valor = omision.isNull() ? vb::Variant(QString()) : omision;
  const int16_t posicion = columnaDe(columna);
  if (posicion != 0 && !general::esNulo(celda(posicion)))
    valor = celda(posicion);
  if (columna == kPartida)
    valor = vb::Left(vb::CStr(valor), 40);
  return valor;
}

}  // namespace copiado
