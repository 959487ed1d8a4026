#pragma once
// What the harnesses share: our application on Qt's offscreen platform,
// started once; scratch files written from a fuzz input; and the rule that
// separates a documented refusal of bad input from a fault.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Starts the application object once (offscreen platform, message boxes
// counted instead of shown); it lives until the process ends. argc and argv
// are libFuzzer's.
void StartFuzzApplication(int* argc, char*** argv);

// Message boxes shown since the start: a box is how the program reports
// a file it refuses, so it counts as a documented outcome.
int MessageBoxCount();

// Reports a fault of the code under test and aborts, so that libFuzzer keeps the input.
[[noreturn]] void Fault(const std::string& what);

// Runs action. Success, or an Exception with a message (the program's way to
// refuse bad input), is the documented outcome; anything else that escapes
// (another exception type, an Exception without a message) aborts, so that
// libFuzzer reports it with the input.
void ExpectDocumentedOutcome(const std::function<void()>& action);

// A folder of this process's own, removed at exit.
const std::string& ScratchFolder();
// Writes the bytes to name inside ScratchFolder (or a sub-folder of it) and
// returns the file's path.
std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);
