// The entry of every test program: our application object (with its exception
// guard and message sink, as in the programs) on Qt's offscreen platform,
// unless the caller asks for another one.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <cstdlib>

#include "platform/Application.h"
#include "platform/DebugChecks.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
#ifdef QUILLON_TEST_CHECKS
  // "NAME=1,NAME=1": the checks this program runs under, unless the caller chose.
  for (const QString& check : QString(QUILLON_TEST_CHECKS).split(',')) {
    const QStringList pair = check.split('=');
    setenv(pair[0].toUtf8().constData(), pair.value(1).toUtf8().constData(), 0);
  }
#endif
  Application->Initialize(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  // A failed check fails the test that was running, and the others go on.
  SetCheckFailureSink([](const std::string& message) { ADD_FAILURE() << message; });
  const int result = RUN_ALL_TESTS();
  Application->Shutdown();
  return result;
}
