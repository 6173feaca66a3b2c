// Expression nodes the host evaluates: applications, lambdas, control nodes, ranges, evaluation
// requests and small pairs. "Value" fields point at any Anyval; "list" fields at the first Cons
// cell, null for the empty list. Every node is made through the host's allocator.
#pragma once

#include <vellum/values/complex.h>
#include <vellum/values/environment.h>
#include <vellum/values/string.h>

struct IUnknown;

// Nodes whose fields are values, stored in the order of the arguments of mk. aSymbolicSwitch is
// made through AllocPair. aOnError stores its two arguments the other way round.
struct aLocalAssign : Anyval {
  Anyval* first;
  Anyval* second;
  VELLUM_API static aLocalAssign* mk(IvlAllocator* allocator, Anyval* first, Anyval* second);
};
struct aWhile : Anyval {
  Anyval* first;
  Anyval* second;
  VELLUM_API static aWhile* mk(IvlAllocator* allocator, Anyval* first, Anyval* second);
};
struct aPair : Anyval {
  Anyval* first;
  Anyval* second;
  VELLUM_API static aPair* mk(IvlAllocator* allocator, Anyval* first, Anyval* second);
};
struct aSymbolicSwitch : Anyval {
  Anyval* first;
  Anyval* second;
  VELLUM_API static aSymbolicSwitch* mk(IvlAllocator* allocator, Anyval* first, Anyval* second);
};
struct aUnitedValue : Anyval {
  Anyval* number;
  Anyval* unit;
  VELLUM_API static aUnitedValue* mk(IvlAllocator* allocator, Anyval* number, Anyval* unit);
};
struct aRange : Anyval {
  Anyval* first;
  Anyval* second;
  Anyval* third;
  VELLUM_API static aRange* mk(IvlAllocator* allocator, Anyval* first, Anyval* second, Anyval* third);
};
struct aFor : Anyval {
  Anyval* first;
  Anyval* second;
  Anyval* third;
  Anyval* fourth;
  VELLUM_API static aFor* mk(IvlAllocator* allocator, Anyval* first, Anyval* second, Anyval* third, Anyval* fourth);
};
struct aEvalLiteral : Anyval {
  Anyval* value;
  VELLUM_API static aEvalLiteral* mk(IvlAllocator* allocator, Anyval* value);
};
struct aReturn : Anyval {
  Anyval* value;
  VELLUM_API static aReturn* mk(IvlAllocator* allocator, Anyval* value);
};
struct aVectorize : Anyval {
  Anyval* value;
  VELLUM_API static aVectorize* mk(IvlAllocator* allocator, Anyval* value);
};
struct aNumericEval : Anyval {
  Anyval* value;
  VELLUM_API static aNumericEval* mk(IvlAllocator* allocator, Anyval* value);
};
VELLUM_LAYOUT(aPair, second, 8);
VELLUM_LAYOUT(aRange, third, 12);
VELLUM_LAYOUT(aFor, fourth, 16);
VELLUM_LAYOUT(aUnitedValue, unit, 8);

// (a, b) is stored as b at offset 4 and a at offset 8.
struct aOnError : Anyval {
  Anyval* second_argument;
  Anyval* first_argument;
  VELLUM_API static aOnError* mk(IvlAllocator* allocator, Anyval* first, Anyval* second);
};
VELLUM_LAYOUT(aOnError, first_argument, 8);

struct aBreak : Anyval {
  VELLUM_API static aBreak* mk(IvlAllocator* allocator);
};
struct aContinue : Anyval {
  VELLUM_API static aContinue* mk(IvlAllocator* allocator);
};

struct aList : Anyval {
  std::int32_t integer;
  Cons* list;
  VELLUM_API static aList* mk(IvlAllocator* allocator, Cons* list, int integer);
};
VELLUM_LAYOUT(aList, list, 8);

struct aGraphicsList : Anyval {
  std::int32_t integer;
  Cons* list;
  VELLUM_API static aGraphicsList* mk(IvlAllocator* allocator, Cons* list, int integer);
};
VELLUM_LAYOUT(aGraphicsList, list, 8);

// An application: the function value and its arguments, with their count.
struct aApply : Anyval {
  std::int32_t integer;
  Anyval* function;
  std::int32_t length;
  Cons* arguments;
  VELLUM_API static aApply* mk(IvlAllocator* allocator, Anyval* function, Cons* arguments, int integer);
};
VELLUM_LAYOUT(aApply, function, 8);
VELLUM_LAYOUT(aApply, length, 12);
VELLUM_LAYOUT(aApply, arguments, 16);

struct aLambda : Anyval {
  std::int32_t second_integer;
  std::int32_t first_integer;
  std::int32_t length;
  Cons* parameters;
  Anyval* body;
  std::uint32_t reserved1;  // 0
  Anyval* attached_value;   // null from the first form; the value given to the copying form
  std::uint32_t unsigned_integer;
  std::uint32_t reserved2;  // 0
  VELLUM_API static aLambda* mk(IvlAllocator* allocator, Cons* parameters, Anyval* body, int first_integer,
                                int second_integer, unsigned unsigned_integer);
  // A copy of the whole lambda, tag included, with attached_value replaced by the value.
  VELLUM_API static aLambda* mk(IvlAllocator* allocator, aLambda const* original, Anyval* value);
};
VELLUM_LAYOUT(aLambda, second_integer, 4);
VELLUM_LAYOUT(aLambda, first_integer, 8);
VELLUM_LAYOUT(aLambda, length, 12);
VELLUM_LAYOUT(aLambda, parameters, 16);
VELLUM_LAYOUT(aLambda, body, 20);
VELLUM_LAYOUT(aLambda, reserved1, 24);
VELLUM_LAYOUT(aLambda, attached_value, 28);
VELLUM_LAYOUT(aLambda, unsigned_integer, 32);
VELLUM_LAYOUT(aLambda, reserved2, 36);
VELLUM_LAYOUT_SIZE(aLambda, 40);

struct aLet : Anyval {
  Cons* list;
  std::int32_t integer;
  Anyval* value;
  VELLUM_API static aLet* mk(IvlAllocator* allocator, Cons* list, Anyval* value, int integer);
};
VELLUM_LAYOUT(aLet, integer, 8);
VELLUM_LAYOUT(aLet, value, 12);

struct aIfBlock : Anyval {
  Cons* list;
  Anyval* value;
  VELLUM_API static aIfBlock* mk(IvlAllocator* allocator, Cons* list, Anyval* value);
};
VELLUM_LAYOUT(aIfBlock, value, 8);

struct aSequence : Anyval {
  Cons* list;
  VELLUM_API static aSequence* mk(IvlAllocator* allocator, Cons* list);
};

struct aSubscript : Anyval {
  Anyval* value;
  Cons* list;
  VELLUM_API static aSubscript* mk(IvlAllocator* allocator, Anyval* value, Cons* list);
};
VELLUM_LAYOUT(aSubscript, list, 8);

// Holds a component's interface pointer; its reference count is not touched.
struct aComponent : Anyval {
  IUnknown* component;
  // Null when the host gives no record back.
  VELLUM_API static aComponent* mk(IvlAllocator* allocator, IUnknown* component, int, int);
};
VELLUM_LAYOUT(aComponent, component, 4);

// The two kinds of graphic handle share one record (tag 35).
struct aGraphicHandle : Anyval {
  enum Kind : std::int32_t { kBitmap = 1, kMetafile = 2 };
  std::int32_t kind;
};
VELLUM_LAYOUT(aGraphicHandle, kind, 4);
struct aMetafileHandle : aGraphicHandle {
  VELLUM_API static aMetafileHandle* mk(IvlAllocator* allocator, int handle);
};
struct aBitmapHandle : aGraphicHandle {
  VELLUM_API static aBitmapHandle* mk(IvlAllocator* allocator, int handle);
};

// A symbolic evaluation request: one flag byte (bit 0 the first flag, bit 1 the second; the
// other bytes of the word are not written), a value and a list.
struct aSymbolicEval : Anyval {
  std::uint8_t flags;
  std::uint8_t host_bytes[3];
  Anyval* value;
  Cons* list;
  VELLUM_API static aSymbolicEval* mk(IvlAllocator* allocator, Anyval* value, Cons* list, bool first_flag,
                                      bool second_flag);
};
VELLUM_LAYOUT(aSymbolicEval, value, 8);
VELLUM_LAYOUT(aSymbolicEval, list, 12);

struct aUnitSymbolicEval : Anyval {
  std::uint8_t flag;  // 1 or 0
  std::uint8_t host_bytes[3];
  Anyval* value;
  VELLUM_API static aUnitSymbolicEval* mk(IvlAllocator* allocator, Anyval* value, bool flag);
};
VELLUM_LAYOUT(aUnitSymbolicEval, value, 8);

struct aRedef : Anyval {
  Anyval* value;
  std::uint8_t flag;  // the flag's byte unchanged
  VELLUM_API static aRedef* mk(IvlAllocator* allocator, Anyval* value, bool flag);
};
VELLUM_LAYOUT(aRedef, flag, 8);

// Two number texts, kept as a pair of strings beside the number they read as.
struct aBigComplex : Anyval {
  aPair* texts;
  aComplex* number;
  // Each text is read with the "%lg" conversion; null or unreadable text gives 0.0.
  VELLUM_API static aBigComplex* mk(IvlAllocator* allocator, aString const* real_text, aString const* imag_text);
};
VELLUM_LAYOUT(aBigComplex, number, 8);

// A compute request (tag 30); the kind decides the payload: 1 a list, 2 and 4 a value, 3 a Defn.
enum ComputeRequestKind : std::int32_t { kComputeList = 1, kComputeValue = 2, kComputeDefn = 3, kComputeValue4 = 4 };
struct ceComputeRequest : Anyval {
  std::int32_t kind;
  void* payload;  // not written for other kinds
  VELLUM_API static ceComputeRequest* mk(IvlAllocator* allocator, ComputeRequestKind kind, Anyval* value, Defn* defn,
                                         Cons* list);
  VELLUM_API static ceComputeRequest* mk(IvlAllocator* allocator, Defn* defn);
  VELLUM_API static ceComputeRequest* mk(IvlAllocator* allocator, Cons* list);
};
VELLUM_LAYOUT(ceComputeRequest, payload, 8);
