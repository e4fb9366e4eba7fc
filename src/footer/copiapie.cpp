#include "copiapie.h"

#include "objgenerasql.h"

#include "dao.h"
#include "quarvel.h"
#include "variant.h"

namespace footer {

GeneraSql& objGeneraSql() {
  static GeneraSql instancia;
  return instancia;
}

namespace {

QString texto(const vb::Variant& v) {
  QString t = v.isNull() || v.isEmpty() ? QString() : v.toString();
  t.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// A number never entered is written as 0: the row is copied whole.
QString numero(const vb::Variant& v) {
  if (v.isNull() || v.isEmpty()) return QStringLiteral("0");
  return vb::numberText(v.toDouble());
}

QString marca(const vb::Variant& v) {
  if (v.isNull() || v.isEmpty()) return QStringLiteral("0");
  return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

QString sentenciaInsertaPie(dao::Recordset& r) {
  QStringList valores;
  valores << numero(r.Value(QStringLiteral("Renglon"))) << texto(r.Value(QStringLiteral("Texto")));
  for (int k = 1; k <= 9; ++k) valores << numero(r.Value(QStringLiteral("Renglon%1").arg(k)));
  valores << texto(r.Value(QStringLiteral("Operacion"))) << numero(r.Value(QStringLiteral("Factor")))
          << texto(r.Value(QStringLiteral("Porcen"))) << numero(r.Value(QStringLiteral("Total")))
          << numero(r.Value(QStringLiteral("RenglonFactor2"))) << marca(r.Value(QStringLiteral("ImprimirRenglon")))
          << marca(r.Value(QStringLiteral("ImprimirBase"))) << marca(r.Value(QStringLiteral("ImprimirRaya")))
          << numero(r.Value(QStringLiteral("FactorDls")));
  return QStringLiteral(
             "INSERT INTO Pie (Renglon,texto,renglon1,renglon2,renglon3,renglon4,renglon5,renglon6,renglon7,"
             "renglon8,renglon9,operacion,factor,porcen,total,renglonfactor2,ImprimirRenglon,imprimirbase,"
             "ImprimirRaya,FactorDls)  VALUES (") +
         valores.join(QLatin1Char(',')) + QLatin1Char(')');
}

void todoONada(const std::function<void()>& paso) {
  dao::Workspace& ws = dao::DBEngine::Workspaces(0);
  ws.BeginTrans();
  try {
    paso();
    ws.CommitTrans();
  } catch (...) {
    ws.Rollback();
    throw;
  }
}

void copiaAPie(dao::Recordset& filas) {
  todoONada([&] {
    quarvel::dbObra->Execute(QStringLiteral("DELETE FROM Pie"));
    for (; !filas.EOF_(); filas.MoveNext()) quarvel::dbObra->Execute(sentenciaInsertaPie(filas));
  });
}

QString textoError(const QString& prefijo, const vb::Error& e, const QString& separador) {
  return prefijo + QString::number(e.number()) + separador + e.description();
}

}  // namespace footer
