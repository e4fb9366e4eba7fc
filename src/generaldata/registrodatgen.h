#pragma once
// The general-data dialog's part of the main window's registry (ventanas.h): the tools miverparametros,
// mnuInd and Indirectos show it modal. The program's main() calls it once, before the start; tests
// that drive the program call it too.
namespace ventanas {
struct Registro;
}

void registraVentanaDatGen(ventanas::Registro& registro);
