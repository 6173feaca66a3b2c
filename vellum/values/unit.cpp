#include <vellum/values/unit.h>

#include <vellum/values/construct.h>

aUnit* aUnit::mk(IvlAllocator* allocator, Anyval* expression) {
  auto* record = vellum::make_record<aUnit>(allocator, &IvlAllocator::AllocUnit, ValueTag::Unit);
  record->expression = expression;
  return record;
}

aUnit* aUnit::mk(IvlAllocator* allocator, UnitPowers const& powers) {
  auto* record = vellum::make_record<aUnit>(allocator, &IvlAllocator::AllocUnit, ValueTag::Unit);
  record->expression = nullptr;
  record->powers = powers;
  return record;
}
