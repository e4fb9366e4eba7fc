#include "obra.h"

#include "general.h"
#include "quarvel.h"

#include <QDir>
#include <QFile>

namespace entrytest {

void ObraTest::SetUp() {
  ASSERT_TRUE(carpeta.isValid());
  ruta = carpeta.filePath(QStringLiteral("Ejemplo.mdb"));
  ASSERT_TRUE(QFile::copy(QDir(TORNAVO_BIN_DIR).filePath(QStringLiteral("Ejemplo.mdb")), ruta));
  QFile::setPermissions(ruta, QFile::ReadOwner | QFile::WriteOwner);

  using dao::RecordsetType;
  quarvel::dbObra = dao::DBEngine::OpenDatabase(ruta, true, false, quarvel::kConexion);
  dao::Database& db = *quarvel::dbObra;
  quarvel::rsDatosGenerales = db.OpenRecordset(QStringLiteral("SELECT * FROM DatosGenerales"), RecordsetType::Dynaset);
  quarvel::rsPresupuesto = db.OpenRecordset(QStringLiteral("SELECT * FROM Presupuesto"), RecordsetType::Dynaset);
  quarvel::rsPresupuestoClon = quarvel::rsPresupuesto->Clone();
  quarvel::rsPresupuestoClon2 = quarvel::rsPresupuesto->Clone();
  quarvel::rsMonedas = db.OpenRecordset(QStringLiteral("SELECT * FROM Monedas"), RecordsetType::Dynaset);
  quarvel::rsMonedasClon = quarvel::rsMonedas->Clone();
  quarvel::rsPrograma = db.OpenRecordset(QStringLiteral("SELECT * FROM Programa"), RecordsetType::Dynaset);
  general::CalculaRedondeo(quarvel::rsDatosGenerales->Value(QStringLiteral("Redondeo")));
  quarvel::edicion = 2;
  quarvel::obraAbierta = true;
}

void ObraTest::TearDown() {
  cierra();
  archivo_.reset();
  quarvel::tablaPeriodos.clear();
  quarvel::edicion = 2;
  quarvel::unidadRedondeo = {};
}

void ObraTest::cierra() {
  for (quarvel::RecordsetPtr* rs : {&quarvel::rsDatosGenerales, &quarvel::rsPresupuesto, &quarvel::rsPresupuestoClon,
                                    &quarvel::rsPresupuestoClon2, &quarvel::rsMonedas, &quarvel::rsMonedasClon,
                                    &quarvel::rsPrograma})
    rs->reset();
  if (quarvel::dbObra)
    quarvel::dbObra->Close();
  quarvel::dbObra.reset();
  quarvel::obraAbierta = false;
}

void ObraTest::dato(const QString& campo, const vb::Variant& valor) {
  dao::Recordset& datos = *quarvel::rsDatosGenerales;
  datos.Edit();
  datos.SetValue(campo, valor);
  datos.Update();
  if (campo == QLatin1String("Redondeo"))
    general::CalculaRedondeo(valor);
}

void ObraTest::sql(const QString& sentencia) { quarvel::dbObra->Execute(sentencia); }

std::shared_ptr<dao::Database> ObraTest::archivo() {
  if (!archivo_) {
    cierra();
    archivo_ = dao::DBEngine::OpenDatabase(ruta, false, true, quarvel::kConexion);
  }
  return archivo_;
}

QStringList ObraTest::columna(const QString& consulta) {
  QStringList valores;
  const auto rs = archivo()->OpenRecordset(consulta, dao::RecordsetType::Snapshot);
  for (; !rs->EOF_(); rs->MoveNext()) {
    const vb::Variant v = rs->Fields(0).Value();
    valores << (v.isNull() ? QString() : vb::CStr(v));
  }
  return valores;
}

int errorDe(const std::function<void()>& llamada) {
  try {
    llamada();
  } catch (const vb::Error& e) {
    return e.number();
  }
  return 0;
}

}  // namespace entrytest
