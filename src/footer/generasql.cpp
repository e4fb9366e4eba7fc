#include "generasql.h"

#include "utilidades.h"
#include "msgbox.h"
#include "vbdate.h"

namespace footer {

namespace {

// Shows a trapped error as the builder's operations do.
void muestraError(const QString& prefijo, const vb::Error& e) {
  ui::MsgBox(prefijo + QString::number(e.number()) + u' ' + e.description(), ui::vbOKOnly);
}

QString comoTexto(const vb::Variant& v) { return v.isNull() ? QString() : v.toString(); }

QString entreComillas(const QString& texto) {
  return u'\'' + QString(texto).replace(u'\'', QLatin1String("''")) + u'\'';
}

// Text that has no text form (Null) is an error here, as in VB's string functions.
QString textoObligado(const vb::Variant& v) {
  if (v.isNull()) throw vb::Error(94);
  return v.toString();
}

QString numero(const vb::Variant& v) {
  const double d = general::esNulo(v) ? 0.0 : vb::CDbl(v);
  return vb::Variant(d).toString().replace(u',', u'.');
}

QString booleano(const vb::Variant& v) {
  return vb::CBool(general::esNulo(v) ? vb::Variant("0") : v) ? QStringLiteral("1") : QStringLiteral("0");
}

// A date as yyyy/mm/dd: the value when it is a date, else today.
QString fecha(const vb::Variant& v) {
  const double serial = vb::IsDate(v) ? vb::CDate(v) : vb::today();
  return vb::toQDate(serial).toString(QStringLiteral("yyyy/MM/dd"));
}

void reemplaza(QString& texto, const QString& antes, const QString& despues) {
  if (!antes.isEmpty()) texto.replace(antes, despues);
}

}  // namespace

// ---- colCampos ----

int colCampos::indice(const QString& campo) const {
  for (size_t i = 0; i < campos_.size(); ++i)
    if (campos_[i].Campo.compare(campo, Qt::CaseInsensitive) == 0) return int(i);
  return -1;
}

Campos* colCampos::Add(const QString& campo, const vb::Variant& valor) {
  if (indice(campo) >= 0 || valor.isNull()) return nullptr;
  campos_.push_back(Campos{campo, valor.toString()});
  return &campos_.back();
}

Campos* colCampos::Item(const QString& campo) {
  const int i = indice(campo);
  return i < 0 ? nullptr : &campos_[size_t(i)];
}

Campos* colCampos::Item(int32_t posicion) {
  return posicion < 1 || posicion > Count() ? nullptr : &campos_[size_t(posicion - 1)];
}

void colCampos::Remove(const QString& campo) {
  const int i = indice(campo);
  if (i >= 0) campos_.erase(campos_.begin() + i);
}

void colCampos::Remove(int32_t posicion) {
  if (posicion >= 1 && posicion <= Count()) campos_.erase(campos_.begin() + (posicion - 1));
}

void colCampos::RemoveAll() {
  while (Count() > 0) Remove(1);
}

// ---- GeneraSql ----

GeneraSql::GeneraSql() = default;

colCampos& GeneraSql::campos() {
  if (!campos_) campos_ = std::make_unique<colCampos>();
  return *campos_;
}

void GeneraSql::ParametrosSQL(const QString& tabla, int32_t tipo, bool conservar) {
  try {
    tabla_ = tabla;
    if (tipo < 0 || tipo > 255) throw vb::Error(6);
    tipo_ = uint8_t(tipo);
    if (!conservar) {
      condicion_.clear();
      campos().RemoveAll();
    }
  } catch (const vb::Error& e) {
    muestraError(QStringLiteral("Error en GeneraSQL.ParametrosSQL: "), e);
  }
}

QString GeneraSql::valorCondicion(int32_t tipo, const vb::Variant& valor) const {
  const bool nulo = general::esNulo(valor);
  switch (tipo) {
    case 1: return numero(valor);
    case 2: return nulo ? QStringLiteral("''") : entreComillas(textoObligado(valor));
    case 3: return booleano(valor);
    case 4: {
      const QString f = nulo ? QString() : fecha(valor);
      return tipoBaseDatos_ == 1 ? u'#' + f + u'#' : u'\'' + f + u'\'';
    }
    default: return comoTexto(valor);
  }
}

void GeneraSql::CondicionSQL(const QString& conector, const QString& campo, const QString& operador,
                             const vb::Variant& valor, int32_t tipo, bool literal) {
  try {
    const QString inicio = u' ' + conector + u' ' + campo + u' ' + operador + u' ';
    if (literal) condicion_ += inicio + comoTexto(valor);
    else condicion_ += inicio + valorCondicion(tipo, valor) + u' ';
  } catch (const vb::Error& e) {
    muestraError(QStringLiteral("Error en GeneraSQL.CondicionSQL: "), e);
  }
}

QString GeneraSql::valorCampo(const QString& campo, int32_t tipo, const vb::Variant& valor) const {
  const bool nulo = general::esNulo(valor);
  switch (tipo) {
    case 1: return numero(valor);
    case 2: {
      if (!nulo) return entreComillas(textoObligado(valor));
      const QString nombre = campo.toLower();
      if (nombre == QLatin1String("fichaid")) return QStringLiteral("'FichaId'");
      if (nombre == QLatin1String("codprov")) return QStringLiteral("'CodProv'");
      if (nombre == QLatin1String("familia")) return QStringLiteral("'FAMILIA'");
      return QStringLiteral("' '");
    }
    case 3: return booleano(valor);
    case 4: return u'\'' + fecha(valor) + u'\'';
    default: return entreComillas(textoObligado(valor));
  }
}

void GeneraSql::DameValores(const QString& campo, int32_t tipo, const vb::Variant& valor) {
  try {
    // Only a text can hold an IIF; any other value keeps its type, so that a Boolean or a date given
    // as a number is read as one (-1/0, the date's serial).
    vb::Variant v = valor;
    if (v.isString() && !general::esNulo(v))
      v = vb::Variant(QString(v.rawString()).replace(QLatin1String("iif("), QLatin1String("IIF(")));
    vb::Variant texto;
    if (tipo >= 0 && tipo <= 4 && v.isString() && v.rawString().contains(QLatin1String("IIF(")))
      texto = vb::Variant(DameCadenaIIF(v, tipo));
    else if (tipo == 0)
      texto = v;
    else
      texto = vb::Variant(valorCampo(campo, tipo, v));
    campos().Add(campo, texto);
  } catch (const vb::Error& e) {
    muestraError(QStringLiteral("Error en la Clase GeneraSQL.DameValores: "), e);
  }
}

QString GeneraSql::DameCadenaIIF(const vb::Variant& valor, int32_t tipo) {
  try {
    const QString s = textoObligado(valor);
    const qsizetype abre = s.indexOf(u'(');
    const qsizetype coma1 = s.indexOf(u',');
    const qsizetype coma2 = coma1 < 0 ? -1 : s.indexOf(u',', coma1 + 1);
    if (abre < 0 || coma1 < abre || coma2 < 0 || s.size() - coma2 - 2 < 0) throw vb::Error(5);
    const QString condicion = s.mid(abre + 1, coma1 - abre - 1);
    const QString a = s.mid(coma1 + 1, coma2 - coma1 - 1);
    const QString b = s.mid(coma2 + 1, s.size() - coma2 - 2);
    auto formatea = [tipo](const QString& rama) {
      switch (tipo) {
        case 2: return entreComillas(rama);
        case 3: return booleano(vb::Variant(rama));
        case 4: return u'\'' + fecha(vb::Variant(rama)) + u'\'';
        default: return rama;
      }
    };
    const QString fa = formatea(a), fb = formatea(b);
    switch (tipoBaseDatos_) {
      case 1: {
        QString r = s;
        reemplaza(r, a, fa);
        reemplaza(r, b, fb);
        return r;
      }
      case 2:
      case 3:
        return QStringLiteral("CASE WHEN ") + condicion + QStringLiteral(" THEN ") + fa + QStringLiteral(" ELSE ") +
               fb + QStringLiteral(" END");
      default: return QString();
    }
  } catch (const vb::Error& e) {
    muestraError(QStringLiteral("Error en GeneraSQL.DameCadenaIIF: "), e);
    return QString();
  }
}

QString GeneraSql::DameSentencia() {
  try {
    const std::vector<Campos>& lista = campos().lista();
    QString s;
    if (tipo_ == 2) {
      s = QStringLiteral("UPDATE ") + tabla_ + QStringLiteral(" SET ");
      for (size_t i = 0; i < lista.size(); ++i)
        s += (i ? QStringLiteral(", ") : QString()) + lista[i].Campo + QStringLiteral(" = ") + lista[i].Valor;
      if (!condicion_.isEmpty()) s += QStringLiteral(" WHERE ") + condicion_;
    } else if (tipo_ == 1) {
      QStringList nombres, valores;
      for (const Campos& c : lista) {
        nombres << c.Campo;
        valores << c.Valor;
      }
      s = QStringLiteral("INSERT INTO ") + tabla_ + u'(' + nombres.join(QStringLiteral(", ")) +
          QStringLiteral(") VALUES(") + valores.join(QStringLiteral(", ")) + u')';
    } else {
      s = QStringLiteral("DELETE FROM ") + tabla_;
      if (!condicion_.isEmpty()) s += QStringLiteral(" WHERE ") + condicion_;
    }
    return s;
  } catch (const vb::Error& e) {
    muestraError(QStringLiteral("Error en GeneraSQL.DameSentencia: "), e);
    return QString();
  }
}

void GeneraSql::Remueve(const vb::Variant& campo) {
  if (campo.isNumber()) campos().Remove(vb::CLng(campo));
  else if (campo.isString()) campos().Remove(campo.rawString());
}

QString GeneraSql::CadenaOk(const vb::Variant& valor, int32_t tipo, bool comillas) {
  try {
    switch (tipo) {
      case 1: return numero(valor);
      case 2: {
        const QString t = textoObligado(valor);
        return comillas ? entreComillas(t) : QString(t).replace(u'\'', QLatin1String("''"));
      }
      case 3: return vb::CBool(valor) ? QStringLiteral("1") : QStringLiteral("0");
      case 4: {
        const QString f = fecha(valor);
        if (vb::IsDate(valor)) return tipoBaseDatos_ == 1 ? u'#' + f + u'#' : u'\'' + f + u'\'';
        return comillas ? u'\'' + f + u'\'' : f;
      }
      default: return textoObligado(valor);
    }
  } catch (const vb::Error& e) {
    muestraError(QStringLiteral("Error en GeneraSQL.CadenaOK: "), e);
    return QString();
  }
}

QString GeneraSql::analizaSqlLike(const QString& sentencia, bool soloFinal) {
  try {
    QString s = QString(sentencia).replace(QLatin1String("like"), QLatin1String("LIKE"));
    const QString escape = tipoBaseDatos_ == 1 ? QStringLiteral("[%]") : QStringLiteral("*%");
    qsizetype desde = 0;
    for (;;) {
      const qsizetype like = s.indexOf(QLatin1String("LIKE"), desde);
      if (like < 0) break;
      const qsizetype abre = s.indexOf(u'\'', like);
      const qsizetype cierra = abre < 0 ? -1 : s.indexOf(u'\'', abre + 1);
      if (cierra < 0) throw vb::Error(5);
      const QString patron = s.mid(abre, cierra - abre + 1);
      if (patron.contains(u'%')) {
        QString nuevo = QString(patron).replace(u'%', escape);
        if (nuevo.endsWith(escape + u'\'')) nuevo.replace(nuevo.size() - 1 - escape.size(), escape.size(), QStringLiteral("%"));
        if (!soloFinal && nuevo.mid(1).startsWith(escape)) nuevo.replace(1, escape.size(), QStringLiteral("%"));
        const QString resto = s.mid(cierra + 1);
        const bool conEscape = tipoBaseDatos_ != 1 && nuevo.contains(QLatin1String("*%"));
        s = s.left(abre) + nuevo + (conEscape ? QStringLiteral(" ESCAPE '*' ") : QString()) + resto;
      }
      desde = like + 4;
    }
    return s;
  } catch (const vb::Error& e) {
    muestraError(QStringLiteral("Error en GeneraSQL.analizaSqlLike: "), e);
    return QString();
  }
}

}  // namespace footer
