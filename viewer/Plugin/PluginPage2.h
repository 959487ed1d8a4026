#pragma once
// The page that documents hand out: rendering plus the page text, a
// character selection in two layers (selected, flagged) drawn over the page,
// and the page's link areas, all read through the plug-in's text context.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "viewer/Plugin/PluginPage.h"
#include "viewer/Plugin/PluginSelection.h"

class TPluginContext;

class TPluginPage2 : public TPluginPage {
 public:
  static constexpr int LayerCount = 2;

  TPluginPage2(TPluginDocument* Document, int PageNumber);
  ~TPluginPage2() override;

  // Loaded on the first call and kept; a failed load throws and is tried again next time.
  TPluginLinkAreaList& GetLinkAreas() override;
  // The page, then the selection of both layers over it.
  using TPluginPage::Render;
  int Render(TCanvas& Canvas, const TRect& Rect, const TPoint& Origin) override;
  // The current layer's marks all cleared.
  void ClearSelection() override;
  // Adds the characters from the first to the last one whose rectangle meets
  // Rect (render pixels); a zero-size Rect clears the current layer instead.
  void SelectRect(const TRect& Rect) override;
  // The selected characters of the current layer in text order, nothing between them.
  std::string GetSelectedText() override;
  // Marks characters From..To (1-based, clamped to the text) selected or flagged
  // in the current layer. FlagRange does not load the text first.
  void SelectRange(int From, int To) override;
  void FlagRange(int From, int To) override;
  int GetTextLength() override;
  std::string GetText() override;
  // 0 (selection) or 1 (flags); anything else is ignored.
  void SetLayer(int L) override;
  int GetLayer() const override { return layer_; }

  // Draws both layers' rectangles, layer 0 first; Rect does not limit it.
  // The canvas's top-left pixel shows page pixel Origin.
  virtual void DrawSelection(TCanvas& Canvas, const TRect& Rect, const TPoint& Origin);
  // Draws one rectangle at the render size (no rotation).
  virtual void DrawSelInfo(TCanvas& Canvas, const TSelInfo& Info, const TPoint& Origin);
  // Rebuilds both layers' rectangles from their marks: one per run of marked
  // characters on a line.
  virtual void RebuildSelection();
  // Appends Info to the current layer (which owns it).
  virtual void AddSelInfo(std::unique_ptr<TSelInfo> Info);
  // Reads the page text once, through a context made now; no text on failure.
  virtual void LoadText();
  // A millimetre rectangle of the picture as the plug-in's text coordinates,
  // by the page's quarter turns.
  virtual TPluginRect RotateRect(const TPluginRect& In) const;

  int PageNumber() const { return pageNumber_; }
  // The marks of a layer: ' ' none, '*' selected, '_' flagged; one per character.
  const std::string& Mask(int Layer) const { return masks_.at(std::size_t(Layer)); }
  const std::vector<std::unique_ptr<TSelInfo>>& Selection(int Layer) const {
    return selection_.at(std::size_t(Layer));
  }

 private:
  void MarkRange(int From, int To, char Mark);
  // Character i's rectangle (0-based), empty when it has no place.
  TPluginRect CharRect(int i);
  void RebuildLayer(int Layer);
  void LoadLinkAreas();

  std::array<std::vector<std::unique_ptr<TSelInfo>>, LayerCount> selection_;
  std::unique_ptr<TPluginContext> context_;
  int pageNumber_;
  int layer_ = 0;
  std::array<std::string, LayerCount> masks_;
  bool dirty_ = true;
  std::string text_;
};

// Hit tests for a pixel (X, Y) of the rendered page, at whole millimetres.
// PageHitAll puts the first link area hit into Target (cleared first), or
// without a Target tells whether any is hit (1) or not (0). PageAnyHit tests
// List. A failure to load the links counts as a miss.
int PageHitAll(TPluginPage& Page, int X, int Y, TPluginLinkAreaList* Target);
bool PageAnyHit(const TPluginPage& Page, int X, int Y, const TPluginLinkAreaList& List);
