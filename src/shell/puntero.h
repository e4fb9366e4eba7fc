#pragma once
// The program-wide mouse pointer: one value, set rather than stacked, so that putting it back to the
// default after a long step always gives the normal pointer whatever was set before.
namespace puntero {

void Reloj();   // the hourglass
void Normal();  // the default pointer

}  // namespace puntero
