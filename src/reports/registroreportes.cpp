#include "registroreportes.h"

#include "frmrep.h"
#include "ventanas.h"

void registraVentanasReportes(ventanas::Registro& r) {
  r.frmRep = [](bool modal) { frmRep::Muestra(modal); };
}
