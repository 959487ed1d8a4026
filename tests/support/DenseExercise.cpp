#include "tests/support/DenseExercise.h"

#include <QString>
#include <algorithm>
#include <iterator>

#include "platform/Cp1251.h"

int TDenseExercise::UntouchedMistakes() const {
  const auto answered =
      std::count_if(places.begin(), places.end(), [](const TPlace& place) { return !place.answer.empty(); });
  return int(answered) + wrongWords;
}

TDenseExercise DenseExercise(int words) {
  using TKind = TDenseExercise::TPlace::TKind;
  static const char* const kWords[] = {"ранней",   "весной", "мы",    "пошли", "в",        "лесок", "по",
                                       "тропинке", "бежали", "ручьи", "и",     "зеленела", "трава"};
  TDenseExercise exercise;
  QString text = "Вставьте пропущенные буквы и расставьте запятые.\n<~~~>\nПодсказка.\n<~~~>\n";
  int n = 0;
  for (int sentence = 1; n < words; ++sentence) {
    text += QString("%1. ").arg(sentence);
    for (int i = 0; i < 12 && n < words; ++i, ++n) {
      const QString word = QString::fromUtf8(kWords[n % std::size(kWords)]);
      if (i == 2) {
        text += word.left(1) + "<edit width=1 answer=" + word.mid(1, 1) + ">" + word.mid(2) + " ";
        exercise.places.push_back({TKind::Field, word.mid(1, 1).toStdString()});
      } else if (i == 6) {
        text += word + "<comma answer=1> ";
        exercise.places.push_back({TKind::Comma, "1"});
      } else if (i == 9) {
        text += word + "<comma> ";
        exercise.places.push_back({TKind::Comma, ""});
      } else {
        text += word + " ";
      }
    }
    text += ".<br>\n";
    if (sentence % 3 == 0) {
      text += "<checkbox caption=\"Верно ли это предложение?\" answer=1><br>\n";
      exercise.places.push_back({TKind::CheckBox, "1"});
    }
    if (sentence % 10 == 0) {
      text +=
          "<editable Ранней <error text=висной answer=весной> мы пошли в лес. На <error text=палянке "
          "answer=полянке> ещё лежал снег.><br>\n";
      exercise.wrongWords += 2;
      n += 9;
    }
  }
  exercise.text = QStringToCp1251(text);
  return exercise;
}
