#pragma once
// The application object of the class library: start-up and shutdown in an
// explicit order, the message loop, and the exception guard that every event,
// slot and timer handler runs through. Message boxes go through one
// replaceable sink so that tests can record them without a modal loop.

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QApplication;
class TForm;

// text and caption are cp1251.
using TMessageSink = std::function<void(const std::string& text, const std::string& caption)>;

class TApplication {
 public:
  std::string Title;          // cp1251; the caption of the error boxes
  TForm* MainForm = nullptr;  // Run() shows it; closing it ends Run()

  // Creates the QApplication (ours, with the guard); argc must outlive the
  // application. The fonts are set up at the first face look-up, so that a
  // program can start work on other threads before that wait.
  void Initialize(int& argc, char** argv);
  // Runs the registered shutdown steps in reverse order, then frees the QApplication.
  void Shutdown();
  bool Initialized() const { return qapp_ != nullptr; }
  // A step of the start-up that Shutdown undoes (freeing a global, say).
  void AtShutdown(std::function<void()> step);

  // Shows the main form and runs the message loop until Terminate().
  void Run();
  // Handles the queued events and returns; it re-enters the handlers.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // The program file's full path (cp1251).
  std::string ExeName() const;

  // The default handler: shows the message in a box captioned with Title.
  void HandleException(const std::exception& e);
  // The same for a message; deferred to the message loop when asked (inside
  // painting no box may open).
  void ShowException(const std::string& message, bool deferred = false);

  // Replaces the message boxes (null restores the real ones).
  void SetMessageSink(TMessageSink sink) { sink_ = std::move(sink); }
  bool HasMessageSink() const { return static_cast<bool>(sink_); }
  // Shows one box through the sink (answering with the first button: IDOK
  // or IDYES) or, without a sink, as a real modal box; on a headless screen
  // (offscreen, minimal) the box goes to standard error instead.
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

 private:
  std::unique_ptr<QApplication> qapp_;
  std::vector<std::function<void()>> shutdownSteps_;
  TMessageSink sink_;
  bool terminated_ = false;
  std::vector<std::string> pendingMessages_;
};

// The one application object; it does nothing until Initialize.
extern TApplication* const Application;

// MessageBox flags and results of the system's calls.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// A modal message box (cp1251 texts), through the application's sink.
int MessageBox(const std::string& text, const std::string& caption, unsigned flags = MB_OK);
// A box captioned with the application title.
void ShowMessage(const std::string& text);
