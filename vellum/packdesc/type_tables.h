// The exported description data as tables, one row per object family. The declarations in
// signatures.h and the definitions in signatures.cpp are generated from these rows.
//
// No include guard: a table is undefined after use and included again where code is generated
// from it ("Big tables as data" in docs/architecture.md).

// The type-code objects (NumType, ...); Lam and APair have none.
#define VELLUM_TYPE_OBJECTS(X) X(Rng) X(Unit) X(Num) X(Any) X(Str) X(Id) X(Mat) X(List) X(Component) X(GlobList)

// The type lists, one row per list: ONE(words) for a list of one word, whose entries are the
// type-code object itself, and LIST(name, words...) for longer lists, which have an entry array.
#define VELLUM_TYPE_LISTS(ONE, LIST) \
  ONE(Rng) \
  LIST(RngRng, Rng, Rng) \
  LIST(RngLam, Rng, Lam) \
  LIST(StrAny, Str, Any) \
  ONE(Str) \
  ONE(Unit) \
  LIST(UnitUnit, Unit, Unit) \
  LIST(UnitNum, Unit, Num) \
  LIST(ListNum, List, Num) \
  ONE(Any) \
  LIST(AnyAny, Any, Any) \
  LIST(AnyAnyAny, Any, Any, Any) \
  LIST(AnyAnyAnyAny, Any, Any, Any, Any) \
  LIST(AnyAnyAnyAnyAny, Any, Any, Any, Any, Any) \
  LIST(AnyAnyAnyAnyAnyAny, Any, Any, Any, Any, Any, Any) \
  LIST(AnyAnyAnyAnyAnyAnyAny, Any, Any, Any, Any, Any, Any, Any) \
  LIST(AnyAnyAnyAnyAnyAnyAnyAny, Any, Any, Any, Any, Any, Any, Any, Any) \
  LIST(AnyAnyAnyAnyAnyAnyAnyAnyAny, Any, Any, Any, Any, Any, Any, Any, Any, Any) \
  LIST(AnyAnyAnyAnyAnyAnyAnyAnyAnyAny, Any, Any, Any, Any, Any, Any, Any, Any, Any, Any) \
  LIST(AnyAnyAnyAnyAnyAnyAnyAnyAnyAnyAny, Any, Any, Any, Any, Any, Any, Any, Any, Any, Any, Any) \
  ONE(Id) \
  ONE(Num) \
  LIST(NumNum, Num, Num) \
  LIST(NumNumNum, Num, Num, Num) \
  LIST(NumNumNumNum, Num, Num, Num, Num) \
  LIST(NumNumNumMat, Num, Num, Num, Mat) \
  ONE(Mat) \
  LIST(MatMat, Mat, Mat) \
  LIST(MatNum, Mat, Num) \
  LIST(MatMatNum, Mat, Mat, Num) \
  LIST(MatNumNum, Mat, Num, Num) \
  LIST(MatMatMatNum, Mat, Mat, Mat, Num) \
  LIST(MatMatMatMat, Mat, Mat, Mat, Mat) \
  LIST(MatMatNumNum, Mat, Mat, Num, Num) \
  LIST(MatNumNumNumLam, Mat, Num, Num, Num, Lam) \
  LIST(MatNumNumNumLamNum, Mat, Num, Num, Num, Lam, Num) \
  LIST(MatNumNumNumLamLamNum, Mat, Num, Num, Num, Lam, Lam, Num) \
  LIST(MatNumNumNumLamNumNum, Mat, Num, Num, Num, Lam, Num, Num) \
  LIST(MatNumNumNumLamLamNumNum, Mat, Num, Num, Num, Lam, Lam, Num, Num) \
  LIST(MatMatLam, Mat, Mat, Lam) \
  LIST(MatNumNumLamLamLam, Mat, Num, Num, Lam, Lam, Lam) \
  LIST(MatMatNumNumNumLamLamLamLam, Mat, Mat, Num, Num, Num, Lam, Lam, Lam, Lam) \
  LIST(MatMatMatMatMatMatMatNum, Mat, Mat, Mat, Mat, Mat, Mat, Mat, Num) \
  LIST(NumNumNumNumNumNumNum, Num, Num, Num, Num, Num, Num, Num) \
  LIST(NumNumLam, Num, Num, Lam) \
  LIST(LamNum, Lam, Num) \
  LIST(LamNumNum, Lam, Num, Num) \
  LIST(LamNumNumNum, Lam, Num, Num, Num) \
  LIST(LamNumNumNumNum, Lam, Num, Num, Num, Num) \
  LIST(LamNumNumNumNumNum, Lam, Num, Num, Num, Num, Num) \
  LIST(LamNumNumNumNumNumNum, Lam, Num, Num, Num, Num, Num, Num) \
  LIST(LamNumNumNumNumNumNumNumNum, Lam, Num, Num, Num, Num, Num, Num, Num, Num) \
  LIST(LamNumNumNumNumNumMatNumNum, Lam, Num, Num, Num, Num, Num, Mat, Num, Num) \
  LIST(LamNumNumNumAny, Lam, Num, Num, Num, Any) \
  LIST(LamNumMatNum, Lam, Num, Mat, Num) \
  LIST(LamNumMatNumNum, Lam, Num, Mat, Num, Num) \
  LIST(LamNumMatNumNumNum, Lam, Num, Mat, Num, Num, Num) \
  ONE(List) \
  LIST(LamLamLamNumNumNumMatNumNumNumNum, Lam, Lam, Lam, Num, Num, Num, Mat, Num, Num, Num, Num) \
  ONE(GlobList) \
  LIST(GlobListAny, GlobList, Any) \
  LIST(AnyAnyComponent, Any, Any, Component) \
  LIST(GlobListAnyAnyComponent, GlobList, Any, Any, Component) \
  LIST(GlobListAnyAnyAny, GlobList, Any, Any, Any) \
  LIST(NumLamNumNum, Num, Lam, Num, Num)

// The signature records, grouped by result word; each row is the argument part of the stem
// (Mat_Num under Mat stands for val_Mat_Num_to_Mat and Mat_Num_to_Mat).
#define VELLUM_SIGNATURES(X) \
  /* to Num (27) */ \
  X(Num, Num) \
  X(Num, Num_Num) \
  X(Num, Num_Num_Num) \
  X(Num, Num_Num_Num_Num) \
  X(Num, Mat) \
  X(Num, Mat_Mat) \
  X(Num, Mat_Mat_Mat_Num) \
  X(Num, Mat_Mat_Num_Num) \
  X(Num, Mat_Mat_Mat_Mat) \
  X(Num, Num_Lam_Num_Num) \
  X(Num, Mat_Num_Num_Num_Lam) \
  X(Num, Lam_Num) \
  X(Num, Lam_Num_Num) \
  X(Num, Lam_Num_Num_Num) \
  X(Num, Lam_Num_Num_Num_Any) \
  X(Num, Lam_Num_Num_Num_Num) \
  X(Num, Lam_Num_Num_Num_Num_Num) \
  X(Num, Lam_Num_Num_Num_Num_Num_Num_Num_Num) \
  X(Num, Lam_Num_Num_Num_Num_Num_Mat_Num_Num) \
  X(Num, Any) \
  X(Num, Any_Any) \
  X(Num, Any_Any_Any) \
  X(Num, Any_Any_Any_Any) \
  X(Num, Any_Any_Any_Any_Any) \
  X(Num, Variable) \
  X(Num, Str_Any) \
  X(Num, Rng_Lam) \
  /* to Mat (42) */ \
  X(Mat, Num) \
  X(Mat, Num_Num) \
  X(Mat, Num_Num_Num) \
  X(Mat, Num_Num_Num_Mat) \
  X(Mat, Mat) \
  X(Mat, Mat_Num) \
  X(Mat, Mat_Mat) \
  X(Mat, Mat_Mat_Num) \
  X(Mat, Mat_Num_Num) \
  X(Mat, Mat_Num_Num_Num_Lam_Num) \
  X(Mat, Mat_Num_Num_Num_Lam_Num_Num) \
  X(Mat, Mat_Num_Num_Num_Lam_Lam_Num) \
  X(Mat, Mat_Num_Num_Num_Lam_Lam_Num_Num) \
  X(Mat, Mat_Mat_Mat_Mat_Mat_Mat_Mat_Num) \
  X(Mat, Mat_Mat_Lam) \
  X(Mat, Mat_Num_Num_Lam_Lam_Lam) \
  X(Mat, Mat_Mat_Num_Num_Num_Lam_Lam_Lam_Lam) \
  X(Mat, Lam_Num_Num) \
  X(Mat, Lam_Num_Num_Num) \
  X(Mat, Lam_Num_Num_Num_Num) \
  X(Mat, Lam_Num_Num_Num_Num_Num) \
  X(Mat, Lam_Num_Num_Num_Num_Num_Num) \
  X(Mat, Lam_Num_Num_Num_Num_Num_Num_Num_Num) \
  X(Mat, Lam_Num_Num_Num_Num_Num_Mat_Num_Num) \
  X(Mat, Lam_Num_Mat_Num) \
  X(Mat, Lam_Num_Mat_Num_Num) \
  X(Mat, Lam_Num_Mat_Num_Num_Num) \
  X(Mat, Lam_Lam_Lam_Num_Num_Num_Mat_Num_Num_Num_Num) \
  X(Mat, Any) \
  X(Mat, Any_Any) \
  X(Mat, Any_Any_Any) \
  X(Mat, Any_Any_Any_Any) \
  X(Mat, Any_Any_Any_Any_Any) \
  X(Mat, Any_Any_Any_Any_Any_Any) \
  X(Mat, Any_Any_Any_Any_Any_Any_Any) \
  X(Mat, Any_Any_Any_Any_Any_Any_Any_Any) \
  X(Mat, Any_Any_Any_Any_Any_Any_Any_Any_Any_Any_Any) \
  X(Mat, Variable) \
  X(Mat, List) \
  X(Mat, Str) \
  X(Mat, Rng) \
  X(Mat, Rng_Rng) \
  /* to Any (18) */ \
  X(Any, Any) \
  X(Any, Any_Any) \
  X(Any, Any_Any_Any) \
  X(Any, Any_Any_Any_Any) \
  X(Any, Any_Any_Any_Any_Any) \
  X(Any, Any_Any_Any_Any_Any_Any) \
  X(Any, Any_Any_Any_Any_Any_Any_Any) \
  X(Any, Any_Any_Any_Any_Any_Any_Any_Any) \
  X(Any, Any_Any_Any_Any_Any_Any_Any_Any_Any) \
  X(Any, Any_Any_Any_Any_Any_Any_Any_Any_Any_Any) \
  X(Any, List_Num) \
  X(Any, Num_Num_Lam) \
  X(Any, GlobList) \
  X(Any, GlobList_Any) \
  X(Any, GlobList_Any_Any_Any) \
  X(Any, GlobList_Any_Any_Component) \
  X(Any, Any_Any_Component) \
  X(Any, Variable) \
  /* to Str (5) */ \
  X(Str, Any) \
  X(Str, Any_Any) \
  X(Str, Any_Any_Any) \
  X(Str, Str) \
  X(Str, Variable) \
  /* to APair (1) */ \
  X(APair, Any_Any) \
  /* to List (2) */ \
  X(List, Any) \
  X(List, Variable) \
  /* to Unit (7) */ \
  X(Unit, Any) \
  X(Unit, Any_Any_Any_Any_Any_Any_Any) \
  X(Unit, Id) \
  X(Unit, Unit) \
  X(Unit, Unit_Unit) \
  X(Unit, Unit_Num) \
  X(Unit, Variable)
