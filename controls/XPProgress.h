#pragma once
// The styled progress bar: classic sunken frame with solid chunks, the
// emulated XP look's skins, the system's themed bar (with the fill states of
// newer systems), or the caller's colours or pictures; chunked or smooth,
// horizontal or vertical.
#include "AlphaImage.h"
#include "XPControls.h"
#include "XPTypes.h"

#include <uxtheme.h>

namespace tvk {

enum class TProgressBarOrientation { pbHorizontal, pbVertical };
enum class TProgressBarState { pbsNormal, pbsError, pbsPaused };

class TXPProgressBar : public TXPCustomControl {
public:
  TVK_CLASS(TXPProgressBar, TXPCustomControl)
  explicit TXPProgressBar(TComponent* owner);
  ~TXPProgressBar() override;

  TColor BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(TColor value);
  TColor BarColor() const { return FBarColor; }
  void SetBarColor(TColor value);
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor value);
  TAlphaBitmap& BackImage() { return *FBackImage; }
  TAlphaBitmap& BarImage() { return *FBarImage; }
  TXPLookAndFeel LookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TXPLookAndFeel value);
  int Min() const { return FMin; }
  void SetMin(int value);
  int Max() const { return FMax; }
  void SetMax(int value);
  int Position() const { return FPosition; }
  // Clamped into [Min, Max] unless both are 0.
  void SetPosition(int value);
  TProgressBarOrientation Orientation() const { return FOrientation; }
  // A free bar (not aligned, not loading) turns: width and height swap.
  void SetOrientation(TProgressBarOrientation value);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool value);
  TProgressBarState State() const { return FState; }
  void SetState(TProgressBarState value);
  int Step() const { return FStep; }
  void SetStep(int value) { FStep = value; }
  void StepIt() { SetPosition(FPosition + FStep); }
  void StepBy(int delta) { SetPosition(FPosition + delta); }

  // How many chunks the bar shows along Length pixels with chunks of
  // ChunkLength and Spacing between them: every started chunk counts.
  static int ChunkCount(int min, int max, int position, int length, int chunkLength, int spacing);
  // The last paint's chunk count (for tests and descendants).
  int PaintedChunks() const { return FPaintedChunks; }

  TNotifyEvent OnPostPaint;

protected:
  void Paint() override;
  virtual void DoPostPaint();

private:
  void Clamp();
  void PaintPlain(const RECT& bar, int n, int c, int s, int cw, int ch);
  void PaintSkin(const RECT& bar, int n, int cw, int ch, int p, int q);
  void PaintThemed(HTHEME theme, const RECT& bar, int n, int c, int s);
  void PaintPictures(const RECT& bar, int n, int c, int s, int cw, int ch);
  int FilledLength(int length) const;

  TColor FBackgroundColor = clDefault, FBarColor = clDefault, FFrameColor = clDefault;
  int FMin = 0, FMax = 100, FPosition = 0;
  int FStep = 10;
  TProgressBarOrientation FOrientation = TProgressBarOrientation::pbHorizontal;
  bool FSmooth = false;
  TProgressBarState FState = TProgressBarState::pbsNormal;
  TXPLookAndFeel FLookAndFeel = TXPLookAndFeel::xlfNative;
  std::unique_ptr<TAlphaBitmap> FBackImage, FBarImage;
  int FPaintedChunks = 0;
};

bool XPProgressStartup();
void XPProgressShutdown();

}  // namespace tvk
