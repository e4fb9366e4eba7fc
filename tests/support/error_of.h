#pragma once
// The number of the vb::Error a call raises, for tests of code that fails the way VB code does.
#include "error.h"

#include <QString>

// The number of the vb::Error the call raises; 0 when it raises none. description, when given,
// receives the error's description.
template <typename F>
int errorOf(F&& call, QString* description = nullptr) {
  try {
    call();
  } catch (const vb::Error& e) {
    if (description)
      *description = e.description();
    return e.number();
  }
  return 0;
}
