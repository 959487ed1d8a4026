#pragma once
// Picture buttons inside exercise text. TRLButton shows one frame of a
// premultiplied sprite sheet over the exercise background: the memory
// exercise's "submit" item and the swapper's button. TRLPaintButton is the
// small up/down arrow of a movable paragraph. Neither is a tag of the tag
// table and neither ever scores: their owners create them and hook OnClick.

#include <cstdint>
#include <string>

#include "exercise/RLControl.h"

class TRLButton : public TRLControl {
  Q_OBJECT

 public:
  // The states, which are also the frames a TRLButton draws.
  enum : std::uint8_t { bsNormal = 0, bsHot = 1, bsPressed = 2 };

  // Loads the sheet ".\imgs\del_03.png" (current folder); throws the picture
  // loader's Exception when it is missing or broken.
  explicit TRLButton(QObject* owner);

  // Premultiplied; frames of FrameWidth x FrameHeight in reading order. An
  // owner may put another sheet here (set the frame size and the bounds too).
  TBitmap Sheet;
  int FrameWidth = 0;
  int FrameHeight = 0;

  std::uint8_t State() const { return state_; }

  // Loads a premultiplied sheet that is a vertical strip of four frames:
  // FrameWidth := its width, FrameHeight := its height / 4. Leaves the bounds.
  void LoadSheet(const std::string& fileName);

  // The background under the button, then frame State().
  void Paint(TCanvas& canvas) override;
  // "caption" is kept as Caption() and never drawn; the button then takes
  // the size of one frame.
  void ParseParameters(const std::string& params) override;
  // Normal state, shown again.
  void Reset() override;

 protected:
  // Blends frame of the sheet onto (0, 0) of the canvas at its own size;
  // nothing when the sheet has no such frame.
  void DrawFrame(TCanvas& canvas, int frame) const;
  void SetState(std::uint8_t state);

  // OnClick first; a button standing in a memory passage then runs the
  // passage's submit and hides itself.
  void Click() override;
  // Return and Space press a focused button, so it works without a mouse.
  void KeyDown(unsigned short& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // The pointer arriving is a move over the button, as it always is on Windows.
  void MouseEnter() override;
  void MouseLeave() override;
  void DoEnter() override;
  void DoExit() override;

 private:
  void BecomeHot();

  std::uint8_t state_ = bsNormal;
};

// The paragraph arrows: three frames of 29 x 14 (active, inactive, hot or
// pressed). Inside a TRLParagraph that does not hold the keyboard focus the
// normal state shows the inactive frame; the paragraph repaints its arrows
// when its focus changes.
class TRLPaintButton : public TRLButton {
  Q_OBJECT

 public:
  enum : int { ArrowWidth = 29, ArrowHeight = 14 };
  enum : int { afActive = 0, afInactive = 1, afHot = 2 };

  using TRLButton::TRLButton;

  // Loads ".\imgs\updown_01.png" (up) or ".\imgs\updown_02.png" (down) and
  // takes the arrow's size and the normal state.
  void SetArrow(bool up);
  // The frame that Paint draws now.
  int Frame() const;
  // Only the background under the arrow, then Frame().
  void Paint(TCanvas& canvas) override;
};
