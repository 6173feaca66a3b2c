// The host's built-in names as ready-made read-only records, and the value constants. For every
// row (stem, text) the library exports, under undecorated names:
//   stem_STRING    the text
//   stem_sString   a string record of the text
//   stem_sUnIdent  an unbound identifier whose name is that very string record
// so plus_STRING is "-plus". The host may reference these records and must never free them.
#pragma once

#include <vellum/values/complex.h>
#include <vellum/values/identifier.h>
#include <vellum/values/string.h>
#include <vellum/values/unit.h>

#define VELLUM_BUILTIN_NAMES(X) \
  X(BREAK, "-break") \
  X(notequals, "-NOTEQUALS") \
  X(Crossprod, "-CROSSPROD") \
  X(Equals, "-EQUALS") \
  X(define, "-DEFINE") \
  X(plus, "-plus") \
  X(mult, "-mult") \
  X(div, "-div") \
  X(sub, "-sub") \
  X(def_integral_op, "SmartInteg") \
  X(symbolic_switch, "-symbolic_switch") \
  X(indef_integral_op, "-INDEFINTEG") \
  X(placeholder, "-PLACEHOLDER") \
  X(vectorize, "-vectorize") \
  X(symbolic_eval, "-SYMBOLIC_EVAL") \
  X(symbolic_eval_no_bind, "-SYMBOLIC_EVAL_NO_BIND") \
  X(symbolic_quote, "-SYMBOLIC_QUOTE") \
  X(unit_symbolic_eval, "-UNIT_SYMBOLIC_EVAL") \
  X(unit_symbolic_eval_no_bind, "-UNIT_SYMBOLIC_EVAL_NO_BIND") \
  X(numeric_eval, "-NUMERIC_EVAL") \
  X(define_united_constant, "-define_united_constant") \
  X(range_to_loop, "-RANGE_TO_LOOP") \
  X(range_to_loop_LHS, "-RANGE_TO_LOOP_LHS") \
  X(sum_op, "-sum_op") \
  X(prod_op, "-prod_op") \
  X(vdimless, "-VDimless") \
  X(eqdims, "-EqDims") \
  X(UnitSwitch, "-UnitSwitch") \
  X(StripUnit, "-StripUnit") \
  X(EqDimsDimless, "-EqDimsDimless") \
  X(DimsLikeRound, "-DimsLikeRound") \
  X(DimsLikeDiv, "-DimsLikeDiv") \
  X(DimsLikeMult, "-DimsLikeMult") \
  X(compileliteral, "-COMPILE_LITERAL") \
  X(continue, "-continue") \
  X(evalliteral, "-EVAL_LITERAL") \
  X(for, "-for") \
  X(if, "if") \
  X(ifblock, "-ifblock") \
  X(lambda, "-lambda") \
  X(let, "-let") \
  X(localassign, "-localassign") \
  X(onerror, "-onerror") \
  X(plot, "-plot") \
  X(range, "-range") \
  X(return, "-return") \
  X(sequence, "-sequence") \
  X(subscript, "-SUBSCRIPT") \
  X(while, "-while") \
  X(mkMatrix, "-mkMatrix") \
  X(mkMatrixNotNested, "-mkMatrixNotNested") \
  X(dotdot, "..") \
  X(static_env, "-STATIC_ENV") \
  X(dynamic_env, "-DYNAMIC_ENV") \
  X(Lteq, "-LTEQ") \
  X(lthan, "-lthan") \
  X(gthan, "-gthan") \
  X(Gteq, "-GTEQ") \
  X(else, "-else") \
  X(conjugate, "-conjugate") \
  X(range_sum, "-range_sum") \
  X(range_product, "-range_product") \
  X(mkList, "-mkList") \
  X(mkListAllowAllUnits, "-mkListAllowAllUnits") \
  X(mkListWithUnits, "-mkListWithUnits") \
  X(evalComponentS, "-evalComponentS") \
  X(list2vec, "-list2vec") \
  X(EVAL, "-EVAL") \
  X(GLOBEQ, "-GLOBEQ") \
  X(NEG, "-NEG") \
  X(abs, "-abs") \
  X(asin, "asin") \
  X(acsc, "acsc") \
  X(asec, "asec") \
  X(acot, "acot") \
  X(acsch, "acsch") \
  X(asech, "asech") \
  X(acoth, "acoth") \
  X(sqrt, "-sqrt") \
  X(sigma_sum, "-sigma_sum") \
  X(nthroot_op, "-NTHROOTOP") \
  X(factorial_op, "-FACTORIAL") \
  X(power_op, "-POWER") \
  X(mod, "mod") \
  X(derivative_op, "-DERIVATIVE") \
  X(nth_derivative, "NthDerivative") \
  X(not_available, "-not_available") \
  X(acos, "acos") \
  X(atan, "atan") \
  X(atan2, "atan2") \
  X(asinh, "asinh") \
  X(acosh, "acosh") \
  X(atanh, "atanh") \
  X(angle, "angle") \
  X(diag, "diag") \
  X(Dirac, "Dirac") \
  X(limit_op, "-LIMIT") \
  X(limitplus_op, "-LIMITPLUS") \
  X(limitmin_op, "-LIMITMIN") \
  X(Transpose, "-Transpose") \
  X(TOL, "TOL") \
  X(CTOL, "CTOL") \
  X(CWD, "CWD") \
  X(PRNPRECISION, "PRNPRECISION") \
  X(PRNCOLWIDTH, "PRNCOLWIDTH") \
  X(ORIGIN, "ORIGIN") \
  X(RealRange, "RealRange") \
  X(EvalBoolSequence, "-EvalBoolSequence") \
  X(DimsLikeOptimize, "-DimsLikeOptimize") \
  X(DimsLikeIsOptimized, "-DimsLikeIsOptimized") \
  X(DimsLikeCompile, "-DimsLikeCompile") \
  X(Evaluate, "Evaluate") \
  X(prod_2_args, "-prod_2_args") \
  X(sum_2_args, "-sum_2_args") \
  X(mkRange, "-mkRange") \
  X(factorial, "-FACTORIAL") \
  X(redef, "-redef") \
  X(maple_quote, "-maple_quote") \
  X(maple_conjugate, "conjugate") \
  X(kronecker, "kronecker") \
  X(maple_unit, "-maple_unit")

extern "C" {
#define VELLUM_DECLARE_BUILTIN_NAME(stem, text)          \
  VELLUM_API extern char const* const stem##_STRING;     \
  VELLUM_API extern aString* const stem##_sString;       \
  VELLUM_API extern aIdentifier* const stem##_sUnIdent;
VELLUM_BUILTIN_NAMES(VELLUM_DECLARE_BUILTIN_NAME)
#undef VELLUM_DECLARE_BUILTIN_NAME
}

// The complex numbers 0, 1, 2 and 3 and the dimensionless unit (no expression, all powers 0).
VELLUM_API extern aComplex* const sComplexZero;
VELLUM_API extern aComplex* const sComplexOne;
VELLUM_API extern aComplex* const sComplexTwo;
VELLUM_API extern aComplex* const sComplexThree;
VELLUM_API extern aUnit* const sUnitZero;
