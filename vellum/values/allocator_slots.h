// The operation table of IvlAllocator in slot order, one row per position:
//   HOST(position)               an operation of the host's that the library never calls;
//   MAKE(position, name, Record) makes one record and stores its address through `out`;
//   CALL(position, name, params) any other operation, with its parameter list.
// Generating the interface from this table keeps every operation in its COM slot.
//
// No include guard: a header that includes this one undefines the table once it is done with it
// (allocator.h, host_allocator.h), so that a pack sees no table macro; a source that generates
// code from the table includes this header again.
#define VELLUM_ALLOCATOR_SLOTS(HOST, MAKE, CALL)                                                 \
  HOST(0) HOST(1) HOST(2) HOST(3) HOST(4) HOST(5)                                                \
  MAKE(6, AllocApply, aApply)                                                                    \
  MAKE(7, AllocBreak, aBreak)                                                                    \
  MAKE(8, AllocComplex, aComplex)                                                                \
  HOST(9)                                                                                        \
  MAKE(10, AllocComponent, aComponent)                                                           \
  MAKE(11, AllocComputeRequest, ceComputeRequest)                                                \
  MAKE(12, AllocCons, Cons)                                                                      \
  MAKE(13, AllocContinue, aContinue)                                                             \
  MAKE(14, AllocDefn, Defn)                                                                      \
  MAKE(15, AllocEfiFrame, EfiFrame)                                                              \
  MAKE(16, AllocError, aError)                                                                   \
  MAKE(17, AllocEvalLiteral, aEvalLiteral)                                                       \
  MAKE(18, AllocFor, aFor)                                                                       \
  MAKE(19, AllocFrame, aFrame)                                                                   \
  MAKE(20, AllocFunction, aFunction)                                                             \
  MAKE(21, AllocGlobal, Global)                                                                  \
  MAKE(22, AllocGlobalsDEQ, GlobalsDEQ)                                                          \
  MAKE(23, AllocGlobalList, GlobalList)                                                          \
  MAKE(24, AllocIdentifier, aIdentifier)                                                         \
  MAKE(25, AllocIfBlock, aIfBlock)                                                               \
  MAKE(26, AllocLambda, aLambda)                                                                 \
  MAKE(27, AllocLet, aLet)                                                                       \
  MAKE(28, AllocList, aList)                                                                     \
  MAKE(29, AllocLocalAssign, aLocalAssign)                                                       \
  CALL(30, AllocMatrix, (aMatrix** out, double* real, double* imag, int rows, int cols, unsigned size)) \
  MAKE(31, AllocOnError, aOnError)                                                               \
  MAKE(32, AllocPair, aPair)                                                                     \
  MAKE(33, AllocRange, aRange)                                                                   \
  MAKE(34, AllocReturn, aReturn)                                                                 \
  MAKE(35, AllocSequence, aSequence)                                                             \
  CALL(36, AllocString, (aString** out, char const* text))                                       \
  MAKE(37, AllocSubscript, aSubscript)                                                           \
  HOST(38)                                                                                       \
  MAKE(39, AllocSymbolicEval, aSymbolicEval)                                                     \
  MAKE(40, AllocNumericEval, aNumericEval)                                                       \
  HOST(41)                                                                                       \
  MAKE(42, AllocVectorize, aVectorize)                                                           \
  MAKE(43, AllocWhile, aWhile)                                                                   \
  MAKE(44, AllocUnit, aUnit)                                                                     \
  HOST(45)                                                                                       \
  MAKE(46, AllocGraphicsList, aGraphicsList)                                                     \
  CALL(47, AllocGraphicHandle, (aGraphicHandle** out, int handle))                               \
  HOST(48) HOST(49) HOST(50) HOST(51)                                                            \
  CALL(52, CopyMatrix, (aMatrix const* source, aMatrix** out, int flag))                         \
  CALL(53, DeepCopyMatrix, (aMatrix const* source, aMatrix** out, int flag))                     \
  MAKE(54, AllocRedef, aRedef)                                                                   \
  MAKE(55, AllocUnitedValue, aUnitedValue)
