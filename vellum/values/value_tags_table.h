// The value tags: X(number, name).
//
// No include guard: a table is undefined after use and included again where code is generated
// from it ("Big tables as data" in docs/architecture.md).

// Tag numbers, one row per record kind (tag, enumerator). The type codes of function
// signatures use the same numbers for the same kinds.
#define VELLUM_VALUE_TAGS(X) \
  X(0, Error)                \
  X(2, Complex)              \
  X(3, String)               \
  X(4, Function)             \
  X(5, Matrix)               \
  X(6, List)                 \
  X(7, Apply)                \
  X(8, Lambda)               \
  X(9, Let)                  \
  X(10, Identifier)          \
  X(11, IfBlock)             \
  X(12, LocalAssign)         \
  X(13, While)               \
  X(14, Sequence)            \
  X(15, Frame)               \
  X(16, Range)               \
  X(17, Subscript)           \
  X(19, Component)           \
  X(20, For)                 \
  X(21, SymbolicExpression)  \
  X(22, Pair)                \
  X(23, EvalLiteral)         \
  X(24, Break)               \
  X(25, Continue)            \
  X(26, OnError)             \
  X(27, Return)              \
  X(28, Vectorize)           \
  X(29, Unit)                \
  X(30, ComputeRequest)      \
  X(31, GlobalList)          \
  X(32, GraphicsList)        \
  X(34, Global)              \
  X(35, GraphicHandle)       \
  X(36, SymbolicEval)        \
  X(37, NumericEval)         \
  X(38, BigComplex)          \
  X(40, Defn)                \
  X(43, SymbolicSwitch)      \
  X(44, UnitSymbolicEval)    \
  X(46, Redef)               \
  X(47, UnitedValue)
