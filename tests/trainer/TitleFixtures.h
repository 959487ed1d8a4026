#pragma once
// Shared set-up of the title and topic screen tests: the title screen shown
// in a window of a chosen screen size, and topic folders under ".\docs\" in
// the current folder.

#include <memory>
#include <string>
#include <vector>

#include "TrainerFixtures.h"
#include "trainer/TitleScreen.h"
#include "trainer/TopicScreen.h"

// A window at the screen's size with the title screen filling it, shown
// unless asked otherwise; the window is the application's main form while
// it lives.
class TTitleScreen {
 public:
  TTitleScreen(int width, int height, bool shown = true);
  ~TTitleScreen();
  TForm& Host() { return *host_; }
  TTitleFrame& Frame() { return *frame_; }
  TSelFrame& Topics() { return *frame_->SelFrame1; }

 private:
  TScreenSize screen_;
  std::unique_ptr<TForm> host_;
  TTitleFrame* frame_;
};

// Topic folders made under "docs" in the current folder, removed with it.
class TTopicFolders {
 public:
  TTopicFolders() = default;
  ~TTopicFolders();
  TTopicFolders(const TTopicFolders&) = delete;
  TTopicFolders& operator=(const TTopicFolders&) = delete;
  // Makes docs/<level>/<topic> (UTF-8 names) holding a document of one
  // fill-in field per name in documents; returns the folder as the topic
  // screen names it (cp1251, backslashes).
  std::string Add(const std::string& level, const std::string& topic,
                  const std::vector<std::string>& documents);
};

// A real click in the middle of a control, through the window that holds it.
void ClickOn(QWidget& root, const QWidget& control);
