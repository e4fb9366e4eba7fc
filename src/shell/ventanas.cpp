#include "ventanas.h"

namespace ventanas {

Registro& registro() {
  static Registro r;
  return r;
}

}  // namespace ventanas
