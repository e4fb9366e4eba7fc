#include "obra.h"

#include "lecturas.h"

#include "copia_programa.h"
#include "estado_quarvel.h"
#include "general.h"
#include "maneobra.h"
#include "quarvel.h"

#include <QDir>
#include <QFile>

namespace entrytest {

void ObraTest::SetUp() {
  ASSERT_TRUE(carpeta.isValid());
  ruta = carpeta.filePath(QStringLiteral("Ejemplo.mdb"));
  ASSERT_TRUE(testsupport::copiaDelPrograma(QStringLiteral("Ejemplo.mdb"), ruta));

  testsupport::abreObra(ruta);
  ASSERT_TRUE(quarvel::rsDatosGenerales && quarvel::rsPresupuestoClon && quarvel::rsMonedasClon);
  ASSERT_EQ(quarvel::unidadRedondeo, vb::Currency::fromInt(100));  // two decimals
  quarvel::edicion = 2;
}

void ObraTest::TearDown() {
  testsupport::reiniciaQuarvel();
  archivo_.reset();
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
    testsupport::cierraObra();
    archivo_ = dao::DBEngine::OpenDatabase(ruta, false, true, quarvel::kConexion);
  }
  return archivo_;
}

QStringList ObraTest::columna(const QString& consulta) { return primeraColumna(*archivo(), consulta); }

QStringList ObraTest::volumenes(const QString& partida, int renglon) {
  return volumenesDe(*archivo(), partida, renglon);
}

QString ObraTest::concepto(const QString& partida, int renglon) { return conceptoDe(*archivo(), partida, renglon); }

}  // namespace entrytest
