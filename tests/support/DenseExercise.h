#pragma once
// A long exercise document in the course's style, as large as a learner may
// meet: sentences with fill-in letters and comma places, every third followed
// by a check box, every tenth by a paragraph of word corrections. With the
// places a learner reaches by Tab and what each wants.

#include <string>
#include <vector>

struct TDenseExercise {
  // One place that takes an answer, in document (and Tab) order.
  struct TPlace {
    enum class TKind { Field, Comma, CheckBox } kind;
    // A field's letters (UTF-8); "1" where a comma or a tick is wanted, "" where not.
    std::string answer;
  };

  std::string text;  // the document, in cp1251 as the program reads it
  std::vector<TPlace> places;
  int wrongWords = 0;  // words of the correction paragraphs to correct

  // The mistakes a check counts on the document as it opens: every place
  // whose answer is not empty, and every wrong word.
  int UntouchedMistakes() const;
};

// About words words of text (the word correction paragraphs count theirs).
TDenseExercise DenseExercise(int words);
