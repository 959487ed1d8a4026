// Test entry: the widgets need an application object; the build runs the
// tests on Qt's offscreen platform. The application is ours, so the
// exception guard is in place as in the programs.
#include <gtest/gtest.h>

#include <QByteArray>

#include "platform/Application.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  Application->Initialize(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  Application->Shutdown();
  return result;
}
