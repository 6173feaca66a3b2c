// Typed views: names under which a matrix or complex record is passed once its kind is known.
// A view adds no data; a recognised record is passed on as the very same pointer.
#pragma once

#include <vellum/values/complex.h>
#include <vellum/values/matrix.h>

// The vector views derive from aVector, so that a typed vector handed to an overload that has
// no exact match goes to the vector overload rather than the matrix one.
class aRealMatrix : public aMatrix {};  // no imaginary-part array
class aImagMatrix : public aMatrix {};  // no real-part array
class aCplxMatrix : public aMatrix {};  // either part array may be absent and reads as zeros
class aVector : public aMatrix {};      // used as a column vector; nothing about its content
class aRealVec : public aVector {};     // one column, no imaginary-part array
class aImagVec : public aVector {};     // one column, no real-part array
class aCplxVec : public aVector {};     // one column; either part array may be absent
class aPureReal : public aComplex {};   // imaginary part zero; only the real part is used

static_assert(sizeof(aRealVec) == sizeof(aMatrix) && sizeof(aPureReal) == sizeof(aComplex));

namespace vellum {

// The same record under a narrower view.
template <class View, class Record>
View* view_as(Record* record) noexcept {
  return static_cast<View*>(record);
}

// Recognition consults the tag, the part arrays and (for vectors) the column count only. The
// real test comes first, so a record with neither array is real.
inline bool is_real_vec(Anyval const* value) noexcept {
  auto const* m = static_cast<aMatrix const*>(value);
  return value->tag == ValueTag::Matrix && m->imag == nullptr && m->cols == 1;
}
inline bool is_imag_vec(Anyval const* value) noexcept {
  auto const* m = static_cast<aMatrix const*>(value);
  return value->tag == ValueTag::Matrix && m->real == nullptr && m->cols == 1;
}
inline bool is_real_matrix(Anyval const* value) noexcept {
  return value->tag == ValueTag::Matrix && static_cast<aMatrix const*>(value)->imag == nullptr;
}
inline bool is_imag_matrix(Anyval const* value) noexcept {
  return value->tag == ValueTag::Matrix && static_cast<aMatrix const*>(value)->real == nullptr;
}
inline bool is_pure_real(Anyval const* value) noexcept {
  return value->tag == ValueTag::Complex && static_cast<aComplex const*>(value)->imag == 0.0;
}

}  // namespace vellum
