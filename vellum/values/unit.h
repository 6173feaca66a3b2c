// The unit record (tag 29): a unit expression and the powers of the base dimensions.
#pragma once

#include <vellum/values/anyval.h>

// The powers of the base dimensions: a 64-byte block the library copies whole and never reads.
struct UnitPowers {
  unsigned char bytes[64];
};
static_assert(sizeof(UnitPowers) == 64);

struct aUnit : Anyval {
  Anyval* expression;  // null when the unit is given by its powers alone
  UnitPowers powers;
};
VELLUM_LAYOUT(aUnit, expression, 4);
VELLUM_LAYOUT(aUnit, powers, 8);
VELLUM_LAYOUT_SIZE(aUnit, 72);
