#pragma once
// Shared helpers of the control tests: a shown window for real input, the
// pixels a control shows, and a recorder of the message boxes.

#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/Forms.h"
#include "platform/StrUtils.h"

// A top-level form, shown and exposed, for controls that need real events.
class ShownFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 320, 240);
    form.SetColor(clWhite);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }

  // The colour that the form shows at a point of its client area.
  TColor PixelAt(int x, int y) { return FromQColor(form.grab().toImage().pixelColor(x, y)); }

  TForm form;
};

// Catches the message boxes while it lives.
class MessageRecorder {
 public:
  MessageRecorder() {
    Application->SetMessageSink([this](const std::string& text, const std::string& caption) {
      messages.emplace_back(text, caption);
    });
  }
  ~MessageRecorder() { Application->SetMessageSink(nullptr); }

  std::vector<std::pair<std::string, std::string>> messages;
};
