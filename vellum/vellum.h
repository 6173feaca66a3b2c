// Everything a function pack links against.
#pragma once

#include <vellum/library/api.h>
#include <vellum/packdesc/signatures.h>
#include <vellum/packdesc/types.h>
#include <vellum/values/allocator.h>
#include <vellum/values/anyval.h>
#include <vellum/values/complex.h>
#include <vellum/values/construct.h>
#include <vellum/values/environment.h>
#include <vellum/values/error.h>
#include <vellum/values/error_texts.h>
#include <vellum/values/function.h>
#include <vellum/values/identifier.h>
#include <vellum/values/matrix.h>
#include <vellum/values/matrix_cells.h>
#include <vellum/values/names.h>
#include <vellum/values/nodes.h>
#include <vellum/values/string.h>
#include <vellum/values/unit.h>
#include <vellum/vectorize/elements.h>
#include <vellum/vectorize/scalar_functions.h>
#include <vellum/vectorize/scalar_val.h>
#include <vellum/vectorize/scratch_array.h>
#include <vellum/vectorize/vectorize.h>
#include <vellum/vectorize/views.h>
