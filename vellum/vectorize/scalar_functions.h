// The pack's scalar functions that the element-wise operations call once per element: the
// result first (the function sets every part the operation keeps), then the inputs in the order
// of the operation's operands.
#pragma once

#include <vellum/values/allocator.h>
#include <vellum/values/matrix.h>
#include <vellum/values/string.h>
#include <vellum/vectorize/scalar_val.h>

using vlScalarFn1 = void (*)(scalar_val& result, scalar_val const& x);
using vlScalarFn2 = void (*)(scalar_val& result, scalar_val const& x, scalar_val const& y);
using vlScalarFn3 = void (*)(scalar_val& result, scalar_val const& x, scalar_val const& y, scalar_val const& z);
using vlScalarFn4 = void (*)(scalar_val& result, scalar_val const& x, scalar_val const& y, scalar_val const& z,
                             scalar_val const& w);
// Two strings, from string cells or a given string record.
using vlStringFn = void (*)(scalar_val& result, aString const* first, aString const* second);
// The call context and three matrices, passed through untouched, and one vector element.
using vlContextFn = void (*)(scalar_val& result, EfiCallContext* context, aMatrix* first, aMatrix* second,
                             aMatrix* third, scalar_val const& x);
