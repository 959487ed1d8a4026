#pragma once
// The topic selection screen: three headed groups of topics as link labels,
// the level toggle (easy or hard) and the chooser of the exercise text size.
// A click on a topic hands the documents of its folder, for the chosen level,
// to the main window, which starts them on the exercise screen. The title
// screen holds it in its work rectangle and draws its background.

#include <string>
#include <vector>

#include "platform/Forms.h"
#include "platform/StringList.h"

class TImageButton2;

class TSelFrame : public TFrame {
  Q_OBJECT

 public:
  // Builds the screen at its design size (946 x 749) with its three sprite
  // buttons from ".\imgs\" (throws Exception when a sheet is missing) and
  // sets the body size of exercise pages to -18.
  explicit TSelFrame(QObject* owner);

  // Places the level button under its label, the size buttons flush right
  // and the size label beside them. Runs on a resize while the screen shows.
  void FrameResize();
  // Shows FontIndex in lFont and makes it the body size of exercise pages.
  void ApplyFontIndex();
  void ZoomInClick(TObject* sender);
  void ZoomOutClick(TObject* sender);
  // Toggles the level between easy (Tag 0) and hard (Tag 1).
  void LevelClick(TObject* sender);
  // Starts the documents of the clicked topic label; a missing or empty
  // topic folder is reported and nothing starts.
  void lLabelClick(TObject* sender);

  // The level's folder (".\docs\Легко\" or ".\docs\Сложно\", cp1251).
  std::string LevelFolder() const;

  TImage* Back = nullptr;  // the background the title screen composes for this screen
  TLabel* Label1;          // "Орфография"
  TLabel* Label15;         // "Пунктуация"
  TLabel* Label23;         // "Развитие речи"
  TLabel* lDifficulty;
  TLabel* lFont;  // the chosen text size, by name and in that size
  // The 23 topic labels in the order of their groups; Tag is the group and
  // the caption names the topic's folder.
  std::vector<TLabel*> TopicLabels;

  int FontIndex = 0;  // -1 small, 0 medium, 1 large
  TImageButton2* LevelButton = nullptr;
  TImageButton2* ZoomInButton = nullptr;
  TImageButton2* ZoomOutButton = nullptr;

 protected:
  void Resize() override;

 private:
  void CreateHeadings();
  void CreateTopicLabels();
  TImageButton2* CreateButton(const std::string& sheet, int width, int height, TNotifyEvent onClick);
};

// The "*.cml" files of folder (cp1251, no trailing delimiter) as folder +
// "\" + name, sorted as text with case ignored (so "10.cml" comes before
// "2.cml"). Folders are left out.
TStringList ListTopicDocuments(const std::string& folder);
