#include "registroreportes.h"

#include "escritores.h"
#include "frmrep.h"
#include "ventanas.h"

void registraVentanasReportes(ventanas::Registro& r) {
  r.frmRep = [](bool modal) { frmRep::Muestra(modal); };
  for (int tipo = 0; tipo < repgen::kTiposReporte; ++tipo)
    frmRep::escritores()[size_t(tipo)] = repgen::escritorReporte(tipo);
}
