#include "platform/graphics/Canvas.h"

#include "platform/rtl/Exceptions.h"

#include <QPaintEngine>

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()),
      pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()) {
  font_->OnChange = [this](TObject*) { FontChanged(); };
  brush_->OnChange = [this](TObject*) { bkColor_.reset(); };
}

TCanvas::~TCanvas() {
  FreeHandle();
}

void TCanvas::SetDevice(QPaintDevice* device) {
  FreeHandle();
  device_ = device;
}

void TCanvas::SetPainter(QPainter* painter) {
  FreeHandle();
  borrowed_ = painter;
  if (painter && painter->hasClipping())
    baseClip_ = painter->clipRegion();
}

bool TCanvas::HandleAllocated() const {
  return borrowed_ || ownPainter_;
}

void TCanvas::FreeHandle() {
  if (ownPainter_) {
    ownPainter_->end();
    ownPainter_.reset();
  }
  borrowed_ = nullptr;
  baseClip_.reset();
}

QPainter* TCanvas::CreateHandle() {
  if (!device_)
    throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
  if (device_->width() <= 0 || device_->height() <= 0)
    return nullptr;
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(device_))
    return nullptr;
  ownPainter_ = std::move(painter);
  return ownPainter_.get();
}

QPainter* TCanvas::Handle() {
  if (borrowed_)
    return borrowed_;
  if (ownPainter_)
    return ownPainter_.get();
  QPainter* p = CreateHandle();
  if (!p)
    throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
  return p;
}

QPainter* TCanvas::Begin() {
  QPainter* p = borrowed_ ? borrowed_ : ownPainter_ ? ownPainter_.get() : CreateHandle();
  if (!p)
    return nullptr;
  p->setRenderHint(QPainter::Antialiasing, false);
  p->setRenderHint(QPainter::SmoothPixmapTransform, false);
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  p->setBackgroundMode(Qt::TransparentMode);
  p->setBrushOrigin(0, 0);
  if (clip_ && baseClip_)
    p->setClipRegion(clip_->intersected(*baseClip_));
  else if (clip_ || baseClip_)
    p->setClipRegion(clip_ ? *clip_ : *baseClip_);
  else
    p->setClipping(false);
  return p;
}

void TCanvas::Changing() {
  if (OnChanging)
    OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange)
    OnChange(this);
}

void TCanvas::FontChanged() {
  qfont_.reset();
  textColor_.reset();
}

QFont TCanvas::CurrentQFont() {
  if (!qfont_)
    qfont_ = font_->ToQFont();
  return *qfont_;
}

QSize TCanvas::SurfaceSize() {
  if (borrowed_ && borrowed_->device())
    return QSize(borrowed_->device()->width(), borrowed_->device()->height());
  if (device_)
    return QSize(device_->width(), device_->height());
  return QSize();
}

const QImage* TCanvas::PixelSource(QPoint& offset) {
  QPainter* p = borrowed_ ? borrowed_ : ownPainter_.get();
  if (!p && device_ && device_->devType() == QInternal::Image) {
    offset = QPoint();
    return static_cast<const QImage*>(device_);
  }
  if (!p || !p->isActive())
    return nullptr;
  QPaintDevice* target = p->paintEngine() ? p->paintEngine()->paintDevice() : nullptr;
  if (!target || target->devType() != QInternal::Image)
    return nullptr;
  const QTransform t = p->deviceTransform();
  if (t.type() > QTransform::TxTranslate)
    return nullptr;
  offset = QPoint(qRound(t.dx()), qRound(t.dy()));
  return static_cast<const QImage*>(target);
}

// Clipping ---------------------------------------------------------------

TRect TCanvas::ClipRect() {
  if (clip_ && baseClip_)
    return FromQRect(clip_->intersected(*baseClip_).boundingRect());
  if (clip_ || baseClip_)
    return FromQRect((clip_ ? *clip_ : *baseClip_).boundingRect());
  const QSize size = SurfaceSize();
  return Rect(0, 0, size.width(), size.height());
}

void TCanvas::SetClipRect(const TRect& r) {
  clip_ = QRegion(ToQRect(r));
}

void TCanvas::IntersectClipRect(const TRect& r) {
  const QRegion rect(ToQRect(r));
  clip_ = clip_ ? clip_->intersected(rect) : rect.intersected(ToQRect(ClipRect()));
}

void TCanvas::ExcludeClipRect(const TRect& r) {
  const QRegion base = clip_ ? *clip_ : QRegion(ToQRect(ClipRect()));
  clip_ = base.subtracted(QRegion(ToQRect(r)));
}

void TCanvas::RemoveClip() {
  clip_.reset();
}

void TCanvas::PushClip() {
  clipStack_.push_back(clip_);
}

void TCanvas::PopClip() {
  if (clipStack_.empty())
    return;
  clip_ = clipStack_.back();
  clipStack_.pop_back();
}

// Pixels -----------------------------------------------------------------

TColor TCanvas::Pixel(int x, int y) {
  QPoint offset;
  const QImage* image = PixelSource(offset);
  if (!image)
    return clNone;
  const QPoint at(x + offset.x(), y + offset.y());
  if (!image->valid(at))
    return clNone;
  return QRgbToColor(image->pixel(at));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  CanvasChange change(*this);
  QPainter* p = Begin();
  if (!p)
    return;
  p->setCompositionMode(QPainter::CompositionMode_Source);
  p->fillRect(QRect(x, y, 1, 1), ColorToQColor(color));
}

QImage TCanvas::ReadArea(const TRect& r) {
  QImage out(std::max(0, r.Width()), std::max(0, r.Height()), QImage::Format_RGB32);
  out.fill(0xFF000000u);
  QPoint offset;
  const QImage* image = PixelSource(offset);
  if (!image || out.isNull())
    return out;
  const QRect want(r.Left + offset.x(), r.Top + offset.y(), out.width(), out.height());
  const QRect have = want.intersected(image->rect());
  if (have.isEmpty())
    return out;
  const QImage part = image->copy(have).convertToFormat(QImage::Format_RGB32);
  QPainter p(&out);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(have.topLeft() - want.topLeft(), part);
  return out;
}

void TCanvas::WriteArea(const TRect& r, const QImage& image) {
  QPainter* p = Begin();
  if (!p)
    return;
  p->setCompositionMode(QPainter::CompositionMode_Source);
  p->drawImage(QPoint(r.Left, r.Top), image);
}

QImage TCanvas::PatternArea(const TRect& r) {
  QImage out(std::max(0, r.Width()), std::max(0, r.Height()), QImage::Format_RGB32);
  // Hatch gaps take the background colour: white, like a fresh surface.
  out.fill(0xFFFFFFFFu);
  if (out.isNull() || brush_->Style() == bsClear)
    return out;
  QPainter p(&out);
  p.setBrushOrigin(-r.Left, -r.Top);  // patterns stay aligned to the surface
  p.fillRect(out.rect(), brush_->ToQBrush());
  return out;
}

void TCanvas::ApplyPenMode(QPainter* p) const {
  switch (pen_->Mode()) {
    case pmBlack:
    case pmWhite:
    case pmCopy: p->setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    case pmNop: p->setCompositionMode(QPainter::CompositionMode_Destination); break;
    case pmNot: p->setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case pmNotCopy: p->setCompositionMode(QPainter::RasterOp_NotSource); break;
    case pmMergePenNot: p->setCompositionMode(QPainter::RasterOp_SourceOrNotDestination); break;
    case pmMaskPenNot: p->setCompositionMode(QPainter::RasterOp_SourceAndNotDestination); break;
    case pmMergeNotPen: p->setCompositionMode(QPainter::RasterOp_NotSourceOrDestination); break;
    case pmMaskNotPen: p->setCompositionMode(QPainter::RasterOp_NotSourceAndDestination); break;
    case pmMerge: p->setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case pmNotMerge: p->setCompositionMode(QPainter::RasterOp_NotSourceAndNotDestination); break;
    case pmMask: p->setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case pmNotMask: p->setCompositionMode(QPainter::RasterOp_NotSourceOrNotDestination); break;
    case pmXor: p->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case pmNotXor: p->setCompositionMode(QPainter::RasterOp_NotSourceXorDestination); break;
  }
}
