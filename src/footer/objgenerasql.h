#pragma once
// The program-wide SQL statement builder, shared by the footer grid, the footer evaluation and the
// footer-format save; created on first use.
#include "generasql.h"

namespace footer {

GeneraSql& objGeneraSql();

}  // namespace footer
