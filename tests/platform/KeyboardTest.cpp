// Keys: the split into a virtual-key step and a cp1251 character step, the
// program's Russian layout, and our own Tab/arrow focus walk.
#include <gtest/gtest.h>

#include <QTest>

#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"
#include "tests/platform/ControlFixtures.h"
#include "tests/platform/XKeyboard.h"

namespace {

class KeyProbe : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::vector<int> downs;
  std::string presses;  // the cp1251 bytes in order
  bool consume = false;

 protected:
  void KeyDown(unsigned short& key, TShiftState shift) override {
    downs.push_back(key);
    if (consume) key = 0;
    TWinControl::KeyDown(key, shift);
  }
  void KeyPress(char& key) override { presses += key; }
};

class KeyTest : public ::testing::Test {
 protected:
  void TearDown() override { DeactivateRussianLayout(); }

  // A Russian key as a Russian keyboard sends it: the letter's key code and text.
  void TypeRussian(char16_t letter) {
    const QString text(QChar{letter});
    QTest::sendKeyEvent(QTest::Click, &probe, Qt::Key(QChar(letter).toUpper().unicode()), text,
                        Qt::NoModifier);
  }

  KeyProbe probe{nullptr};
};

}  // namespace

TEST_F(KeyTest, MovementKeysReachOnlyKeyDown) {
  for (Qt::Key key :
       {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Home, Qt::Key_End, Qt::Key_Delete}) {
    QTest::keyClick(&probe, key);
  }
  EXPECT_EQ(probe.downs, (std::vector<int>{VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_HOME, VK_END, VK_DELETE}));
  EXPECT_EQ(probe.presses, "");
}

TEST_F(KeyTest, TypingKeysReachKeyDownThenKeyPress) {
  QTest::keyClick(&probe, 'a');
  QTest::keyClick(&probe, '7');
  QTest::keyClick(&probe, Qt::Key_Space);
  QTest::keyClick(&probe, Qt::Key_Backspace);
  QTest::keyClick(&probe, Qt::Key_Return);
  QTest::keyClick(&probe, Qt::Key_Escape);
  EXPECT_EQ(probe.downs, (std::vector<int>{'A', '7', VK_SPACE, VK_BACK, VK_RETURN, VK_ESCAPE}));
  EXPECT_EQ(probe.presses, std::string("a7 \b\r\x1b"));
}

TEST_F(KeyTest, ARussianLetterArrivesAsItsCp1251Byte) {
  TypeRussian(u'й');
  TypeRussian(u'Ж');
  TypeRussian(u'ё');
  EXPECT_EQ(probe.presses, "йЖё"_cp);
  EXPECT_EQ(static_cast<unsigned char>(probe.presses[0]), 0xE9);
  // The virtual key is the key the letter lies on, as on Windows.
  EXPECT_EQ(probe.downs, (std::vector<int>{'Q', 186, 192}));
}

TEST_F(KeyTest, ConsumingTheKeyInKeyDownSuppressesKeyPress) {
  probe.consume = true;
  QTest::keyClick(&probe, 'x');
  TypeRussian(u'ы');
  EXPECT_EQ(probe.downs.size(), 2u);
  EXPECT_EQ(probe.presses, "");
}

TEST_F(KeyTest, TheRussianLayoutMapsLatinKeysByPosition) {
  ActivateKeyboardLayout("00000419", KLF_ACTIVATE);
  ASSERT_TRUE(IsRussianLayoutActive());
  QTest::keyClick(&probe, 'q');
  QTest::keyClick(&probe, 'Q', Qt::ShiftModifier);
  QTest::keyClick(&probe, '[');
  QTest::keyClick(&probe, Qt::Key_BraceLeft, Qt::ShiftModifier);
  QTest::keyClick(&probe, '`');
  QTest::keyClick(&probe, ',');
  QTest::keyClick(&probe, '5');  // digits stay digits
  EXPECT_EQ(probe.presses, "йЙхХёб5"_cp);
  EXPECT_EQ(static_cast<unsigned char>(probe.presses[1]), 0xC9);
  EXPECT_EQ(probe.downs.front(), 'Q');  // the key itself is unchanged

  ActivateKeyboardLayout("00000409");
  EXPECT_FALSE(IsRussianLayoutActive());
  QTest::keyClick(&probe, 'q');
  EXPECT_EQ(probe.presses.back(), 'q');
}

// ----- the Russian layout on real keys

namespace {

// Every key of the typing block, unshifted and shifted, by what it types on the Russian layout.
const std::u16string RussianKeys = u"ё1234567890-=йцукенгшщзхъ\\фывапролджэячсмитьбю. ";
const std::u16string RussianShiftedKeys = u"Ё!\"№;%:?*()_+ЙЦУКЕНГШЩЗХЪ/ФЫВАПРОЛДЖЭЯЧСМИТЬБЮ,";

std::string Cp(const std::u16string& s) {
  return QStringToCp1251(QString::fromStdU16String(s));
}

}  // namespace

TEST_F(KeyTest, EveryKeyTypesTheRussianLayoutsCharacterOnEitherXLayout) {
  ActivateKeyboardLayout("00000419");
  for (TXLayout layout : {TXLayout::Us, TXLayout::Ru}) {
    probe.presses.clear();
    const XKeyboard keyboard(layout);
    keyboard.TypeRussianKeys(RussianKeys + RussianShiftedKeys, &probe);
    EXPECT_EQ(probe.presses, Cp(RussianKeys + RussianShiftedKeys)) << (layout == TXLayout::Us ? "us" : "ru");
  }
  // The keys that the issue's learner could not use, as the US X layout delivers them.
  probe.presses.clear();
  XKeyboard(TXLayout::Us).TypeUsKeys(u"rjn./<&?^$@", &probe);
  EXPECT_EQ(probe.presses, "котю.Б?,:;\""_cp);
}

TEST_F(KeyTest, WithoutTheRussianLayoutKeysTypeWhatTheXLayoutGives) {
  XKeyboard(TXLayout::Us).TypeUsKeys(u"q[./?", &probe);
  EXPECT_EQ(probe.presses, "q[./?");
  probe.presses.clear();
  XKeyboard(TXLayout::Ru).TypeRussianKeys(u"й.,№", &probe);
  EXPECT_EQ(probe.presses, "й.,№"_cp);
}

TEST_F(KeyTest, CapsLockCapitalisesEveryRussianLetterKeyButNotTheOthers) {
  ActivateKeyboardLayout("00000419");
  const XKeyboard us(TXLayout::Us);
  for (char16_t c : std::u16string(u"q[;.1/"))
    us.Click(XKeyboard::StrokeFor(TXLayout::Us, c), {}, &probe, true);
  us.Click(XKeyboard::StrokeFor(TXLayout::Us, u'Q'), {}, &probe, true);  // Shift undoes Caps Lock
  EXPECT_EQ(probe.presses, "ЙХЖЮ1.й"_cp);
}

TEST_F(KeyTest, ChordsAreNeverMappedAndKeepTheirKeyOnEveryLayout) {
  ActivateKeyboardLayout("00000419");
  for (TXLayout layout : {TXLayout::Us, TXLayout::Ru}) {
    probe.downs.clear();
    probe.presses.clear();
    const XKeyboard keyboard(layout);
    keyboard.Click(XKeyboard::StrokeFor(TXLayout::Us, u'c'), Qt::ControlModifier, &probe);
    keyboard.Click(XKeyboard::StrokeFor(TXLayout::Us, u'f'), Qt::AltModifier, &probe);
    keyboard.TypeUsKeys(u"n", &probe);
    EXPECT_EQ(probe.downs, (std::vector<int>{'C', 'F', 'N'}));
    // Under Ctrl or Alt the X layout's own text passes: a control character or a Cyrillic letter.
    const std::string chords = layout == TXLayout::Us ? std::string(
                                                            "\x03"
                                                            "f")
                                                      : "са"_cp;
    EXPECT_EQ(probe.presses, chords + "т"_cp);
  }
}

TEST_F(KeyTest, EventsWithoutAScanCodeAreReadAsAUsKeyboard) {
  ActivateKeyboardLayout("00000419");
  for (char c : std::string("q{/?&`")) QTest::keyClick(&probe, c);
  QTest::keyClick(&probe, Qt::Key_Period, Qt::KeypadModifier);  // the keypad's point stays a point
  EXPECT_EQ(probe.presses, "йХ.,?ё."_cp);
  // A Cyrillic key code names the key the letter lies on.
  probe.downs.clear();
  TypeRussian(u'т');
  EXPECT_EQ(probe.downs, (std::vector<int>{'N'}));
}

// ----- focus walk

namespace {

// root: a, box { b1, b2 (no tab stop), b3 }, c
class FocusWalkTest : public ShownFormTest {
 protected:
  void SetUp() override {
    ShownFormTest::SetUp();
    a = Add(&form, true);
    box = Add(&form, false);
    b1 = Add(box, true);
    b2 = Add(box, false);
    b3 = Add(box, true);
    c = Add(&form, true);
  }

  KeyProbe* Add(TWinControl* parent, bool tabStop) {
    auto* control = new KeyProbe(&form);
    control->SetParent(parent);
    control->SetBounds(0, 0, 10, 10);
    control->SetTabStop(tabStop);
    return control;
  }

  KeyProbe *a, *box, *b1, *b2, *b3, *c;
};

}  // namespace

TEST_F(FocusWalkTest, WalksNestedControlsInCreationOrderAndWraps) {
  EXPECT_EQ(form.FindNextControl(a, true, true), b1);
  EXPECT_EQ(form.FindNextControl(b1, true, true), b3);
  EXPECT_EQ(form.FindNextControl(b3, true, true), c);
  EXPECT_EQ(form.FindNextControl(c, true, true), a);
  EXPECT_EQ(form.FindNextControl(a, false, true), c);
  EXPECT_EQ(form.FindNextControl(nullptr, true, true), a);
  EXPECT_EQ(form.FindNextControl(nullptr, false, true), c);
  EXPECT_EQ(form.FindNextControl(a, true, false), box);  // without tab stops every control counts
}

TEST_F(FocusWalkTest, SkipsHiddenAndDisabledControls) {
  b3->SetEnabled(false);
  EXPECT_EQ(form.FindNextControl(b1, true, true), c);
  box->Hide();  // its children cannot take the focus either
  EXPECT_EQ(form.FindNextControl(a, true, true), c);
}

TEST_F(FocusWalkTest, TabMovesTheFocusAndEntersAndExitsFire) {
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  std::vector<std::string> events;
  a->OnExit = [&](TObject*) { events.push_back("exit a"); };
  b1->OnEnter = [&](TObject*) { events.push_back("enter b1"); };
  a->SetFocus();
  ASSERT_TRUE(a->Focused());
  QTest::keyClick(a, Qt::Key_Tab);
  EXPECT_TRUE(b1->Focused());
  EXPECT_TRUE(a->downs.empty());  // the Tab moved the focus before any KeyDown
  QTest::keyClick(b1, Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(events, (std::vector<std::string>{"exit a", "enter b1"}));
  form.SelectNext(c, true, true);  // wraps to the first
  EXPECT_TRUE(a->Focused());
}

// Without a window manager a window takes keys without ever being active, and
// Qt tells its controls nothing of the focus moving: the steps still fire,
// once each, and coming back to the window fires none.
TEST_F(FocusWalkTest, TheFocusStepsFireInAWindowThatIsNotActive) {
  TForm other;
  other.SetBounds(400, 0, 50, 50);
  other.Show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  ASSERT_FALSE(form.isActiveWindow());
  std::vector<std::string> events;
  a->OnEnter = [&](TObject*) { events.push_back("enter a"); };
  a->OnExit = [&](TObject*) { events.push_back("exit a"); };
  b1->OnEnter = [&](TObject*) { events.push_back("enter b1"); };
  b1->OnExit = [&](TObject*) { events.push_back("exit b1"); };
  a->SetFocus();
  a->SetFocus();  // already there: nothing fires
  QTest::keyClick(a, Qt::Key_Tab);
  EXPECT_TRUE(b1->Focused());
  EXPECT_FALSE(a->Focused());
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_TRUE(b1->Focused());
  EXPECT_EQ(events, (std::vector<std::string>{"enter a", "exit a", "enter b1"}));
}
