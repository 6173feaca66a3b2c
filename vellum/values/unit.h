// The unit record (tag 29): a unit expression and the powers of the base dimensions.
#pragma once

#include <vellum/values/allocator.h>

// The powers of the base dimensions: a 64-byte block the library copies whole and never reads.
struct UnitPowers {
  unsigned char bytes[64];
};
static_assert(sizeof(UnitPowers) == 64);

struct aUnit : Anyval {
  Anyval* expression;  // null when the unit is given by its powers alone
  UnitPowers powers;

  // A unit given by its expression; the powers are left as allocated.
  VELLUM_API static aUnit* mk(IvlAllocator* allocator, Anyval* expression);
  // A unit given by its powers, copied whole; no expression.
  VELLUM_API static aUnit* mk(IvlAllocator* allocator, UnitPowers const& powers);
};
VELLUM_LAYOUT(aUnit, expression, 4);
VELLUM_LAYOUT(aUnit, powers, 8);
VELLUM_LAYOUT_SIZE(aUnit, 72);
