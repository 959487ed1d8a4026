// The memory exercise: its passage, the button that swaps the words to
// memorise for empty fields, typing the words back, the two kinds of check,
// and the reset to the words, driven by real mouse and key events.
#include <gtest/gtest.h>

#include <QTest>

#include "MarkFixtures.h"
#include "exercise/RLButton.h"
#include "exercise/RLEdit.h"
#include "exercise/RLMemory.h"
#include "platform/KeyboardLayout.h"
#include "tests/platform/XKeyboard.h"

namespace {

const std::string Passage =
    "<memory Запомните: <memolabel text=берёза>, <memolabel text=сирень> и <memolabel text=ландыш>. "
    "<br><submit caption=Готово>>"_cp;

class MemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The trainer turns its Russian layout on at start.
    ActivateKeyboardLayout("00000419");
    memory_ = page_.ParseOne<TRLMemory>(Passage);
    ASSERT_NE(memory_, nullptr);
    for (int i = 0; i < memory_->ControlCount(); ++i) {
      if (auto* label = qobject_cast<TRLMemoryLabel*>(memory_->Controls(i))) labels_.push_back(label);
      if (auto* button = qobject_cast<TRLButton*>(memory_->Controls(i))) button_ = button;
    }
    ASSERT_EQ(labels_.size(), 3u);
    ASSERT_NE(button_, nullptr);
  }
  void TearDown() override { DeactivateRussianLayout(); }

  void Submit() {
    ASSERT_TRUE(page_.Show());
    QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(10, 10));
  }
  TRLEdit* Field(int i) const { return labels_[i]->AnswerEdit; }
  // The keys of the Russian layout that type letters, pressed on a Russian X layout.
  static void TypeRussian(TRLEdit* field, const std::u16string& letters) {
    XKeyboard(TXLayout::Ru).TypeRussianKeys(letters, field);
  }
  std::vector<QRect> Geometry() const {
    std::vector<QRect> rects;
    for (int i = 0; i < memory_->ControlCount(); ++i) {
      const TControl* c = memory_->Controls(i);
      rects.emplace_back(c->Left(), c->Top(), c->Width(), c->Height());
    }
    return rects;
  }

  MarkPage page_;
  TRLMemory* memory_ = nullptr;
  std::vector<TRLMemoryLabel*> labels_;
  TRLButton* button_ = nullptr;
};

}  // namespace

// ----- the passage

TEST_F(MemoryTest, ReadsWordsToMemoriseTheButtonAndPlainText) {
  EXPECT_EQ(FindTagClass("Memory"), &CreateControl<TRLMemory>);
  EXPECT_EQ(labels_[0]->Caption(), "берёза"_cp);
  EXPECT_EQ(labels_[2]->Caption(), "ландыш"_cp);
  EXPECT_EQ(button_->Caption(), "Готово"_cp);
  for (TRLMemoryLabel* label : labels_) {
    EXPECT_EQ(label->ExtraAbove, label->Height());
    EXPECT_EQ(label->Height(), TextHeightOf(label, label->Caption()));
  }
  // The break puts the button on a line of its own, below the words.
  EXPECT_GT(button_->Top(), labels_[0]->Top() + labels_[0]->Height() - 1);
  EXPECT_EQ(button_->Left(), 0);
  // Words within a chunk keep their blanks: "и" stands apart from its neighbours.
  EXPECT_GT(labels_[2]->Left(), labels_[1]->Left() + labels_[1]->Width() + TextWidthOf(labels_[1], "и"_cp));
}

TEST_F(MemoryTest, StyleTagsAndUnknownItemsAreRefused) {
  FreeChildren(&page_.Parser());
  EXPECT_EQ(ExceptionMessage([&] { page_.Parse<TRLControl>("<memory слово <i>курсив</i>>"_cp); }),
            "Unknown tag: \"i\"");
  FreeChildren(&page_.Parser());
  EXPECT_EQ(ExceptionMessage([&] { page_.Parse<TRLControl>("<memory <Слово>>"_cp); }),
            "Unknown tag: \"Слово\""_cp);
}

TEST_F(MemoryTest, EmbeddedControlsAreCheckedWithThePassage) {
  FreeChildren(&page_.Parser());
  auto* memory = page_.ParseOne<TRLMemory>("<memory <memolabel text=кот> <answer right=1>>"_cp);
  memory->Check();
  EXPECT_EQ(memory->Score, 1);
  EXPECT_EQ(memory->MaxScore, 2);
}

TEST_F(MemoryTest, PlainWordsAreNotOpenedForEditing) {
  ASSERT_TRUE(page_.Show());
  const int before = memory_->ControlCount();
  QTest::mouseClick(memory_->Controls(0), Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(memory_->ControlCount(), before);
}

// ----- the submit

TEST_F(MemoryTest, CheckBeforeTheSubmitCountsEveryWordAsAnError) {
  page_.Parser().Check();
  EXPECT_EQ(memory_->Score, 0);
  EXPECT_EQ(memory_->MaxScore, 3);
  EXPECT_EQ(page_.Parser().MaxScore, 3);
  page_.Parser().CheckOnlyScore();
  EXPECT_EQ(page_.Parser().MaxScore, 3);
}

TEST_F(MemoryTest, TheButtonReplacesEachWordByAnEmptyFieldInItsPlace) {
  Submit();
  EXPECT_FALSE(button_->Visible());
  for (TRLMemoryLabel* label : labels_) {
    TRLEdit* field = label->AnswerEdit;
    ASSERT_NE(field, nullptr);
    EXPECT_FALSE(label->Visible());
    EXPECT_FALSE(field->InFlow);
    EXPECT_EQ(field->Parent(), memory_);
    EXPECT_EQ(field->Text(), "");
    EXPECT_EQ(field->Answer()[0], label->Caption());
    EXPECT_EQ(field->MaxChar, int(label->Caption().size()) + 2);
    EXPECT_EQ(field->Left(), label->Left());
    // The typed word stands on the baseline of the text around it.
    EXPECT_EQ(field->Top() + field->TextBaseline(), label->Top() + label->Font().Ascent());
    // Room for the word in bold.
    TFont bold = label->Font();
    bold.Style |= fsBold;
    EXPECT_GT(field->Width(), TextWidth(bold, label->Caption()));
  }
  // The passage makes room for the fields: what follows a word stands beyond its field.
  int first = 0;
  while (memory_->Controls(first) != labels_[0]) ++first;
  const TControl* comma = memory_->Controls(first + 1);
  EXPECT_EQ(comma->Caption(), ","_cp);
  EXPECT_GE(comma->Left(), Field(0)->Left() + Field(0)->Width());
  EXPECT_EQ(comma->Top() + comma->Height(), labels_[0]->Top() + labels_[0]->Height());
  // The typing starts in the first field.
  EXPECT_TRUE(Field(0)->Focused());
}

TEST_F(MemoryTest, FieldsTakeTwoCharactersMoreThanTheirWordAndIgnoreCase) {
  Submit();
  TypeRussian(Field(0), u"БЕРЁЗА");
  Field(1)->SetFocus();
  TypeRussian(Field(1), u"сиреньккк");
  EXPECT_EQ(Field(1)->Text(), "сиренькк"_cp);
  page_.Parser().Check();
  EXPECT_EQ(memory_->Score, 1);
  EXPECT_EQ(memory_->MaxScore, 3);
  EXPECT_FALSE(Field(0)->ErrorShown);
  EXPECT_TRUE(Field(1)->ErrorShown);
  EXPECT_TRUE(Field(2)->ErrorShown);
  // The words under the fields no longer count.
  for (TRLMemoryLabel* label : labels_) EXPECT_EQ(label->MaxScore, 0);
}

TEST_F(MemoryTest, SilentScoreCountsTheFieldsLikeTheCheck) {
  Submit();
  TypeRussian(Field(2), u"ландыш");
  page_.Parser().CheckOnlyScore();
  EXPECT_EQ(memory_->Score, 1);
  EXPECT_EQ(memory_->MaxScore, 3);
  EXPECT_EQ(page_.Parser().MaxScore - page_.Parser().Score, 2);
  EXPECT_FALSE(Field(0)->ErrorShown);  // and shows nothing
}

TEST_F(MemoryTest, ResetBringsBackTheWordsAndTheButtonWhereTheyWere) {
  const std::vector<QRect> before = Geometry();
  Submit();
  TypeRussian(Field(0), u"берёза");
  page_.Parser().Check();
  const QPointer<TRLEdit> field(Field(0));
  page_.Parser().Reset();
  EXPECT_TRUE(field.isNull());
  for (TRLMemoryLabel* label : labels_) {
    EXPECT_TRUE(label->Visible());
    EXPECT_EQ(label->AnswerEdit, nullptr);
  }
  EXPECT_TRUE(button_->Visible());
  EXPECT_EQ(button_->State(), TRLButton::bsNormal);
  EXPECT_EQ(Geometry(), before);
  // And round again.
  QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_NE(Field(2), nullptr);
  EXPECT_EQ(Field(2)->Text(), "");
}

TEST_F(MemoryTest, FieldsFollowTheirWordsWhenThePassageFlowsAgain) {
  Submit();
  memory_->SetWidth(TextWidthOf(labels_[0], "Запомните: берёза, "_cp) + 20);
  for (TRLMemoryLabel* label : labels_) {
    EXPECT_EQ(label->AnswerEdit->Top() + label->AnswerEdit->TextBaseline(), label->Top() + label->Font().Ascent());
    EXPECT_LE(label->AnswerEdit->Left() + label->AnswerEdit->Width(), memory_->Width());
  }
  EXPECT_GT(labels_[2]->Top(), labels_[0]->Top());
}

TEST_F(MemoryTest, RendersForAPerson) {
  ASSERT_TRUE(page_.Show());
  QDir().mkpath(EXERCISE_RENDER_DIR);
  ASSERT_TRUE(page_.Window().grab().save(QString(EXERCISE_RENDER_DIR) + "/memory-before.png"));
  Submit();
  TypeRussian(Field(0), u"берёза");
  Field(1)->SetFocus();
  TypeRussian(Field(1), u"сирнь");
  page_.Parser().Check();
  ASSERT_TRUE(page_.Window().grab().save(QString(EXERCISE_RENDER_DIR) + "/memory-checked.png"));
  // The button's place is paper again once it hides.
  const QImage shot = page_.Window().grab().toImage();
  const QPoint centre = button_->mapTo(&page_.Window(), QPoint(button_->Width() / 2, button_->Height() / 2));
  EXPECT_EQ(shot.pixel(centre) & 0xFFFFFF, ColorToPixel(PageColor) & 0xFFFFFF);
}

// ----- the course's sample

TEST(MemorySample, ALearnerWhoRemembersEveryWordMakesNoMistake) {
  MarkPage page(700);
  auto* memory = page.ParseOne<TRLMemory>(CourseDocumentBody("docs/Легко/Словарные слова/01.cml"));
  ASSERT_NE(memory, nullptr);
  std::vector<TRLMemoryLabel*> labels;
  TRLButton* button = nullptr;
  for (int i = 0; i < memory->ControlCount(); ++i) {
    if (auto* label = qobject_cast<TRLMemoryLabel*>(memory->Controls(i))) labels.push_back(label);
    if (auto* found = qobject_cast<TRLButton*>(memory->Controls(i))) button = found;
  }
  ASSERT_EQ(labels.size(), 8u);
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(page.Show());
  QDir().mkpath(EXERCISE_RENDER_DIR);
  page.Window().grab().save(QString(EXERCISE_RENDER_DIR) + "/memory-sample.png");
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
  for (TRLMemoryLabel* label : labels) {
    ASSERT_NE(label->AnswerEdit, nullptr);
    // Every field stays inside the passage, whatever line its word fell on.
    EXPECT_LE(label->AnswerEdit->Left() + label->AnswerEdit->Width(), memory->Width());
    label->AnswerEdit->SetText(label->Caption());
  }
  page.Parser().Check();
  EXPECT_EQ(page.Parser().Score, 8);
  EXPECT_EQ(page.Parser().MaxScore, 8);
  page.Window().grab().save(QString(EXERCISE_RENDER_DIR) + "/memory-sample-answered.png");
}
