#include "trainer/TopicScreen.h"

#include <algorithm>

#include "exercise/ExercisePage.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/Font.h"
#include "platform/StrUtils.h"
#include "trainer/MainForm.h"
#include "widgets/ImageButton.h"

namespace {

constexpr int kDesignWidth = 946, kDesignHeight = 749;
constexpr TColor kTopicColor = 0xAC4918;
constexpr int kLevelButtonWidth = 100, kLevelButtonHeight = 30;
constexpr int kZoomButtonWidth = 76, kZoomButtonHeight = 32;
constexpr int kZoomTop = 100;
// The size label reaches this far into the column of the size buttons.
constexpr int kFontLabelOverlap = 10;

struct TTopic {
  const char* Name;  // the label's name in the screen's design
  int Group;         // 0 orthography, 1 punctuation, 2 speech
  const char* Caption;
};

// The caption is also the name of the topic's folder, so it stays exactly
// as the course names it (two blanks in the third punctuation topic).
const TTopic kTopics[] = {
    {"lLabel", 0, "Правописание гласных в корне"},
    {"Label2", 0, "Правописание согласных в корне"},
    {"Label3", 0, "Гласные после шипящих и Ц"},
    {"Label4", 0, "Употребление Ь и Ъ"},
    {"Label5", 0, "Правописание приставок"},
    {"Label6", 0, "Правописание имен существительных"},
    {"Label7", 0, "Правописание имен прилагательных"},
    {"Label8", 0, "Правописание имен числительных"},
    {"Label9", 0, "Правописание местоимений"},
    {"Label10", 0, "Правописание глаголов"},
    {"Label11", 0, "Правописание причастий"},
    {"Label12", 0, "Правописание наречий"},
    {"Label13", 0, "Правописание предлогов, союзов, частиц"},
    {"Label14", 0, "Правописание НЕ с разными частями речи"},
    {"Label16", 1, "Тире между подлежащим и сказуемым"},
    {"Label17", 1, "Знаки препинания при однородных членах"},
    {"Label18", 1, "Знаки препинания при  обособленных членах предложения"},
    {"Label19", 1, "Слова, грамматически не связанные с предложением"},
    {"Label20", 1, "Пунктуация в сложном союзном предложении"},
    {"Label21", 1, "Пунктуация в бессоюзном сложном предложении"},
    {"Label22", 1, "Пунктуация при прямой речи"},
    {"Label24", 2, "Упражнение на понимание и запоминание текстов"},
    {"Label25", 2, "Упражнения на построение текстов"},
};

const char* const kGroupHeadings[] = {"Орфография", "Пунктуация", "Развитие речи"};

// Where the k-th label of a group stands. The first step of the first group
// is one pixel longer than the others.
TPoint TopicPlace(int group, int k) {
  switch (group) {
    case 0:
      return Point(48, k == 0 ? 71 : 99 + 27 * (k - 1));
    case 1:
      return Point(424, 71 + 27 * k);
    default:
      return Point(423, 315 + 27 * k);
  }
}

struct TFontChoice {
  const char* Caption;
  int Size;
};

// By FontIndex + 1.
const TFontChoice kFontChoices[] = {{"Маленький", -12}, {"Средний", -14}, {"Большой", -18}};

TLabel* MakeLabel(TSelFrame* frame, const std::string& caption, const TFont& font, TPoint at) {
  auto* label = new TLabel(frame);
  label->SetParent(frame);
  label->SetFont(font);
  label->SetTransparent(true);
  label->SetCaption(caption);
  label->SetLeft(at.X);
  label->SetTop(at.Y);
  return label;
}

void SetFontSize(TLabel& label, int size) {
  TFont font = label.Font();
  font.SetSize(size);
  label.SetFont(font);
}

}  // namespace

TStringList ListTopicDocuments(const std::string& folder) {
  std::vector<std::string> paths;
  for (const std::string& name : ListFiles(folder, "*.cml")) paths.push_back(folder + "\\" + name);
  // Whole paths as text, case ignored: "10.cml" comes before "2.cml", which
  // is why a course numbers its documents with leading zeros. Names equal but
  // for case keep a fixed order all the same.
  std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
    const int order = CompareTextRu(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  TStringList list;
  for (const std::string& path : paths) list.Add(path);
  return list;
}

TSelFrame::TSelFrame(QObject* owner) : TFrame(owner) {
  SetBounds(0, 0, kDesignWidth, kDesignHeight);
  SetColor(clBtnFace);
  Back = new TImage(this);
  Back->SetParent(this);
  // Opaque: the picture covers the whole screen, and leaving out the colour
  // of its bottom-left pixel would punch holes wherever the background
  // happens to have that colour.
  Back->SetAlign(alClient);
  CreateHeadings();
  CreateTopicLabels();

  LevelButton = CreateButton(".\\imgs\\LevelEasy.png", kLevelButtonWidth, kLevelButtonHeight,
                             [this](TObject* sender) { LevelClick(sender); });
  // Exercise pages take the large size until the screen is first shown,
  // although the chooser reads "medium" until then.
  SetFontSize(*lFont, kFontChoices[2].Size);
  BodyFontSize = kFontChoices[2].Size;
  lFont->Hide();
  ZoomInButton = CreateButton(".\\imgs\\zoom_font_06.png", kZoomButtonWidth, kZoomButtonHeight,
                              [this](TObject* sender) { ZoomInClick(sender); });
  ZoomOutButton = CreateButton(".\\imgs\\zoom_font_02.png", kZoomButtonWidth, kZoomButtonHeight,
                               [this](TObject* sender) { ZoomOutClick(sender); });
}

void TSelFrame::CreateHeadings() {
  const TFont heading = MakeFont("Tahoma", 24);
  Label1 = MakeLabel(this, Utf8ToCp1251(kGroupHeadings[0]), heading, Point(32, 24));
  Label15 = MakeLabel(this, Utf8ToCp1251(kGroupHeadings[1]), heading, Point(408, 24));
  Label23 = MakeLabel(this, Utf8ToCp1251(kGroupHeadings[2]), heading, Point(408, 282));
  lDifficulty = MakeLabel(this, "Уровень сложности:"_cp, heading, Point(408, 389));
  lDifficulty->OnClick = [this](TObject* sender) { LevelClick(sender); };
  lFont = MakeLabel(this, Utf8ToCp1251(kFontChoices[1].Caption), MakeFont("Times New Roman", 19),
                    Point(576, 504));
}

void TSelFrame::CreateTopicLabels() {
  const TFont link = MakeFont("Times New Roman", 16, kTopicColor, fsUnderline);
  int inGroup[3] = {0, 0, 0};
  for (const TTopic& topic : kTopics) {
    TLabel* label =
        MakeLabel(this, Utf8ToCp1251(topic.Caption), link, TopicPlace(topic.Group, inGroup[topic.Group]++));
    label->SetName(topic.Name);
    label->Tag = topic.Group;
    label->SetCursor(Qt::PointingHandCursor);
    label->OnClick = [this](TObject* sender) { lLabelClick(sender); };
    TopicLabels.push_back(label);
  }
}

TImageButton2* TSelFrame::CreateButton(const std::string& sheet, int width, int height,
                                       TNotifyEvent onClick) {
  auto* button = new TImageButton2(this);
  button->LoadSheet(sheet);
  button->SetBounds(0, 0, width, height);
  button->FrameWidth = width;
  button->FrameHeight = height;
  button->SetParent(this);
  button->OnClick = std::move(onClick);
  button->BringToFront();
  button->SetState(TImageButton2::bsNormal);
  return button;
}

void TSelFrame::Resize() {
  TFrame::Resize();
  // A hidden screen keeps its start-up sizes: the body size stays large
  // until the learner sees the chooser.
  if (Showing()) FrameResize();
}

void TSelFrame::FrameResize() {
  LevelButton->SetBounds(lDifficulty->Left(), lDifficulty->Top() + 30, LevelButton->Width(),
                         LevelButton->Height());
  if (!ZoomOutButton) return;
  lFont->Show();
  ZoomOutButton->SetBounds(Width() - ZoomOutButton->Width(), kZoomTop, ZoomOutButton->Width(),
                           ZoomOutButton->Height());
  ZoomInButton->SetBounds(Width() - ZoomInButton->Width(), ZoomOutButton->Top() + ZoomOutButton->Height(),
                          ZoomInButton->Width(), ZoomInButton->Height());
  ApplyFontIndex();
}

void TSelFrame::ApplyFontIndex() {
  if (FontIndex >= -1 && FontIndex <= 1) {
    const TFontChoice& choice = kFontChoices[FontIndex + 1];
    SetFontSize(*lFont, choice.Size);
    lFont->SetCaption(Utf8ToCp1251(choice.Caption));
    BodyFontSize = choice.Size;
  }
  const int buttonsHeight = ZoomOutButton->Height() + ZoomInButton->Height();
  lFont->SetTop(ZoomOutButton->Top() + (buttonsHeight - lFont->Height()) / 2);
  lFont->SetLeft(ZoomOutButton->Left() + kFontLabelOverlap - lFont->Width());
  lFont->BringToFront();
}

void TSelFrame::ZoomInClick(TObject*) {
  if (FontIndex < 1) ++FontIndex;
  ApplyFontIndex();
}

void TSelFrame::ZoomOutClick(TObject*) {
  if (FontIndex >= 0) --FontIndex;
  ApplyFontIndex();
}

void TSelFrame::LevelClick(TObject*) {
  LevelButton->Tag = LevelButton->Tag == 0 ? 1 : 0;
  LevelButton->LoadSheet(LevelButton->Tag != 0 ? ".\\imgs\\LevelHard.png" : ".\\imgs\\LevelEasy.png");
  LevelButton->SetState(TImageButton2::bsNormal);
}

std::string TSelFrame::LevelFolder() const {
  return LevelButton->Tag == 0 ? ".\\docs\\Легко\\"_cp : ".\\docs\\Сложно\\"_cp;
}

void TSelFrame::lLabelClick(TObject* sender) {
  const auto* label = qobject_cast<TLabel*>(sender);
  if (!label) return;
  const std::string folder = LevelFolder() + label->Caption();
  if (!DirectoryExists(folder)) {
    ShowMessage(
        Format("Упражнения по теме «%s» не найдены: нет папки %s."_cp.c_str(), label->Caption(), folder));
    return;
  }
  const TStringList documents = ListTopicDocuments(folder);
  // An empty list would leave the learner on a blank exercise screen with no
  // way back to the topics.
  if (documents.Count() == 0) {
    ShowMessage(Format("В теме «%s» пока нет упражнений."_cp.c_str(), label->Caption()));
    return;
  }
  if (!MainForm) throw Exception("The topics cannot be started without the main window.");
  if (label->Tag >= 0 && label->Tag <= 2) MainForm->SectionName = Utf8ToCp1251(kGroupHeadings[label->Tag]);
  MainForm->StartExercises(documents);
}
