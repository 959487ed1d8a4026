#pragma once
// The exercise page builder: one document cut at "<~~~>" into header, hint
// and body, each built by its own root parser into the container that the
// exercise screen gives, plus the wide mode that a body can ask for.

#include <QPointer>
#include <cstddef>
#include <functional>
#include <string>

#include "exercise/RLParser.h"

class TBitmap;
class TWinControl;

// Told when the wide mode starts (true) or ends (false).
using TFitWindowEvent = std::function<void(bool fit)>;

extern int BodyFontSize;      // font size of the body; -14 until the screens set it
extern bool FitWindowActive;  // the page shown last asked for the wide mode
extern int FitWidth;          // the right edge of the exercise area in the wide mode
extern int WidthBeforeFit;    // the area's width before the wide mode began
extern TFitWindowEvent OnFitWindow;
// The header parser of the last page; null once its container freed it.
extern QPointer<TRLParser> HeaderParser;

// The largest exercise document that is read, in bytes. A course document
// has a few KB, a long reading passage some 20 KB. Each word of a page is a
// control of its own (about 3 KB with Qt's share), so this bound keeps the
// worst page, a word every two bytes, to some 400 MB and a few seconds.
constexpr std::size_t kMaxDocumentBytes = 256 << 10;

// The text of a document file, its lines joined by CR LF; throws Exception
// for a file that is missing, unreadable or larger than kMaxDocumentBytes.
std::string ReadExerciseDocument(const std::string& path);

// Builds a page from text (cp1251) into the containers, any of which may be
// null; the caller has freed the previous page's controls. changed becomes
// true when the exercise area (the body container's grandparent) was moved
// or resized. Markup errors propagate, leaving the parts built so far.
void BuildExercisePage(const std::string& text, bool& changed, TWinControl* body, TWinControl* header,
                       TWinControl* hint, const TBitmap& background);
