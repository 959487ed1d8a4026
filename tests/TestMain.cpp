// The entry of every test program: our application object (with its exception
// guard and message sink, as in the programs) on Qt's offscreen platform,
// unless the caller asks for another one.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Application->Initialize(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  Application->Shutdown();
  return result;
}
