#include <vellum/values/function.h>

#include <vellum/values/construct.h>

aFunction* aFunction::mk(IvlAllocator* allocator, sEfiFuncInfo const& info, Anyval* value) {
  auto* record = vellum::make_record<aFunction>(allocator, &IvlAllocator::AllocFunction, ValueTag::Function);
  record->info = info;
  record->value = value;
  sFunctionInfo const* signature = info.signature;
  record->arity = signature->openArity != 0 ? 0 : signature->args->count;
  return record;
}
