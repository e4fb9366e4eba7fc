#include "registrodatgen.h"

#include "frmdatgen.h"
#include "ventanas.h"

void registraVentanaDatGen(ventanas::Registro& r) { r.FrmDatGen = FrmDatGen::Muestra; }
