#pragma once
// The bid file's structure against the template bid "TORNAVO.KOR" of the program folder: the
// comparison, the upgrade in place (what is missing is added) and the rebuild (a copy of the
// template receives the bid's data and takes the bid's place).
//
// The bid-opening code calls VerificaEstructura(ruta) before it opens a bid exclusively:
//
//   if (!VERIFICA::VerificaEstructura(ruta)) return;   // not opened: refused, or upgrade failed
//
// The bid must not be open in this program while it runs (the upgrade opens it exclusively and the
// compaction needs it closed). Table, field and query names match ignoring letter case; tables
// whose name begins with "msys" are never compared, created or copied.
#include <QString>

namespace dao {
class Database;
class Field;
class TableDef;
}  // namespace dao

namespace VERIFICA {

// Results of ComparaEstructura, most severe last.
enum Resultado : int {
  kIgual = 1,         // same structure
  kFaltante = 2,      // a saved query, table or field is missing, or a query's SQL differs
  kDiferente = 3,     // a field differs in type or size (or, completo, in Required/DefaultValue/AllowZeroLength)
};

// True when the bid at ruta may be opened. The same structure: true with no question. Otherwise the
// user is asked "La estructura de la obra no corresponde a la actual, ¿Deseas actualizarla?"; No
// leaves the file untouched and gives false. Yes upgrades it in place (missing objects) or rebuilds
// it (changed fields), compacts it (leaving the ".bak" copy beside it), tells "La estructura se
// actualizó satisfactoriamente" and gives true; a failed upgrade or rebuild gives false. The upgrade
// is one transaction, the rebuilt copy takes the bid's place in one step, and what an interrupted
// rebuild or compaction left beside the bid is removed, so that the bid is always the old one or
// the whole new one.
// Errors of the comparison itself (the template or the bid missing or unreadable: 3024 names the
// file, 3044 the folder; 3356 the bid is held by another program) reach the caller as vb::Error,
// with nothing changed.
bool VerificaEstructura(const QString& ruta);

// Compares the bid at ruta (opened read-only) with the template plantilla, a file name of the
// program folder (quarvel::rutaPrograma), both opened with conexion. Every query, table and field
// is visited; the answer is the most severe difference. Errors reach the caller.
int ComparaEstructura(const QString& ruta, const QString& plantilla, const QString& conexion, bool completo);

// Adds to the bid (opened exclusively) the template's missing queries, tables and fields and sets
// the SQL of the queries whose text differs, all or nothing: on an error the bid is left as it was,
// the error is shown and the answer is false.
bool ActualizaEstructura(const QString& ruta);

// Rebuilds the bid: a copy of the template, made in the bid's folder, receives the rows of every
// table the bid shares with it (fields the template lacks are dropped, texts too long for their
// field are cut to its size, values that do not convert to the field's type are left out), then
// takes the bid's place in one step. Other errors ask Abort/Retry/Ignore: Abort gives false, Retry repeats the
// step, Ignore goes on with the next one (a row whose saving is ignored is left out). The bid is
// replaced only when everything got through; otherwise it stays untouched and the copy is removed.
bool Importaobra(const QString& ruta);

bool ExisteTabla(dao::Database& db, const QString& tabla);
bool ExisteCampo(dao::Database& db, const QString& tabla, const QString& campo);
bool ExisteConsulta(dao::Database& db, const QString& nombre);
// The SQL text of the saved query nombre, "" when there is none.
QString DameSqlConsulta(dao::Database& db, const QString& nombre);

// A table named as modelo, with every field of modelo (CreaCampo) and its keys and indexes.
void CreaTabla(dao::Database& db, dao::TableDef& modelo);
// A field as modelo (Name, Type, Size, Required, DefaultValue, and AllowZeroLength for texts)
// appended to tabla; on a table of a database the column is added to it.
void CreaCampo(dao::TableDef& tabla, const dao::Field& modelo);

// The rebuild's copy of the bid at ruta: beside the bid's file (a symbolic link followed), named after
// it ("obra.mdb.~reconstruye"), so that a copy an interrupted rebuild left is known and removed the
// next time the bid is checked.
QString DameNombreTemporal(const QString& ruta);

// Copies every row of origen's table into db's table of the same name with one statement
// " INSERT INTO t select * from <origen>.t;"; false on any error (nothing copied then).
bool CopiaDatosTabla(dao::Database& db, const QString& tabla, const QString& origen);

}  // namespace VERIFICA
