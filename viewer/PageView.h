#pragma once
// The control that shows one page of one document: it opens the document
// through the file manager, sizes itself to the page at a zoom, keeps itself
// placed in its parent's client area and paints the page, directly or from a
// back buffer. With the mouse the page is panned, text is selected with a
// rubber band and copied, and link areas are outlined and executed.

#include <functional>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Control.h"
#include "viewer/Plugin/PluginAbi.h"
#include "viewer/Plugin/PluginLinkArea.h"

class QPainter;
class QRegion;
class TCanvas;
class TPluginDocument;
class TPluginLinkInfo;
class TPluginPage2;

// A click on a link area: LinkInfo is the area's parsed link text.
using TOnLinkExecute = std::function<void(TObject* Sender, TPluginLinkInfo* LinkInfo)>;

// Orders a rectangle given corner to corner: Left <= Right, Top <= Bottom.
void NormalizeRect(TRect& r);

class TPluginPageView : public TCustomControl {
  Q_OBJECT

 public:
  explicit TPluginPageView(QObject* AOwner);
  // Gives the page back and drops the document reference.
  ~TPluginPageView() override;

  // --- Activation: FileName and PageIndex choose the page, Active shows it ---
  bool Active() const { return active_; }
  // True opens FileName through the file manager and takes page PageIndex at
  // 100 %; a missing file, a page out of range or a page the document cannot
  // make leave the view inactive. Exceptions of the file manager pass through.
  void SetActive(bool value);
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name);
  int PageIndex() const { return pageIndex_; }  // 1-based
  void SetPageIndex(int n);
  const std::string& PageName() const { return pageName_; }
  void SetPageName(const std::string& name);
  // The document's page count; 0 without a page.
  int PageCount() const;
  TPluginPage2* Page() const { return page_; }
  TPluginDocument* Document() const { return document_; }
  // The pixel size the plug-in reported for the page; false without a page or a size.
  bool NativePageSize(int& width, int& height) const;

  // --- Zoom and placement ---
  int Zoom() const { return zoom_; }
  // A percentage of the page's physical size on the screen; keeps the point of
  // the page under the parent's centre in place. Without a page nothing changes.
  void SetZoom(int value);
  // Zoom from the present render size.
  void ZoomFromSize();
  // The whole page in the parent's client area, as large as it fits.
  void FitClient();
  // The page W pixels wide, at the parent's left edge.
  void FitWidth(int W);
  // The page H pixels high, at the parent's top edge.
  void FitHeight(int H);
  // Renders the page at exactly w x h and places it at (left, top), constrained.
  void SetPageBounds(int left, int top, int w, int h);
  // Places the view again at its present bounds, constrained.
  void Reposition();
  // Applies the bounds so that, with AllowConstains, a page larger than the
  // parent's client area leaves no gap beside it and a smaller one is centred
  // (AllowCenter) or kept inside.
  void SetBoundsConstrained(int L, int T, int W, int H);
  void SetBounds(int left, int top, int width, int height) override;
  // Page size in millimetres; A4 without a page.
  double PageWidth() const;
  double PageHeight() const;

  // --- Painting ---
  bool Buffered() const { return buffered_; }
  // A page whose plug-in forbids buffering stays unbuffered.
  void SetBuffered(bool value);
  // Rebuilds the back buffer at the next paint and repaints.
  void InvalidateBuffer();
  // Paints the part Rect of the view (client pixels) onto Canvas: the page,
  // the background beside it, and the text-range frame when shown.
  void PaintPage(TCanvas& Canvas, const TRect& Rect) { PaintPage(Canvas, Rect, {}); }
  // The same onto a canvas whose top-left pixel shows view pixel Origin.
  void PaintPage(TCanvas& Canvas, const TRect& Rect, const TPoint& Origin);
  // The part of the view the back buffer keeps: what the parent's client area
  // shows of the page, with a margin for panning. Empty without a page.
  TRect KeptArea() const;
  bool AllowShowTextRange() const { return allowShowTextRange_; }
  void SetAllowShowTextRange(bool value);

  // --- Text ---
  // The content rectangle of the page in millimetres; the whole A4 sheet without a page.
  TPluginRect GetTextBounds();
  // The same in client pixels, within the view.
  TRect GetTextRangeRect();
  std::string PageText() { return GetPageText(); }
  std::string SelectedText() { return GetSelectedText(); }
  // Forwarders to the page; without a page they do nothing or give 0 / "".
  void SetLayer(int layer);
  int GetLayer() const;
  void ClearSelection();
  void SelectRange(int from, int to);
  void FlagRange(int from, int to);
  std::string GetPageText() const;
  int GetTextLength() const;
  std::string GetSelectedText() const;
  // Repaints when the page has text (its selection may have changed).
  void RefreshIfText();
  // Puts text (cp1251) on the clipboard with the Russian layout active meanwhile.
  void CopyText(const std::string& text);
  // Puts text on the clipboard as Unicode, without touching the layout.
  void CopyTextUnicode(const std::string& text);

  // --- Mouse and links ---
  bool MouseSelecting() const { return mouseSelecting_; }
  // Moving the page with the left button; selecting text with a rubber band.
  // Ctrl at the press swaps both for that press.
  bool AllowPanngin = false;
  bool AllowMouseSelect = true;
  bool AllowConstains = true;
  bool AllowCenter = true;
  // Kept for the callers that set it; documents are shared through the file manager.
  bool LockDocument = false;
  std::string PluginsPath = ".\\Plugins\\";
  TOnLinkExecute OnLinkExecute;
  // The areas outlined now (under the pointer), in the page's millimetres.
  const TPluginLinkAreaList& OutlinedLinks() const { return outlineList_; }
  // The rubber band as given: anchor, then the moving corner (client pixels).
  TRect RubberBand() const { return rubberBand_; }
  // Erases the link outlines and forgets the hovered area.
  void HideLinkHighlight();
  // Inverts the flags back when a press with Ctrl swapped them and has not yet ended.
  void RestoreMouseModes();

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void paintEvent(QPaintEvent* e) override;
  bool event(QEvent* e) override;

 private:
  void Activate();
  void Deactivate();
  // Holds doc (may be null) instead of the document held so far.
  void HoldDocument(TPluginDocument* doc);
  TRect ParentClient() const;
  void SaveCentre();
  void RestoreCentre(int w, int h);
  // Takes the page's render size as the view's size after a fit.
  void ApplyFit(int left, int top);
  bool RenderSizeIsViewSize() const;
  // True when the view can take the page's new render size (no control is
  // larger than Qt's largest widget); else the page goes back to oldW x oldH.
  bool AcceptRenderSize(int oldW, int oldH);
  void PaintFromBuffer(TCanvas& Canvas, const TRect& Rect, const TPoint& Origin);
  // Paints region, within bounds, straight from the back buffer when nothing
  // is drawn over the page there; false when the paint needs the frame.
  bool PaintBufferOnly(QPainter& painter, const QRegion& region, const TRect& bounds);
  // Composes bounds, the page and what is drawn over it, in the frame, and
  // paints region from it.
  void PaintFrame(QPainter& painter, const QRegion& region, const TRect& bounds);
  // Renders KeptArea into the buffer when Rect is not in it yet.
  void EnsureBuffer(const TRect& Rect);
  // Renders KeptArea into the buffer, whole, or, after a pan that keeps part
  // of what the buffer holds, only around that part.
  void RebuildBuffer();
  // Moves the pixels of still (in both the buffer's area and kept) to their
  // place in kept, and renders the parts of kept around them.
  void ScrollBuffer(const TRect& kept, const TRect& still);
  TRect PageRect() const;

  // Link outlines and the rubber band: state painted over the page.
  // Canvas pixel (0, 0) shows view pixel origin.
  void DrawLinkHighlights(TCanvas& Canvas, const TPoint& origin);
  void DrawLinkArea(TCanvas& Canvas, TPluginLinkArea& area, const TPoint& origin);
  // The client pixels an area's outline covers.
  TRect LinkAreaPixels(TPluginLinkArea& area);
  void InvalidateOutlines();
  void DrawRubberBand(TCanvas& Canvas, const TPoint& origin);
  // The band's pixels, both edges included, as an exclusive rectangle.
  TRect BandPixels(TRect band) const;
  void UpdateRubberBand(const TRect& before, const TRect& now);
  void TrackLinks(int x, int y);
  void FinishSelection(TShiftState shift, int x, int y, bool& isClick);
  // Ends a press whose release will never come here: the drag stops where it is.
  void CancelPress();
  void ExecutePressedLink(int x, int y);

  TPluginPage2* page_ = nullptr;
  TPluginDocument* document_ = nullptr;
  bool buffered_ = false;
  // The page pixels of bufferArea_ (view pixels); the bitmap may be larger
  // than the area, its top-left pixel showing the area's top-left corner.
  TBitmap bufferBitmap_;
  TRect bufferArea_;
  bool bufferValid_ = false;
  bool bufferFailed_ = false;
  // What a paint event composes, page and what is drawn over it, before it
  // goes to the screen; as large as the largest paint rectangle, which the
  // window bounds, and released after a paint of more than the window shows.
  TBitmap frame_;
  int zoom_ = 100;
  bool active_ = false;
  std::string fileName_;
  int pageIndex_ = 1;
  std::string pageName_;
  double centreRatioX_ = 0.5;
  double centreRatioY_ = 0.5;
  bool allowShowTextRange_ = false;
  TPluginRect textBounds_{};
  bool textBoundsValid_ = false;

  bool panning_ = false;
  TPoint panGrab_;
  bool mouseSelecting_ = false;
  TRect rubberBand_;
  bool bandFresh_ = false;
  bool ctrlSwapped_ = false;
  TPluginLinkAreaList hoverList_{false};
  TPluginLinkAreaList outlineList_{false};
  TPluginLinkAreaList pressedList_{false};
  bool pressedOnLink_ = false;
  bool executingLink_ = false;
};
