#pragma once
// The program-wide state of the open bid. Everything here starts empty or zero and is set by the code
// that opens and closes bids; the utilities read it from here and nowhere else.
#include "currency.h"

namespace quarvel {

// Rounding unit of amounts, in ten-thousandths: 10000 keeps no decimals, 100 keeps two, 1 keeps four.
// Set by general::CalculaRedondeo from the bid's Redondeo; the report window sets 100 while it works.
// Zero until a bid is opened, and KorGen::Redondea refuses to round with it (error 11).
inline vb::Currency unidadRedondeo;

}  // namespace quarvel
