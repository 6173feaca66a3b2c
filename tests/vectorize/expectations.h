// What every element-wise overload must do, transcribed row by row from the system's tables
// independently of the library's own tables, so that a row that differs, or exists in one and
// not the other, fails.
#pragma once

#include <string>
#include <vector>

namespace vellum::test {

enum class Skel { Buffered, Direct };
enum class Rule { Real, Full, Trimmed };

struct KernelExpectation {
  char const* signature;
  char const* result_view;
  int nested;  // position N of "N.may not be nested" for one-array kernels; pairs test 1 and 2
  Skel skeleton;
  Rule rule;
};

// For one generic array with scalars: the typed overload called when the array is real and
// every scalar pure, real with some scalar not pure, imaginary, and anything else.
struct DispatchExpectation {
  char const* signature;
  char const* real_pure;
  char const* real_not_pure;
  char const* imag;
  char const* other;
};

// For pairs: which operands are classified ("first", "second", "both").
struct PairDispatchExpectation {
  char const* signature;
  char const* classified;
};

inline constexpr Skel B = Skel::Buffered;
inline constexpr Skel D = Skel::Direct;

inline std::vector<KernelExpectation> const kKernelExpectations = {
    // one vector or matrix
    {"vlVectorize(aRealVec)", "aRealVec", 1, B, Rule::Real},
    {"vlNcVectorize(aRealVec)", "aCplxVec", 1, B, Rule::Full},
    {"vlVectorize(aImagVec)", "aCplxVec", 0, B, Rule::Full},
    {"vlVectorize(aCplxVec)", "aCplxVec", 1, B, Rule::Full},
    {"vlVectorize(aRealMatrix)", "aRealMatrix", 1, B, Rule::Real},
    {"vlNcVectorize(aRealMatrix)", "aCplxMatrix", 1, D, Rule::Full},
    {"vlVectorize(aImagMatrix)", "aCplxMatrix", 0, B, Rule::Full},
    {"vlVectorize(aCplxMatrix)", "aCplxMatrix", 1, B, Rule::Trimmed},
    // vector with scalars
    {"vlVectorize(aComplex, aImagVec)", "aCplxVec", 0, B, Rule::Full},
    {"vlVectorize(aPureReal, aRealVec)", "aRealVec", 2, B, Rule::Real},
    {"vlNcVectorize(aComplex, aRealVec)", "aCplxVec", 2, B, Rule::Full},
    {"vlVectorize(aComplex, aCplxVec)", "aCplxVec", 2, B, Rule::Full},
    {"vlVectorize(aImagVec, aComplex)", "aCplxVec", 0, B, Rule::Trimmed},
    {"vlVectorize(aRealVec, aPureReal)", "aRealVec", 1, B, Rule::Real},
    {"vlNcVectorize(aRealVec, aComplex)", "aCplxVec", 1, B, Rule::Trimmed},
    {"vlVectorize(aCplxVec, aComplex)", "aCplxVec", 1, B, Rule::Full},
    {"vlVectorize(aImagVec, aComplex, aComplex)", "aCplxVec", 0, B, Rule::Full},
    {"vlVectorize(aRealVec, aPureReal, aPureReal)", "aRealVec", 1, B, Rule::Real},
    {"vlNcVectorize(aRealVec, aComplex, aComplex)", "aCplxVec", 1, B, Rule::Full},
    {"vlVectorize(aCplxVec, aComplex, aComplex)", "aCplxVec", 1, B, Rule::Full},
    {"vlVectorize(aImagVec, aComplex, aComplex, aComplex)", "aCplxVec", 0, B, Rule::Full},
    {"vlVectorize(aRealVec, aPureReal, aPureReal, aPureReal)", "aRealVec", 1, B, Rule::Real},
    {"vlNcVectorize(aRealVec, aComplex, aComplex, aComplex)", "aCplxVec", 1, B, Rule::Full},
    {"vlVectorize(aCplxVec, aComplex, aComplex, aComplex)", "aCplxVec", 1, B, Rule::Full},
    {"vlVectorize(aComplex, aComplex, aComplex, aImagVec)", "aCplxVec", 0, B, Rule::Full},
    {"vlVectorize(aPureReal, aPureReal, aPureReal, aRealVec)", "aRealVec", 4, B, Rule::Real},
    {"vlNcVectorize(aComplex, aComplex, aComplex, aRealVec)", "aCplxVec", 4, B, Rule::Full},
    {"vlVectorize(aComplex, aComplex, aComplex, aCplxVec)", "aCplxVec", 4, B, Rule::Full},
    // matrix with scalars
    {"vlVectorize(aComplex, aImagMatrix)", "aCplxMatrix", 0, D, Rule::Full},
    {"vlVectorize(aPureReal, aRealMatrix)", "aRealMatrix", 2, D, Rule::Real},
    {"vlNcVectorize(aComplex, aRealMatrix)", "aCplxMatrix", 2, D, Rule::Full},
    {"vlVectorize(aComplex, aCplxMatrix)", "aCplxMatrix", 2, D, Rule::Full},
    {"vlVectorize(aImagMatrix, aComplex)", "aCplxMatrix", 0, D, Rule::Full},
    {"vlVectorize(aRealMatrix, aPureReal)", "aRealMatrix", 1, D, Rule::Real},
    {"vlNcVectorize(aRealMatrix, aComplex)", "aCplxMatrix", 1, D, Rule::Full},
    {"vlVectorize(aCplxMatrix, aComplex)", "aCplxMatrix", 1, D, Rule::Full},
    {"vlVectorize(aImagMatrix, aComplex, aComplex)", "aCplxMatrix", 0, D, Rule::Full},
    {"vlVectorize(aRealMatrix, aPureReal, aPureReal)", "aRealMatrix", 1, D, Rule::Real},
    {"vlNcVectorize(aRealMatrix, aComplex, aComplex)", "aCplxMatrix", 1, D, Rule::Full},
    {"vlVectorize(aCplxMatrix, aComplex, aComplex)", "aCplxMatrix", 1, D, Rule::Full},
    // element-wise pairs
    {"vlVectorize(aImagVec, aImagVec)", "aCplxVec", 0, D, Rule::Full},
    {"vlVectorize(aImagVec, aRealVec)", "aCplxVec", 0, D, Rule::Full},
    {"vlVectorize(aImagVec, aCplxVec)", "aCplxVec", 0, D, Rule::Full},
    {"vlVectorize(aRealVec, aImagVec)", "aCplxVec", 0, D, Rule::Full},
    {"vlVectorize(aRealVec, aRealVec)", "aRealVec", 0, D, Rule::Real},
    {"vlVectorize(aRealVec, aCplxVec)", "aCplxVec", 0, D, Rule::Full},
    {"vlVectorize(aCplxVec, aImagVec)", "aCplxVec", 0, D, Rule::Full},
    {"vlVectorize(aCplxVec, aRealVec)", "aCplxVec", 0, D, Rule::Full},
    {"vlVectorize(aCplxVec, aCplxVec)", "aCplxVec", 0, D, Rule::Full},
    {"vlVectorize(aImagMatrix, aImagMatrix)", "aCplxMatrix", 0, D, Rule::Full},
    {"vlVectorize(aImagMatrix, aRealMatrix)", "aCplxMatrix", 0, D, Rule::Full},
    {"vlVectorize(aImagMatrix, aCplxMatrix)", "aCplxMatrix", 0, D, Rule::Full},
    {"vlVectorize(aRealMatrix, aImagMatrix)", "aCplxMatrix", 0, D, Rule::Full},
    {"vlVectorize(aRealMatrix, aRealMatrix)", "aRealMatrix", 0, D, Rule::Real},
    {"vlVectorize(aRealMatrix, aCplxMatrix)", "aCplxMatrix", 0, D, Rule::Full},
    {"vlVectorize(aCplxMatrix, aImagMatrix)", "aCplxMatrix", 0, D, Rule::Full},
    {"vlVectorize(aCplxMatrix, aRealMatrix)", "aCplxMatrix", 0, D, Rule::Full},
    {"vlVectorize(aCplxMatrix, aCplxMatrix)", "aCplxMatrix", 0, D, Rule::Full},
};

inline std::vector<DispatchExpectation> const kDispatchExpectations = {
    {"vlVectorize(aVector)", "vlVectorize(aRealVec)", "", "vlVectorize(aImagVec)", "vlVectorize(aCplxVec)"},
    {"vlNcVectorize(aVector)", "vlNcVectorize(aRealVec)", "", "vlVectorize(aImagVec)", "vlVectorize(aCplxVec)"},
    {"vlVectorize(aComplex, aVector)", "vlVectorize(aPureReal, aRealVec)", "vlNcVectorize(aComplex, aRealVec)",
     "vlVectorize(aComplex, aImagVec)", "vlVectorize(aComplex, aCplxVec)"},
    {"vlNcVectorize(aComplex, aVector)", "vlNcVectorize(aComplex, aRealVec)", "vlNcVectorize(aComplex, aRealVec)",
     "vlVectorize(aComplex, aImagVec)", "vlVectorize(aComplex, aCplxVec)"},
    {"vlVectorize(aVector, aComplex)", "vlVectorize(aRealVec, aPureReal)", "vlNcVectorize(aRealVec, aComplex)",
     "vlVectorize(aImagVec, aComplex)", "vlVectorize(aCplxVec, aComplex)"},
    {"vlNcVectorize(aVector, aComplex)", "vlNcVectorize(aRealVec, aComplex)", "vlNcVectorize(aRealVec, aComplex)",
     "vlVectorize(aImagVec, aComplex)", "vlVectorize(aCplxVec, aComplex)"},
    {"vlVectorize(aVector, aComplex, aComplex)", "vlVectorize(aRealVec, aPureReal, aPureReal)",
     "vlNcVectorize(aRealVec, aComplex, aComplex)", "vlVectorize(aImagVec, aComplex, aComplex)",
     "vlVectorize(aCplxVec, aComplex, aComplex)"},
    {"vlNcVectorize(aVector, aComplex, aComplex)", "vlNcVectorize(aRealVec, aComplex, aComplex)",
     "vlNcVectorize(aRealVec, aComplex, aComplex)", "vlVectorize(aImagVec, aComplex, aComplex)",
     "vlVectorize(aCplxVec, aComplex, aComplex)"},
    {"vlVectorize(aComplex, aComplex, aComplex, aVector)", "vlVectorize(aPureReal, aPureReal, aPureReal, aRealVec)",
     "vlNcVectorize(aComplex, aComplex, aComplex, aRealVec)", "vlVectorize(aComplex, aComplex, aComplex, aImagVec)",
     "vlVectorize(aComplex, aComplex, aComplex, aCplxVec)"},
    {"vlNcVectorize(aComplex, aComplex, aComplex, aVector)", "vlNcVectorize(aComplex, aComplex, aComplex, aRealVec)",
     "vlNcVectorize(aComplex, aComplex, aComplex, aRealVec)", "vlVectorize(aComplex, aComplex, aComplex, aImagVec)",
     "vlVectorize(aComplex, aComplex, aComplex, aCplxVec)"},
    {"vlVectorize(aMatrix)", "vlVectorize(aRealMatrix)", "", "vlVectorize(aImagMatrix)", "vlVectorize(aCplxMatrix)"},
    {"vlNcVectorize(aMatrix)", "vlNcVectorize(aRealMatrix)", "", "vlVectorize(aImagMatrix)",
     "vlVectorize(aCplxMatrix)"},
    {"vlVectorize(aComplex, aMatrix)", "vlVectorize(aPureReal, aRealMatrix)", "vlNcVectorize(aComplex, aRealMatrix)",
     "vlVectorize(aComplex, aImagMatrix)", "vlVectorize(aComplex, aCplxMatrix)"},
    {"vlNcVectorize(aComplex, aMatrix)", "vlNcVectorize(aComplex, aRealMatrix)",
     "vlNcVectorize(aComplex, aRealMatrix)", "vlVectorize(aComplex, aImagMatrix)", "vlVectorize(aComplex, aCplxMatrix)"},
    {"vlVectorize(aMatrix, aComplex)", "vlVectorize(aRealMatrix, aPureReal)", "vlNcVectorize(aRealMatrix, aComplex)",
     "vlVectorize(aImagMatrix, aComplex)", "vlVectorize(aCplxMatrix, aComplex)"},
    {"vlNcVectorize(aMatrix, aComplex)", "vlNcVectorize(aRealMatrix, aComplex)",
     "vlNcVectorize(aRealMatrix, aComplex)", "vlVectorize(aImagMatrix, aComplex)", "vlVectorize(aCplxMatrix, aComplex)"},
    {"vlVectorize(aMatrix, aComplex, aComplex)", "vlVectorize(aRealMatrix, aPureReal, aPureReal)",
     "vlNcVectorize(aRealMatrix, aComplex, aComplex)", "vlVectorize(aImagMatrix, aComplex, aComplex)",
     "vlVectorize(aCplxMatrix, aComplex, aComplex)"},
    {"vlNcVectorize(aMatrix, aComplex, aComplex)", "vlNcVectorize(aRealMatrix, aComplex, aComplex)",
     "vlNcVectorize(aRealMatrix, aComplex, aComplex)", "vlVectorize(aImagMatrix, aComplex, aComplex)",
     "vlVectorize(aCplxMatrix, aComplex, aComplex)"},
};

inline std::vector<PairDispatchExpectation> const kPairDispatchExpectations = {
    {"vlVectorize(aVector, aImagVec)", "first"},      {"vlVectorize(aVector, aRealVec)", "first"},
    {"vlVectorize(aVector, aCplxVec)", "first"},      {"vlVectorize(aImagVec, aVector)", "second"},
    {"vlVectorize(aRealVec, aVector)", "second"},     {"vlVectorize(aCplxVec, aVector)", "second"},
    {"vlVectorize(aVector, aVector)", "both"},        {"vlVectorize(aMatrix, aImagMatrix)", "first"},
    {"vlVectorize(aMatrix, aRealMatrix)", "first"},   {"vlVectorize(aMatrix, aCplxMatrix)", "first"},
    {"vlVectorize(aImagMatrix, aMatrix)", "second"},  {"vlVectorize(aRealMatrix, aMatrix)", "second"},
    {"vlVectorize(aCplxMatrix, aMatrix)", "second"},  {"vlVectorize(aMatrix, aMatrix)", "both"},
};

// The four string, mixed and context-passing overloads, written by hand in the library.
inline std::vector<std::string> const kSpecialSignatures = {
    "vlVectorize(aString, aVector)",
    "vlVectorize(aVector, aString)",
    "vlVectorize(numeric function, string function, aVector, aVector)",
    "vlVectorize(aMatrix, aMatrix, aMatrix, aVector)",
};

}  // namespace vellum::test
