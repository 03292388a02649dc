#include "platform/controls/Animate.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr unsigned kDefaultInterval = 100;

struct TClip {
  QList<QImage> frames;
  unsigned interval = kDefaultInterval;
};

// Reads the clip in folder; EInvalidOperation when it has no readable frames.
TClip ReadClip(const QString& folder) {
  const QDir dir(folder);
  QList<std::pair<qulonglong, QString>> numbered;
  for (const QString& name : dir.entryList({QStringLiteral("*.png"), QStringLiteral("*.PNG")},
                                           QDir::Files)) {
    bool ok = false;
    const qulonglong n = name.left(name.size() - 4).toULongLong(&ok);
    if (ok) numbered.append({n, name});
  }
  if (numbered.isEmpty())
    throw EInvalidOperation(QStringLiteral("Cannot open the clip %s"), {folder});
  std::sort(numbered.begin(), numbered.end());
  TClip clip;
  for (const auto& [n, name] : numbered) {
    QImage frame(dir.filePath(name));
    if (frame.isNull())
      throw EInvalidOperation(QStringLiteral("Cannot read the frame %s"), {dir.filePath(name)});
    clip.frames.append(frame.convertToFormat(QImage::Format_ARGB32));
  }
  // Only a regular file: opening a FIFO of that name would wait for a writer.
  QFile interval(dir.filePath(QStringLiteral("interval")));
  if (QFileInfo(interval).isFile() && interval.open(QIODevice::ReadOnly))
    clip.interval = ClipIntervalOf(interval.readAll());
  return clip;
}

// A frame with its top-left colour made transparent.
QImage KeyedFrame(const QImage& frame) {
  QImage out = frame;
  const QRgb key = out.pixel(0, 0);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if (line[x] == key) line[x] = 0;
  }
  return out;
}

}  // namespace

unsigned ClipIntervalOf(const QByteArray& text) {
  bool ok = false;
  const unsigned ms = QString::fromLatin1(text).trimmed().toUInt(&ok);
  return ok && ms > 0 ? ms : kDefaultInterval;
}

TAnimate::TAnimate(TComponent* owner)
    : TCustomControl(owner), timer_(std::make_unique<TTimer>(nullptr)) {
  timer_->SetEnabled(false);
  timer_->OnTimer = [this](TObject*) { NextFrame(); };
  SetBounds(0, 0, 100, 80);
  SetColor(clBtnFace);
}

TAnimate::~TAnimate() { timer_->OnTimer = nullptr; }

void TAnimate::SetResName(const QString& v) {
  const bool reopen = Open() || !v.isEmpty();
  CloseClip();
  resName_ = v;
  if (!v.isEmpty()) fileName_.clear();
  if (reopen && !v.isEmpty() && !ComponentState().Contains(csLoading)) OpenClip();
}

void TAnimate::SetFileName(const QString& v) {
  CloseClip();
  fileName_ = v;
  if (!v.isEmpty()) resName_.clear();
  if (!v.isEmpty() && !ComponentState().Contains(csLoading)) OpenClip();
}

void TAnimate::SetOpen(bool v) {
  if (v == Open()) return;
  if (v)
    OpenClip();
  else
    CloseClip();
}

void TAnimate::OpenClip() {
  QString folder = fileName_;
  if (folder.isEmpty() && !resName_.isEmpty())
    folder = QStringLiteral(":/anim/%1").arg(resName_);
  if (folder.isEmpty()) throw EInvalidOperation(QStringLiteral("No clip to open"));
  TClip clip = ReadClip(folder);
  frames_ = std::move(clip.frames);
  interval_ = clip.interval;
  if (startFrame_ < 1 || startFrame_ > FrameCount()) startFrame_ = 1;
  if (stopFrame_ > FrameCount()) stopFrame_ = FrameCount();
  if (stopFrame_ != 0 && stopFrame_ < startFrame_) stopFrame_ = startFrame_;
  current_ = startFrame_;
  timer_->SetInterval(interval_);
  Invalidate();
  if (OnOpen) OnOpen(this);
}

void TAnimate::CloseClip() {
  if (!Open()) return;
  Stop();
  frames_.clear();
  current_ = 0;
  Invalidate();
  if (OnClose) OnClose(this);
}

void TAnimate::SetActive(bool v) {
  if (ComponentState().Contains(csLoading)) {
    activeLoaded_ = v;
    return;
  }
  if (v == active_) return;
  if (!v) {
    Stop();
    return;
  }
  if (!Open()) OpenClip();
  Play(startFrame_, LastFrame(), repetitions_);
}

void TAnimate::SetStartFrame(int v) {
  startFrame_ = std::max(v, 1);
  if (Open() && startFrame_ > FrameCount()) startFrame_ = FrameCount();
}

void TAnimate::SetStopFrame(int v) {
  stopFrame_ = std::max(v, 0);
  if (Open() && stopFrame_ > FrameCount()) stopFrame_ = FrameCount();
}

void TAnimate::SetTransparent(bool v) {
  transparent_ = v;
  Invalidate();
}

int TAnimate::FrameWidth() const { return frames_.isEmpty() ? 0 : frames_.first().width(); }
int TAnimate::FrameHeight() const { return frames_.isEmpty() ? 0 : frames_.first().height(); }

void TAnimate::CheckFrame(int frame) const {
  if (frame < 1 || frame > FrameCount())
    throw EInvalidOperation(QStringLiteral("Frame %d is outside the clip (1..%d)"),
                            {frame, FrameCount()});
}

void TAnimate::Play(int from, int to, int count) {
  if (!Open()) throw EInvalidOperation(QStringLiteral("No clip is open"));
  CheckFrame(from);
  CheckFrame(to);
  if (to < from) throw EInvalidOperation(QStringLiteral("The last frame comes before the first"));
  playFrom_ = from;
  playTo_ = to;
  playCount_ = std::max(count, 0);
  passes_ = 0;
  current_ = from;
  const bool starting = !active_;
  active_ = true;
  timer_->SetInterval(interval_);
  timer_->SetEnabled(true);
  Invalidate();
  if (starting && OnStart) OnStart(this);
}

void TAnimate::Stop() {
  timer_->SetEnabled(false);
  if (!active_) return;
  active_ = false;
  if (OnStop) OnStop(this);
}

void TAnimate::Seek(int frame) {
  CheckFrame(frame);
  Stop();
  current_ = frame;
  Invalidate();
}

void TAnimate::NextFrame() {
  if (!active_) return;
  if (current_ < playTo_) {
    ++current_;
  } else {
    ++passes_;
    if (playCount_ != 0 && passes_ >= playCount_) {
      Stop();  // the last frame stays shown
      return;
    }
    current_ = playFrom_;
  }
  Invalidate();
}

void TAnimate::Loaded() {
  TCustomControl::Loaded();
  if (!resName_.isEmpty() || !fileName_.isEmpty()) OpenClip();
  if (activeLoaded_) SetActive(true);
  activeLoaded_ = false;
}

void TAnimate::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  if (current_ < 1 || current_ > FrameCount()) return;
  const QImage& frame = frames_.at(current_ - 1);
  const int left = (client.Width() - frame.width()) / 2;
  const int top = (client.Height() - frame.height()) / 2;
  canvas->DrawImage(Rect(left, top, left + frame.width(), top + frame.height()),
                    transparent_ ? KeyedFrame(frame) : frame);
}

void TAnimate::DeclareProperties(TClassBuilder<TAnimate, TCustomControl>& b) {
  b.Property("ResName", &TAnimate::ResName, &TAnimate::SetResName);
  b.Property("FileName", &TAnimate::FileName, &TAnimate::SetFileName);
  b.Property("StartFrame", &TAnimate::StartFrame, &TAnimate::SetStartFrame).Default(1);
  b.Property("StopFrame", &TAnimate::StopFrame, &TAnimate::SetStopFrame).Default(0);
  b.Property("Repetitions", &TAnimate::Repetitions, &TAnimate::SetRepetitions).Default(0);
  b.Property("Transparent", &TAnimate::Transparent, &TAnimate::SetTransparent).Default(true);
  b.Property("Active", &TAnimate::Active, &TAnimate::SetActive).Default(false);
  b.Property("Open", &TAnimate::Open).Stored(false);
  b.Property("FrameCount", &TAnimate::FrameCount).Stored(false);
  b.Event("OnOpen", &TAnimate::OnOpen);
  b.Event("OnClose", &TAnimate::OnClose);
  b.Event("OnStart", &TAnimate::OnStart);
  b.Event("OnStop", &TAnimate::OnStop);
}

void RegisterAnimateClasses() {
  if (GetClass(QStringLiteral("TAnimate")) == nullptr) RegisterClass<TAnimate>();
}
