#include <vellum/values/nodes.h>

#include <cstdio>

#include <vellum/values/construct.h>

using vellum::allocate_record;
using vellum::list_length;
using vellum::make_record;

aLocalAssign* aLocalAssign::mk(IvlAllocator* allocator, Anyval* first, Anyval* second) {
  auto* record = make_record<aLocalAssign>(allocator, &IvlAllocator::AllocLocalAssign, ValueTag::LocalAssign);
  record->first = first;
  record->second = second;
  return record;
}

aWhile* aWhile::mk(IvlAllocator* allocator, Anyval* first, Anyval* second) {
  auto* record = make_record<aWhile>(allocator, &IvlAllocator::AllocWhile, ValueTag::While);
  record->first = first;
  record->second = second;
  return record;
}

aPair* aPair::mk(IvlAllocator* allocator, Anyval* first, Anyval* second) {
  auto* record = make_record<aPair>(allocator, &IvlAllocator::AllocPair, ValueTag::Pair);
  record->first = first;
  record->second = second;
  return record;
}

aSymbolicSwitch* aSymbolicSwitch::mk(IvlAllocator* allocator, Anyval* first, Anyval* second) {
  auto* record = make_record<aSymbolicSwitch>(allocator, &IvlAllocator::AllocPair, ValueTag::SymbolicSwitch);
  record->first = first;
  record->second = second;
  return record;
}

aUnitedValue* aUnitedValue::mk(IvlAllocator* allocator, Anyval* number, Anyval* unit) {
  auto* record = make_record<aUnitedValue>(allocator, &IvlAllocator::AllocUnitedValue, ValueTag::UnitedValue);
  record->number = number;
  record->unit = unit;
  return record;
}

aRange* aRange::mk(IvlAllocator* allocator, Anyval* first, Anyval* second, Anyval* third) {
  auto* record = make_record<aRange>(allocator, &IvlAllocator::AllocRange, ValueTag::Range);
  record->first = first;
  record->second = second;
  record->third = third;
  return record;
}

aFor* aFor::mk(IvlAllocator* allocator, Anyval* first, Anyval* second, Anyval* third, Anyval* fourth) {
  auto* record = make_record<aFor>(allocator, &IvlAllocator::AllocFor, ValueTag::For);
  record->first = first;
  record->second = second;
  record->third = third;
  record->fourth = fourth;
  return record;
}

aEvalLiteral* aEvalLiteral::mk(IvlAllocator* allocator, Anyval* value) {
  auto* record = make_record<aEvalLiteral>(allocator, &IvlAllocator::AllocEvalLiteral, ValueTag::EvalLiteral);
  record->value = value;
  return record;
}

aReturn* aReturn::mk(IvlAllocator* allocator, Anyval* value) {
  auto* record = make_record<aReturn>(allocator, &IvlAllocator::AllocReturn, ValueTag::Return);
  record->value = value;
  return record;
}

aVectorize* aVectorize::mk(IvlAllocator* allocator, Anyval* value) {
  auto* record = make_record<aVectorize>(allocator, &IvlAllocator::AllocVectorize, ValueTag::Vectorize);
  record->value = value;
  return record;
}

aNumericEval* aNumericEval::mk(IvlAllocator* allocator, Anyval* value) {
  auto* record = make_record<aNumericEval>(allocator, &IvlAllocator::AllocNumericEval, ValueTag::NumericEval);
  record->value = value;
  return record;
}
aOnError* aOnError::mk(IvlAllocator* allocator, Anyval* first, Anyval* second) {
  auto* record = make_record<aOnError>(allocator, &IvlAllocator::AllocOnError, ValueTag::OnError);
  record->second_argument = second;
  record->first_argument = first;
  return record;
}

aBreak* aBreak::mk(IvlAllocator* allocator) {
  return make_record<aBreak>(allocator, &IvlAllocator::AllocBreak, ValueTag::Break);
}

aContinue* aContinue::mk(IvlAllocator* allocator) {
  return make_record<aContinue>(allocator, &IvlAllocator::AllocContinue, ValueTag::Continue);
}

namespace {
// aList and aGraphicsList: the same two fields under their own tag and allocator operation.
template <class Record, class Operation>
Record* list_node(IvlAllocator* allocator, Operation operation, ValueTag tag, Cons* list, int integer) {
  auto* record = make_record<Record>(allocator, operation, tag);
  record->integer = integer;
  record->list = list;
  return record;
}
}  // namespace

aList* aList::mk(IvlAllocator* allocator, Cons* list, int integer) {
  return list_node<aList>(allocator, &IvlAllocator::AllocList, ValueTag::List, list, integer);
}

aGraphicsList* aGraphicsList::mk(IvlAllocator* allocator, Cons* list, int integer) {
  return list_node<aGraphicsList>(allocator, &IvlAllocator::AllocGraphicsList, ValueTag::GraphicsList, list, integer);
}

aApply* aApply::mk(IvlAllocator* allocator, Anyval* function, Cons* arguments, int integer) {
  auto* record = make_record<aApply>(allocator, &IvlAllocator::AllocApply, ValueTag::Apply);
  record->integer = integer;
  record->function = function;
  record->length = list_length(arguments);
  record->arguments = arguments;
  return record;
}

aLambda* aLambda::mk(IvlAllocator* allocator, Cons* parameters, Anyval* body, int first_integer, int second_integer,
                     unsigned unsigned_integer) {
  auto* record = make_record<aLambda>(allocator, &IvlAllocator::AllocLambda, ValueTag::Lambda);
  record->parameters = parameters;
  record->body = body;
  record->first_integer = first_integer;
  record->length = list_length(parameters);
  record->second_integer = second_integer;
  record->reserved1 = 0;
  record->attached_value = nullptr;
  record->unsigned_integer = unsigned_integer;
  record->reserved2 = 0;
  return record;
}

aLambda* aLambda::mk(IvlAllocator* allocator, aLambda const* original, Anyval* value) {
  auto* record = allocate_record<aLambda>(allocator, &IvlAllocator::AllocLambda);
  *record = *original;
  record->attached_value = value;
  return record;
}

aLet* aLet::mk(IvlAllocator* allocator, Cons* list, Anyval* value, int integer) {
  auto* record = make_record<aLet>(allocator, &IvlAllocator::AllocLet, ValueTag::Let);
  record->list = list;
  record->integer = integer;
  record->value = value;
  return record;
}

aIfBlock* aIfBlock::mk(IvlAllocator* allocator, Cons* list, Anyval* value) {
  auto* record = make_record<aIfBlock>(allocator, &IvlAllocator::AllocIfBlock, ValueTag::IfBlock);
  record->list = list;
  record->value = value;
  return record;
}

aSequence* aSequence::mk(IvlAllocator* allocator, Cons* list) {
  auto* record = make_record<aSequence>(allocator, &IvlAllocator::AllocSequence, ValueTag::Sequence);
  record->list = list;
  return record;
}

aSubscript* aSubscript::mk(IvlAllocator* allocator, Anyval* value, Cons* list) {
  auto* record = make_record<aSubscript>(allocator, &IvlAllocator::AllocSubscript, ValueTag::Subscript);
  record->value = value;
  record->list = list;
  return record;
}

aComponent* aComponent::mk(IvlAllocator* allocator, IUnknown* component, int, int) {
  // The only constructor that looks at what came back.
  auto* record = allocate_record<aComponent>(allocator, &IvlAllocator::AllocComponent);
  if (!record) return nullptr;
  record->tag = ValueTag::Component;
  record->component = component;
  return record;
}

namespace {
aGraphicHandle* make_graphic_handle(IvlAllocator* allocator, int handle, aGraphicHandle::Kind kind) {
  aGraphicHandle* record = nullptr;
  allocator->AllocGraphicHandle(&record, handle);
  record->tag = ValueTag::GraphicHandle;
  record->kind = kind;
  return record;
}
}  // namespace

aMetafileHandle* aMetafileHandle::mk(IvlAllocator* allocator, int handle) {
  return static_cast<aMetafileHandle*>(make_graphic_handle(allocator, handle, kMetafile));
}

aBitmapHandle* aBitmapHandle::mk(IvlAllocator* allocator, int handle) {
  return static_cast<aBitmapHandle*>(make_graphic_handle(allocator, handle, kBitmap));
}

aSymbolicEval* aSymbolicEval::mk(IvlAllocator* allocator, Anyval* value, Cons* list, bool first_flag,
                                 bool second_flag) {
  auto* record = make_record<aSymbolicEval>(allocator, &IvlAllocator::AllocSymbolicEval, ValueTag::SymbolicEval);
  record->flags = static_cast<std::uint8_t>((first_flag ? 1 : 0) | (second_flag ? 2 : 0));
  record->value = value;
  record->list = list;
  return record;
}

aUnitSymbolicEval* aUnitSymbolicEval::mk(IvlAllocator* allocator, Anyval* value, bool flag) {
  auto* record =
      make_record<aUnitSymbolicEval>(allocator, &IvlAllocator::AllocSymbolicEval, ValueTag::UnitSymbolicEval);
  record->flag = flag ? 1 : 0;
  record->value = value;
  return record;
}

aRedef* aRedef::mk(IvlAllocator* allocator, Anyval* value, bool flag) {
  auto* record = make_record<aRedef>(allocator, &IvlAllocator::AllocRedef, ValueTag::Redef);
  record->value = value;
  record->flag = static_cast<std::uint8_t>(flag);
  return record;
}

namespace {
double read_number(aString const* text) {
  double value = 0.0;
  if (text) std::sscanf(text->text, "%lg", &value);
  return value;
}
}  // namespace

aBigComplex* aBigComplex::mk(IvlAllocator* allocator, aString const* real_text, aString const* imag_text) {
  aPair* texts = aPair::mk(allocator, const_cast<aString*>(real_text), const_cast<aString*>(imag_text));
  double real = read_number(real_text);
  double imag = read_number(imag_text);
  auto* number = make_record<aComplex>(allocator, &IvlAllocator::AllocComplex, ValueTag::Complex);
  number->real = real;
  number->imag = imag;
  auto* record = make_record<aBigComplex>(allocator, &IvlAllocator::AllocPair, ValueTag::BigComplex);
  record->texts = texts;
  record->number = number;
  return record;
}

ceComputeRequest* ceComputeRequest::mk(IvlAllocator* allocator, ComputeRequestKind kind, Anyval* value, Defn* defn,
                                       Cons* list) {
  auto* record =
      make_record<ceComputeRequest>(allocator, &IvlAllocator::AllocComputeRequest, ValueTag::ComputeRequest);
  record->kind = kind;
  switch (kind) {
    case kComputeList: record->payload = list; break;
    case kComputeValue:
    case kComputeValue4: record->payload = value; break;
    case kComputeDefn: record->payload = defn; break;
    default: break;  // other kinds carry no payload
  }
  return record;
}

ceComputeRequest* ceComputeRequest::mk(IvlAllocator* allocator, Defn* defn) {
  return mk(allocator, kComputeDefn, nullptr, defn, nullptr);
}

ceComputeRequest* ceComputeRequest::mk(IvlAllocator* allocator, Cons* list) {
  return mk(allocator, kComputeList, nullptr, nullptr, list);
}
