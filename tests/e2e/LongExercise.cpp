// Writes the long exercise document for the end-to-end test and tells the
// test what to do on it: the mistakes of the untouched document, then each
// place that takes an answer, in Tab order, with its answer.
//   long_exercise OUT.cml WORDS
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/support/DenseExercise.h"

namespace {

const char* KindName(TDenseExercise::TPlace::TKind kind) {
  switch (kind) {
    case TDenseExercise::TPlace::TKind::Field:
      return "field";
    case TDenseExercise::TPlace::TKind::Comma:
      return "comma";
    case TDenseExercise::TPlace::TKind::CheckBox:
      return "box";
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[2]) < 1) {
    std::fprintf(stderr, "usage: long_exercise OUT.cml WORDS\n");
    return 2;
  }
  const TDenseExercise exercise = DenseExercise(std::atoi(argv[2]));
  std::ofstream out(argv[1], std::ios::binary);
  out << exercise.text;
  out.close();
  if (!out) {
    std::fprintf(stderr, "long_exercise: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("mistakes %d\n", exercise.UntouchedMistakes());
  for (const TDenseExercise::TPlace& place : exercise.places)
    std::printf("%s %s\n", KindName(place.kind), place.answer.c_str());
  return 0;
}
