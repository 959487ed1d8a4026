#pragma once
// The scroll box that hosts one page view in the main window: it owns the
// zoom mode (how a page is fitted at every resize and page change), the mouse
// mode (which of the view's mouse flags are on) and the zoom steps.

#include <string>

#include "platform/Forms.h"
#include "viewer/PageView.h"

enum TZoomMode { zmNormal, zmFitClient, zmFitWidth, zmRealSize, zmTextWidth, zmTextBounds };
enum TMouseMode { mmNone, mmPanning, mmSelect };

// The smallest zoom the zoom-out step goes to, in percent.
constexpr int kMinStepZoom = 5;
// The factor of one zoom step.
constexpr double kZoomStep = 1.08;

class TPluginDocsViewer : public TScrollBox {
  Q_OBJECT

 public:
  // Fills parent; the page is moved by panning, so no scroll bars show.
  TPluginDocsViewer(TWinControl* parent, QObject* owner);
  ~TPluginDocsViewer() override;

  TPluginPageView* View() const { return view_; }

  // Shows page n of file in the zoom mode. An exception of the file manager
  // (a file no plug-in opens) passes through with the page count unchanged.
  void OpenPage(const std::string& file, int n);
  // The page count of the document last opened; 0 without a page.
  int PageCount() const { return pageCount_; }

  // The view's zoom (100 without a view); setting it leaves the fit modes.
  int Zoom() const;
  void SetZoom(int value);
  TZoomMode ZoomMode() const { return zoomMode_; }
  void SetZoomMode(TZoomMode mode);
  void ZoomIn();
  void ZoomOut();
  void SetZoomNormal(int value);
  void FitPage() { SetZoomMode(zmFitClient); }
  // Text-width mode; asked again, it brings the text's top back into view.
  void FitText();

  TMouseMode MouseMode() const { return mouseMode_; }
  void SetMouseMode(TMouseMode mode);

  TOnLinkExecute OnLinkExecute;

 protected:
  virtual void DoLinkExecute(TObject* Sender, TPluginLinkInfo* LinkInfo);
  void Resize() override;

 private:
  // Leaves the fit modes and sets the view's zoom to value.
  void StepZoom(int value);
  void DoFitClient();
  void DoFitWidth();
  void DoFitTextWidth();

  TPluginPageView* view_ = nullptr;
  TMouseMode mouseMode_ = mmNone;
  TZoomMode zoomMode_ = zmNormal;
  int pageCount_ = 0;
  // The next text-width fit puts the text's top at the top edge: set for a
  // page just opened and for an explicit fit, where keeping the old Top
  // (meant for resizes of the same page) would hide the start of the text.
  bool showTextTop_ = false;
};

// The margin kept around the text by the text-width fit, as a part of the page width.
constexpr double kTextFitMargin = 0.02;
// The text bounds (mm) with that margin on every side.
TPluginRect TextFitBounds(const TPluginRect& text, double pageWidth);

// The zoom one step in or out from zoom: always at least one percent away,
// so small zooms do not stick; never below kMinStepZoom.
int ZoomInStep(int zoom);
int ZoomOutStep(int zoom);
