#pragma once
// The report subsystem's part of the main window's registry (ventanas.h): the report window, opened by
// the print and preview commands, and the writers of the five report kinds it generates with. The
// program's main() calls it once, before the start; tests that drive the program call it too.
namespace ventanas {
struct Registro;
}

void registraVentanasReportes(ventanas::Registro& registro);
