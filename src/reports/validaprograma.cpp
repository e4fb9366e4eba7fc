// The quantity check of the schedule-based reports: every concept's quantity against the volumes
// programmed for it.
#include "escritores.h"

#include "dao.h"
#include "internos.h"
#include "puntero.h"
#include "quarvel.h"

namespace repgen {

namespace {

using detalle::comillas;

constexpr int kMaximoLineas = 1000;

// Volumes whose sum is not the concept's quantity.
const QString kSumasDiferentes = QStringLiteral(
    "SELECT Presupuesto.Partida, Presupuesto.Renglon,Presupuesto.Codigo,"
    " Sum(Programa.Volumen) AS SumaDeVolumen, PRESUPUESTO.CANTIDAD"
    " FROM Programa INNER JOIN Presupuesto ON "
    " (Presupuesto.Partida = Programa.Partida) AND "
    " (Programa.Renglon = Presupuesto.rENGLON) "
    " GROUP BY Presupuesto.Partida, Presupuesto.Renglon,Presupuesto.Codigo,PRESUPUESTO.CANTIDAD"
    " HAVING Sum(Programa.Volumen) <> presupuesto.cantidad");

QString texto(const vb::Variant& v) { return v.isNull() ? QString() : vb::CStr(v); }

ConceptoDiferente concepto(dao::Recordset& rs) {
  return {texto(rs.Value(QStringLiteral("Partida"))), texto(rs.Value(QStringLiteral("Renglon"))),
          texto(rs.Value(QStringLiteral("Codigo")))};
}

// The programmed total of every concept, in one transaction: all of it or nothing.
void actualizaTotalVol(dao::Database& db) {
  dao::Workspace& ws = dao::DBEngine::Workspaces(0);
  ws.BeginTrans();
  try {
    db.Execute(QStringLiteral("UPDATE Presupuesto SET TotalVol = 0"), dao::dbFailOnError);
    auto sumas = db.OpenRecordset(
        QStringLiteral("SELECT Partida, Renglon, SUM(Volumen) AS TotalVol FROM Programa GROUP BY Partida, Renglon"),
        dao::RecordsetType::ForwardOnly);
    for (; !sumas->EOF_(); sumas->MoveNext()) {
      const vb::Variant total = sumas->Value(QStringLiteral("TotalVol"));
      db.Execute(QStringLiteral("UPDATE Presupuesto SET TotalVol = TotalVol + ") +
                     (total.isNull() ? QStringLiteral("0") : total.toString()) +
                     QStringLiteral(" WHERE Partida = ") + comillas(texto(sumas->Value(QStringLiteral("Partida")))) +
                     QStringLiteral(" AND Renglon = ") + texto(sumas->Value(QStringLiteral("Renglon"))),
                 dao::dbFailOnError);
    }
    sumas->Close();
    ws.CommitTrans();
  } catch (...) {
    ws.Rollback();
    throw;
  }
}

void muestra(const std::vector<ConceptoDiferente>& conceptos) {
  puntero::Normal();
  muestraErrores(listaDiferencias(conceptos));
}

}  // namespace

QString listaDiferencias(const std::vector<ConceptoDiferente>& conceptos) {
  // Each column is filled to its width by the length of the value as stored.
  const auto columna = [](const QString& valor, int ancho) {
    return vb::LTrim(valor) + QString(std::max<qsizetype>(0, ancho - valor.size()), QLatin1Char(' '));
  };
  QString t = QStringLiteral("Diferencias de cantidades entre el Presupuesto y Programa de Obra\r\n");
  t += QStringLiteral("Partidas             Renglón      Código     \r\n");
  int lineas = 0;
  for (const ConceptoDiferente& c : conceptos) {
    if (lineas++ >= kMaximoLineas)
      break;
    const QString renglon = vb::LTrim(c.renglon);
    t += columna(c.partida, 21) + renglon + QString(std::max<qsizetype>(0, 13 - renglon.size()), QLatin1Char(' ')) +
         columna(c.codigo, 12) + QStringLiteral("\r\n");
  }
  return t;
}

bool validaCantidadesPrograma(bool muestraLista) {
  dao::Database& db = detalle::abierto(quarvel::dbObra);
  std::vector<ConceptoDiferente> conceptos;
  auto rs = db.OpenRecordset(kSumasDiferentes, dao::RecordsetType::ForwardOnly);
  if (!rs->EOF_()) {
    for (; !rs->EOF_() && int(conceptos.size()) < kMaximoLineas; rs->MoveNext())
      if (vb::Compare(rs->Value(QStringLiteral("SumaDeVolumen")), rs->Value(QStringLiteral("Cantidad"))) != 0)
        conceptos.push_back(concepto(*rs));
    rs->Close();
    if (muestraLista)
      muestra(conceptos);
    return true;
  }
  rs->Close();

  actualizaTotalVol(db);

  // A quantity with nothing programmed for it.
  rs = db.OpenRecordset(QStringLiteral("SELECT Presupuesto.Partida, Presupuesto.Renglon, Presupuesto.Codigo "
                                       "FROM Presupuesto WHERE Cantidad <> 0 AND TotalVol = 0"),
                        dao::RecordsetType::ForwardOnly);
  for (; !rs->EOF_() && int(conceptos.size()) < kMaximoLineas; rs->MoveNext())
    conceptos.push_back(concepto(*rs));
  rs->Close();
  if (conceptos.empty())
    return false;
  if (muestraLista)
    muestra(conceptos);
  return true;
}

}  // namespace repgen
