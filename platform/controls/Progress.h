#pragma once
// TProgressBar: a windowed bar filled from the left in proportion to
// Position between Min and Max, in blocks or (Smooth) as one solid bar.
// A range that is empty or reversed (Max <= Min, e.g. Max 0) shows an empty
// bar, never a busy one. StepIt adds Step and wraps to Min past Max.
//
// TGauge: a graphic gauge: a bar (horizontal or vertical), a pie, a needle
// or a bare percentage, ForeColor on BackColor, with the percentage text.

#include "platform/controls/Panel.h"

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

extern const TEnumInfo kGaugeKindIdents;

class TProgressBar : public TCustomControl {
 public:
  explicit TProgressBar(TComponent* owner);

  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position() const { return position_; }
  void SetPosition(int v);
  int Step() const { return step_; }
  void SetStep(int v) { step_ = v; }
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool v);
  void StepIt();
  void StepBy(int delta);
  // The filled part of the inside, in pixels (0 for an empty range).
  int FilledWidth() const;

  static void DeclareProperties(TClassBuilder<TProgressBar, TCustomControl>& b);

 protected:
  void Paint() override;

 private:
  void Clamp();

  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
  bool smooth_ = false;
};

class TGauge : public TGraphicControl {
 public:
  explicit TGauge(TComponent* owner);

  TGaugeKind Kind() const { return kind_; }
  void SetKind(TGaugeKind v);
  int MinValue() const { return minValue_; }
  void SetMinValue(int v);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int v);
  int Progress() const { return progress_; }
  void SetProgress(int v);
  TColor ForeColor() const { return foreColor_; }
  void SetForeColor(TColor v);
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor v);
  bool ShowText() const { return showText_; }
  void SetShowText(bool v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  void AddProgress(int v) { SetProgress(progress_ + v); }
  // Whole percent of the range done (0 for an empty range).
  int PercentDone() const;

  static void DeclareProperties(TClassBuilder<TGauge, TGraphicControl>& b);

 protected:
  void Paint() override;

 private:
  void PaintBar(TCanvas* canvas, const TRect& r, bool vertical);
  void PaintPie(TCanvas* canvas, const TRect& r);
  void PaintNeedle(TCanvas* canvas, const TRect& r);
  void PaintText(TCanvas* canvas, const TRect& r, const TRect& filled);
  // The range done as a fraction 0..1.
  double Fraction() const;

  TGaugeKind kind_ = gkHorizontalBar;
  int minValue_ = 0;
  int maxValue_ = 100;
  int progress_ = 0;
  TColor foreColor_ = clBlack;
  TColor backColor_ = clWhite;
  bool showText_ = true;
  TBorderStyle borderStyle_ = bsSingle;
};

void RegisterProgressClasses();
