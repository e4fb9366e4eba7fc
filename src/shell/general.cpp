#include "general.h"

#include "dao.h"
#include "quarvel.h"
#include "utilidades.h"
#include "vbdate.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace general {

void CalculaRedondeo(const vb::Variant& redondeo) {
  vb::Currency unidad = vb::Currency::fromInt(10000);
  const auto comparacion = vb::Compare(redondeo, vb::Variant(int16_t{0}));
  if (comparacion && *comparacion > 0) {
    const double decimales = vb::CDbl(redondeo);
    // Past eight decimals the unit stays 0; no need to keep dividing.
    for (int i = 1; i <= decimales && unidad.scaled() != 0; ++i)
      unidad = vb::Currency::fromDouble(unidad.toDouble() / 10);
  }
  quarvel::unidadRedondeo = unidad;
}

void CalculaRedondeo() {
  if (!quarvel::rsDatosGenerales)
    throw vb::Error(91);
  CalculaRedondeo(quarvel::rsDatosGenerales->Value(QStringLiteral("Redondeo")));
}

void descargaObjetos() {
  objListaOpciones.reset();
  objGeneraSql.reset();
}

bool MonedaEnUso(const QString& moneda) {
  if (!quarvel::rsPresupuestoClon)
    throw vb::Error(91);
  // The code goes into the criteria as a literal: a quote in it is doubled, never read as criteria.
  QString literal = moneda;
  literal.replace(u'\'', QStringLiteral("''"));
  quarvel::rsPresupuestoClon->FindFirst(QStringLiteral("Moneda = '") + literal + u'\'');
  return !quarvel::rsPresupuestoClon->NoMatch();
}

int32_t CuentaBuscaPre(const vb::Variant& partida, const vb::Variant& renglon) {
  if (!quarvel::qdBuscaPre || !quarvel::rsBuscaPre)
    throw vb::Error(91);
  quarvel::qdBuscaPre->Parameters(QStringLiteral("CPartida")).SetValue(partida);
  quarvel::qdBuscaPre->Parameters(QStringLiteral("CRenglon")).SetValue(renglon);
  quarvel::rsBuscaPre->Requery();
  return static_cast<int32_t>(quarvel::rsBuscaPre->RecordCount());
}

QString ArchivoPrograma(const QString& nombre) {
  return dao::DBEngine::ResolvePath(quarvel::rutaPrograma + u'/' + nombre);
}

bool MismaObra(const QString& a, const QString& b) {
  const auto archivo = [](const QString& ruta) {
    const QString abierto = dao::DBEngine::ResolvePath(vb::Trim(ruta));
    const QString canonico = QFileInfo(abierto).canonicalFilePath();
    return canonico.isEmpty() ? QDir::cleanPath(abierto) : canonico;
  };
  return archivo(a) == archivo(b);
}

void SeparaRuta(const QString& ruta, QString& carpeta, QString& archivo) {
  const qsizetype corte = std::max(ruta.lastIndexOf(u'/'), ruta.lastIndexOf(u'\\')) + 1;
  carpeta = ruta.left(corte);
  archivo = ruta.mid(corte);
}

namespace {

void cuentaUno(int16_t& cuenta) {
  if (cuenta == INT16_MAX)
    throw vb::Error(6);
  ++cuenta;
}

bool finDeQuincena(double dia) {
  return vb::day(dia) == 15 || vb::day(dia + 1) == 1;
}

}  // namespace

int16_t CuentaPeriodos(const vb::Variant& fechaIni, const vb::Variant& fechaFin, int16_t periodicidad) {
  if (esNulo(fechaIni) || esNulo(fechaFin) || !vb::IsDate(fechaIni) || !vb::IsDate(fechaFin))
    return 0;
  if (periodicidad < 1 || periodicidad > 4)
    return 0;
  const double ini = vb::CDate(fechaIni);
  const double fin = vb::CDate(fechaFin);
  if (periodicidad == 4)
    return vb::CInt(vb::Variant(fin - ini + 1));

  // Walk the days from ini to fin; the count overflows long before the walk gets long.
  int16_t cuenta = 0;
  if (periodicidad == 1) {
    cuenta = 1;
    int mes = vb::month(ini);
    for (int64_t k = 0; ini + k <= fin; ++k) {
      const int m = vb::month(ini + k);
      if (m != mes) {
        cuentaUno(cuenta);
        mes = m;
      }
    }
  } else if (periodicidad == 2) {
    for (int64_t k = 0; ini + k <= fin; ++k) {
      if (finDeQuincena(ini + k))
        cuentaUno(cuenta);
    }
    if (!finDeQuincena(fin))
      cuentaUno(cuenta);
  } else {
    constexpr int domingo = 1;
    for (int64_t k = 0; ini + k <= fin; ++k) {
      if (vb::weekday(ini + k) == domingo)
        cuentaUno(cuenta);
    }
    if (vb::weekday(fin) != domingo)
      cuentaUno(cuenta);
  }
  return cuenta;
}

}  // namespace general
