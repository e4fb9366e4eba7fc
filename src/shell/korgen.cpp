#include "korgen.h"

#include "quarvel.h"

#include <QFileInfo>
#include <array>
#include <cmath>
#include <utility>

namespace {

KorGen::ConsultaImpresora& consultaImpresora() {
  static KorGen::ConsultaImpresora consulta;
  return consulta;
}

// Digit words of the groups, indexed by the digit. The blanks around them are part of the printed
// text, and the amount-in-words lines are compared letter for letter.
const std::array<const char*, 10> unidades = {
    "", " UN ", " DOS ", " TRES ", " CUATRO ", " CINCO ", " SEIS ", " SIETE ", " OCHO ", " NUEVE "};
const std::array<const char*, 10> dieces = {
    " DIEZ ", " ONCE ", " DOCE ", " TRECE ", " CATORCE ",
    " QUINCE ", " DIECISEIS ", " DIECISIETE ", " DIECIOCHO ", " DIECINUEVE "};
const std::array<const char*, 10> veintes = {
    " VEINTE ", " VEINTIUN ", " VEINTIDOS ", " VEINTITRES ", " VEINTICUATRO ",
    " VEINTICINCO ", " VEINTISEIS ", " VEINTISIETE ", " VEINTIOCHO ", " VEINTINUEVE "};
const std::array<const char*, 10> decenas = {
    "", "", "", " TREINTA ", " CUARENTA ", " CINCUENTA ", " SESENTA ", " SETENTA ", " OCHENTA ", " NOVENTA "};
const std::array<const char*, 10> centenas = {
    "", "", " DOSCIENTOS ", " TRESCIENTOS ", " CUATROCIENTOS ",
    " QUINIENTOS ", " SEISCIENTOS ", " SETECIENTOS ", " OCHOCIENTOS ", " NOVECIENTOS "};

const std::array<const char*, 10> units = {
    "", " ONE ", " TWO ", " THREE ", " FOUR ", " FIVE ", " SIX ", " SEVEN ", " EIGHT ", " NINE "};
const std::array<const char*, 10> teens = {
    " TEN ", " ELEVEN ", " TWELVE ", " THIRTEEN ", " FOURTEEN ",
    " FIFTEEN ", " SIXTEEN ", " SEVENTEEN ", " EIGHTEEN ", " NINETEEN "};
const std::array<const char*, 10> tens = {
    "", "", " TWENTY ", " THIRTY ", " FORTY ", " FIFTY ", " SIXTY ", " SEVENTY ", " EIGHTY ", " NINETY "};

struct Digitos {
  int centena = 0, decena = 0, unidad = 0;
};

// The hundreds, tens and units digits of a group. Groups come from whole parts of an amount and
// the words cover 1..999 only; a larger group would print a wrong amount, so it is refused.
Digitos digitos(int64_t n) {
  if (n < 0 || n > 999)
    throw vb::Error(6);
  return {static_cast<int>(n / 100), static_cast<int>(n / 10 % 10), static_cast<int>(n % 10)};
}

constexpr int64_t escala = vb::Currency::Scale;

}  // namespace

vb::Currency KorGen::valX(const vb::Variant& v) {
  try {
    if (vb::IsNumeric(v))
      return vb::CCur(v);
  } catch (const vb::Error&) {
    // A number beyond Currency's range counts as not numeric.
  }
  return {};
}

bool KorGen::HayImpresora() {
  const ConsultaImpresora& consulta = consultaImpresora();
  if (!consulta)
    return false;
  try {
    return consulta();
  } catch (...) {
    return false;
  }
}

void KorGen::setConsultaImpresora(ConsultaImpresora consulta) {
  consultaImpresora() = std::move(consulta);
}

bool KorGen::ExistePath(const QString& ruta) {
  if (ruta.isEmpty())
    return false;
  const QFileInfo info(ruta);
  return info.isDir() && info.isExecutable();
}

bool KorGen::ExisteArchivo(const QString& ruta) {
  return !ruta.isEmpty() && QFileInfo(ruta).isFile();
}

bool KorGen::esNuloRep(const vb::Variant& v) {
  if (v.isNull())
    return true;
  const QString texto = vb::CStr(v);
  return vb::Trim(texto).isEmpty() || texto == QLatin1String("#VALUE!");
}

double KorGen::redondeaEspecial(double x, int16_t n) {
  const double paso = std::pow(10.0, 4 - n);
  return vb::Currency::fromDouble(x / paso).toDouble() * paso;
}

vb::Currency KorGen::Redondea(double x) {
  const vb::Currency unidad = quarvel::unidadRedondeo;
  if (unidad.scaled() == 0)
    throw vb::Error(11);
  // The 1e-7 lifts an exact half of the last kept decimal, which the binary double may hold a hair
  // below the half, over it; the Currency conversion then rounds the rest half to even.
  return vb::Currency::fromDouble((x + 1e-7) / unidad.toDouble()) * unidad;
}

vb::Currency KorGen::RedondeaSuperior(double x) {
  const double s = x + 1e-11;
  vb::Currency r = vb::Currency::fromDouble(s / 10000) * vb::Currency::fromInt(10000);
  // Compared as Currency, s has lost the 1e-11 again: a whole amount stays where it is.
  if (r < vb::Currency::fromDouble(s))
    r += vb::Currency::fromInt(1);
  return r;
}

QString KorGen::Conlet(vb::Currency importe, const QString& idioma, const QString& moneda,
                       const QString& sufijo) {
  const QString lengua = vb::UCase(idioma);
  const bool espanol = lengua == QLatin1String("E");
  constexpr int64_t mil = 1000 * escala;
  constexpr int64_t millon = 1000 * mil;
  constexpr int64_t milMillones = 1000 * millon;

  QString texto = QStringLiteral("(*");
  int64_t resto = importe.scaled();
  // The whole groups of the given size, taken off what is left (truncated towards zero, as Fix).
  const auto grupo = [&resto](int64_t tamano) {
    const int64_t n = resto / tamano;
    resto -= n * tamano;
    return n;
  };

  const int64_t b = grupo(milMillones);
  if (b > 0)
    texto += Conmil(b, lengua) + (espanol ? " MIL " : " THOUSAND ");

  const int64_t m = grupo(millon);
  if (m > 0)
    texto += Conmil(m, lengua);
  // The millions word depends on the whole amount, so it follows billions even with no millions.
  // "DE" goes before the currency only when every digit after the first is zero.
  const QString cifras = importe.toString().mid(1);
  if (importe.scaled() >= millon && importe.scaled() < 2 * millon) {
    if (cifras == QLatin1String("000000"))
      texto += espanol ? " MILLON DE " : " MILLION OF ";
    else
      texto += espanol ? " MILLON " : " MILLION ";
  } else if (importe.scaled() >= 2 * millon) {
    if (vb::Val(cifras) == 0)
      texto += espanol ? " MILLONES DE " : " MILLIONS OF ";
    else
      texto += espanol ? " MILLONES " : " MILLIONS ";
  }

  const int64_t t = grupo(mil);
  if (t > 0)
    texto += Conmil(t, lengua) + (espanol ? " MIL " : "THOUSAND");

  const int64_t u = grupo(escala);
  texto += u > 0 ? Conmil(u, lengua) : QStringLiteral(" 0");

  const QString centavos = vb::Currency::fromScaled(resto * 100).toString();
  return texto + " " + moneda + " " + centavos + "/100 " + " " + sufijo + " *)";
}

QString KorGen::Conmil(int64_t n, const QString& idioma) {
  if (idioma == QLatin1String("I"))
    return Conmili(n);
  const Digitos g = digitos(n);
  QString texto;
  if (g.centena == 1)
    texto += g.decena == 0 && g.unidad == 0 ? " CIEN " : " CIENTO";
  else
    texto += centenas[g.centena];
  if (g.decena >= 3) {
    texto += decenas[g.decena];
    if (g.unidad >= 1)
      texto += " Y ";
  } else if (g.decena == 2) {
    texto += veintes[g.unidad];
  } else if (g.decena == 1) {
    texto += dieces[g.unidad];
  }
  if (g.decena != 1 && g.decena != 2)
    texto += unidades[g.unidad];
  return texto;
}

QString KorGen::Conmili(int64_t n) {
  const Digitos g = digitos(n);
  QString texto;
  if (g.centena >= 1)
    texto += QString::fromLatin1(units[g.centena]) + " HUNDRED ";
  if (g.decena == 1)
    texto += teens[g.unidad];
  else
    texto += QString::fromLatin1(tens[g.decena]) + units[g.unidad];
  return texto;
}
