#pragma once
// A bid opened into the program-wide state of quarvel as the program opens one, and that state let
// go after the test, so that the next test starts from the state the program starts with. Only for
// tests that link the shell.
#include "dao.h"
#include "maneobra.h"
#include "quarvel.h"

namespace testsupport {

// Opens the bid at ruta as the program does: exclusive, with its shared recordsets, the flag set.
inline void abreObra(const QString& ruta) {
  quarvel::dbObra = dao::DBEngine::OpenDatabase(ruta, true, false, quarvel::kConexion);
  maneobra::abreRecordSets();
  quarvel::obraAbierta = true;
}

// Closes the open bid: every shared recordset and query on it let go, the database closed.
inline void cierraObra() { maneobra::SueltaObra(); }

// The bid and the library database closed, the paths empty, the flags down, edition 2, no period table
// and no rounding unit: quarvel as the program starts.
inline void reiniciaQuarvel() {
  using namespace quarvel;
  maneobra::SueltaObra();
  maneobra::CierraBiblioteca();
  carpetaObra = archivoObra = rutaObra = rutaPrograma = QString();
  tablaPeriodos.clear();
  edicion = 2;
  banderaDatGen = false;
  unidadRedondeo = vb::Currency();
  destinoReporte = 0;
}

}  // namespace testsupport
