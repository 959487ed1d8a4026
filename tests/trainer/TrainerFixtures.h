#pragma once
// Shared set-up of the trainer's tests: the generated pictures in an "imgs"
// folder under a temporary current directory, a chosen screen size, a main
// window holding the exercise screen, and helpers to look at pixels.

#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "platform/Forms.h"
#include "trainer/WorkFrame.h"

// Makes the pictures once per test program and enters their folder.
void EnterArtworkFolder();
std::string ImgsPath(const std::string& name);

// Moves a picture away (or replaces it with broken bytes) for one scope.
class TPictureAside {
 public:
  explicit TPictureAside(const std::string& name, bool broken = false);
  ~TPictureAside();

 private:
  std::string path_;
};

// A screen of the given size for one scope.
class TScreenSize {
 public:
  TScreenSize(int width, int height);
  ~TScreenSize();
};

// The main window at the screen's size with the exercise screen filling it;
// the window is the application's main form while it lives.
class TWorkScreen {
 public:
  TWorkScreen(int width, int height);
  ~TWorkScreen();
  TForm& Host() { return *host_; }
  TWorkFrame& Frame() { return *frame_; }

 private:
  TScreenSize screen_;
  std::unique_ptr<TForm> host_;
  TWorkFrame* frame_;
};

// Real mouse input at a point of root, delivered to the control that lies
// on top there, as the window system would.
enum class TMouseStep { Press, Release, Click, Move };
QWidget* MouseAt(QWidget& root, QPoint at, TMouseStep step);

int Channel(std::uint32_t word, int shift);
// The widget as it shows on screen, as pixel words of a TBitmap.
TBitmap Grab(QWidget& widget);
// Saves a screenshot under the render folder for a person to judge.
void SaveRender(const QImage& image, const std::string& name);
// Whether the widget's place on a screenshot of root holds dark (text) pixels.
bool HasInk(const QImage& shot, const QWidget& root, const QWidget& widget);
