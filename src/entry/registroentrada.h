#pragma once
// The entry subsystem's part of the main window's registry (ventanas.h): its windows, the edit and grid
// commands on the active child window, the refresh after a paste and the pre-print checks. The
// program's main() calls it once, before the start; tests that drive the program call it too.
namespace ventanas {
struct Registro;
}

void registraVentanasEntrada(ventanas::Registro& registro);
