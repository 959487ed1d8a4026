// Test entry: the trainer's windows need our application object (its
// exception guard and message sink); the tests run on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include "platform/Application.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  Application->Initialize(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  Application->Shutdown();
  return result;
}
