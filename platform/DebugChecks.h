#pragma once
// Checks that tests and CI switch on through the environment (read once, at
// the first question); a program run by a user leaves them off.
//   QUILLON_PAINT_CHECK=1          every paint that shows a kept canvas also
//                                  draws the control afresh and compares
//   QUILLON_DEEP_BITMAP_COPIES=1   a bitmap copy takes pixels of its own at
//                                  once instead of sharing them until written

#include <functional>
#include <string>

bool PaintCheckOn();
bool DeepBitmapCopiesOn();

// Where a failed check goes. By default a line on standard error and the end
// of the program, so that the end-to-end test that runs it fails; a test
// program fails the running test instead. Null restores the default.
using TCheckFailureSink = std::function<void(const std::string& message)>;
void SetCheckFailureSink(TCheckFailureSink sink);
void ReportCheckFailure(const std::string& message);
