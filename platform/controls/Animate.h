#pragma once
// TAnimate: plays a silent clip of frames, driven by a TTimer.
//
// A clip is a folder of PNG frames whose base names are numbers ("1.png",
// "002.png"; played in numeric order, other files ignored) and an optional
// text file "interval" holding the time between frames in milliseconds
// (default 100). ResName names a clip of the resources (":/anim/<name>/");
// FileName a clip folder on disk. Frames are numbered from 1.
//
// Active plays StartFrame..StopFrame Repetitions times (0: until stopped).
// StopFrame 0 means the last frame; frame numbers past the clip are cut to
// it when the clip opens. Transparent leaves the colour of each frame's
// top-left pixel (and transparent pixels) showing Color.

#include "platform/controls/Timer.h"
#include "platform/controls/WinControl.h"

#include <QImage>
#include <QList>

#include <memory>

class TAnimate : public TCustomControl {
 public:
  explicit TAnimate(TComponent* owner);
  ~TAnimate() override;

  QString ResName() const { return resName_; }
  void SetResName(const QString& v);
  QString FileName() const { return fileName_; }
  void SetFileName(const QString& v);
  // Whether a clip is loaded. Opening without a clip name, or a clip that
  // cannot be read, raises EInvalidOperation and leaves the control closed.
  bool Open() const { return !frames_.isEmpty(); }
  void SetOpen(bool v);
  bool Active() const { return active_; }
  void SetActive(bool v);
  int StartFrame() const { return startFrame_; }
  void SetStartFrame(int v);
  int StopFrame() const { return stopFrame_; }
  void SetStopFrame(int v);
  int Repetitions() const { return repetitions_; }
  void SetRepetitions(int v) { repetitions_ = std::max(v, 0); }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  int FrameCount() const { return static_cast<int>(frames_.size()); }
  int FrameWidth() const;
  int FrameHeight() const;
  // The frame shown now (1-based; 0 while closed).
  int CurrentFrame() const { return current_; }
  // Milliseconds between frames of the open clip.
  unsigned FrameInterval() const { return interval_; }

  // Plays frames from..to, count times (0: until stopped).
  void Play(int from, int to, int count);
  void Stop();
  // Stops and shows frame.
  void Seek(int frame);

  void Loaded() override;

  TNotifyEvent OnOpen;
  TNotifyEvent OnClose;
  TNotifyEvent OnStart;
  TNotifyEvent OnStop;

  static void DeclareProperties(TClassBuilder<TAnimate, TCustomControl>& b);

 protected:
  void Paint() override;

 private:
  void OpenClip();
  void CloseClip();
  void NextFrame();
  int LastFrame() const { return stopFrame_ == 0 ? FrameCount() : stopFrame_; }
  // Throws EInvalidOperation unless 1 <= frame <= FrameCount.
  void CheckFrame(int frame) const;

  QString resName_;
  QString fileName_;
  QList<QImage> frames_;
  unsigned interval_ = 100;
  bool active_ = false;
  bool activeLoaded_ = false;
  int startFrame_ = 1;
  int stopFrame_ = 0;
  int repetitions_ = 0;
  bool transparent_ = true;
  int current_ = 0;
  int playFrom_ = 1;
  int playTo_ = 1;
  int playCount_ = 0;
  int passes_ = 0;
  std::unique_ptr<TTimer> timer_;
};

void RegisterAnimateClasses();

// Milliseconds between frames that an interval file's bytes give: a number
// above 0 with blanks around it, else the default 100.
unsigned ClipIntervalOf(const QByteArray& text);
