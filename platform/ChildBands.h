#pragma once
// TChildBands: how a windowed control with many windowed children holds them
// in Qt.
//
// Qt walks a widget's siblings one by one to find the widget under the
// pointer and to clip each repaint, so a page whose thousands of words are
// children of one parser made every wheel step and every caret blink cost
// time in proportion to the page. Here those children sit in invisible
// horizontal bands instead: plain QWidgets of kBandHeight pixels, one per
// strip of the parent, that paint nothing and take no input, so Qt's walks
// see a few bands and a band's few children. The control tree (Parent,
// Controls, bounds in the parent's coordinates, alignment, Tab order) stays as
// it is; only the Qt parent and the Qt position of those children change.
//
// The rules that keep hit-testing, painting and stacking right:
// - a child lives in the band of the strip its top lies in (a top above the
//   parent counts as the first strip), positioned at its bounds minus the
//   band's origin; a move to another strip moves it to that band;
// - a band spans the parent's width and its own strip, and reaches further
//   down as far as its visible children do; where it does, its mask is its
//   strip plus those children, so that Qt finds a later band's child there;
// - bands higher up the parent stack above those lower down, so a child
//   reaching down over the next strip is found and shown before that strip's;
// - inside a band, children keep the order BringToFront and SendToBack gave
//   them; between bands the higher band wins (controls of different strips
//   rarely overlap);
// - windowless children stay direct children of the parent, below every band;
// - a child with nothing to show, of no size or wholly above or left of the
//   parent (a page's blanks at line ends), waits in a band of no size;
// - while the parent is hidden (a page being built), children stay where
//   they are and only take their bounds (a newcomer has no Qt parent yet);
//   they are sorted into their bands just before the parent shows, all at
//   once and still hidden. Qt finds a
//   child in its parent's list from the front, and posts its parent a
//   layout request (searching all posted events) for each child shown or
//   hidden in a visible parent: a page's thousands of words, moved one by
//   one as they were laid out, cost the square of their number.

#include <QRect>
#include <QWidget>
#include <deque>
#include <map>
#include <vector>

class TControl;
class TWinControl;

class TChildBands {
 public:
  // A parent takes bands once it holds more windowed children than this.
  static constexpr int kThreshold = 64;
  static constexpr int kBandHeight = 256;

  explicit TChildBands(TWinControl& parent);
  ~TChildBands();
  TChildBands(const TChildBands&) = delete;
  TChildBands& operator=(const TChildBands&) = delete;

  // Whether the child goes into a band (windowed children do).
  static bool Banded(const TControl& child);
  // Puts the child into the band of its bounds, at its bounds.
  void Place(TControl& child);
  // The child leaves the parent (or is being freed): its band no longer counts it.
  void Forget(TControl& child);
  // The child was shown or hidden.
  void VisibilityChanged(TControl& child);
  // The parent's width changed.
  void ParentResized();
  // The widget is about to show: the children laid out while it (or the
  // parent holding them) was hidden go into their bands now.
  static void SortBeforeShowing(const QWidget& widget);
  // The parent shows (also by a way that SortBeforeShowing did not see).
  void ParentShown();

  // True while a child moves between bands: the focus it holds leaves and
  // comes back, which is no focus change for the controls.
  static bool Moving() { return moving_ > 0; }

 private:
  struct TBand {
    QWidget* Widget = nullptr;
    bool Aside = false;  // of no size, for children with nothing to show
    // The visible children that reach below the strip: few, so a band's
    // height and mask follow from them without a walk over all its children.
    std::vector<const QWidget*> Reaching;
  };

  // Puts the child into the band of its bounds, whether the parent shows or not.
  void PlaceInBand(TControl& child);
  void Sort();
  TBand& BandFor(const QRect& bounds);
  TBand& NewBand(int index);
  TBand& AsideBand();
  // The band that hosts the child, or null when it is in none.
  TBand* HostOf(const QWidget& child);
  void MoveTo(TControl& child, QWidget& band);
  // Notes whether the child reaches below the band's strip (false: it leaves).
  void NoteReach(TBand& band, const QWidget& child, bool stays);
  // Fits the band's height and mask to its strip and the children that reach below it.
  void Fit(TBand& band);

  TWinControl& parent_;
  std::map<int, TBand> bands_;  // by strip index, top first
  // Bands of no size, each holding a few children, so that Qt's search of a
  // band's list for a child that leaves stays short.
  std::deque<TBand> asides_;
  static constexpr int kAsideChildren = 64;
  static int moving_;
  // The bands whose parents were given children while hidden.
  static std::vector<TChildBands*> unsorted_;
};
