#pragma once
// The exercise screen as the program shows it, built once per process in a
// scratch copy of the trainer's tree (its pictures and "Settings.ini"),
// which becomes the current folder as the program's own folder is.

#include <string>
#include <vector>

class TWorkFrame;

class TFuzzTrainer {
 public:
  // The screen, made on first use.
  static TFuzzTrainer& Get();

  TWorkFrame& Frame() { return *frame_; }
  // The scratch tree's folder of pictures, ending in '/'.
  std::string ImagesPath() const;
  // Loads the documents as the trainer's list (with the contents beside the
  // first) and shows the first one.
  void LoadDocuments(const std::vector<std::string>& paths);
  // Reads one document as the screen does and builds it with the page
  // builder in place of the page on show. The screen's parts go back to their
  // standard places first, as the screen does between documents, but its
  // background is not composed again: that costs most of a document's time
  // and depends on nothing in the document.
  void BuildDocument(const std::string& path);
  // What a learner does with a page: check it, reset it, and look at it.
  void CheckResetAndPaint();

 private:
  TFuzzTrainer();
  TWorkFrame* frame_ = nullptr;
};
