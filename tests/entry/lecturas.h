#pragma once
// Readings of a bid that the entry tests compare, as text.
#include "dao.h"

#include <QStringList>

namespace entrytest {

// The first column of a query as text ("" for Null).
QStringList primeraColumna(dao::Database& db, const QString& sql);
// A concept's volumes as "period:volume", in period order.
QStringList volumenesDe(dao::Database& db, const QString& partida, int renglon);
// A concept's "FechaIni-FechaFin TotalVol".
QString conceptoDe(dao::Database& db, const QString& partida, int renglon);

}  // namespace entrytest
