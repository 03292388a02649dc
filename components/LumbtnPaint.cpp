// Painting of the picture buttons: the face, its edges by style, and where
// the glyph and the caption go.
#include "components/Lumbtn.h"

#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/DrawText.h"

namespace {

struct TPlacement {
  TPoint glyph;
  TPoint text;
};

// Where glyph and caption go on a face of size face (offsets added later).
TPlacement PlaceGlyphAndText(TSize face, TSize glyph, TSize text, TlumButtonLayout layout,
                             int margin, int spacing) {
  TPlacement p;
  const auto centred = [](int whole, int part) { return (whole - part + 1) / 2; };
  switch (layout) {
    case lblGlyphLeft:
    case lblGlyphRight:
      p.glyph.Y = centred(face.cy, glyph.cy);
      p.text.Y = centred(face.cy, text.cy);
      break;
    case lblGlyphTop:
    case lblGlyphBottom:
      p.glyph.X = centred(face.cx, glyph.cx);
      p.text.X = centred(face.cx, text.cx);
      break;
    case lblGlyphCenter:
      p.text = {centred(face.cx, text.cx), centred(face.cy, text.cy)};
      p.glyph = {centred(face.cx, glyph.cx), centred(face.cy, glyph.cy)};
      return p;
    case lblGlyphTiled:
      p.text = {centred(face.cx, text.cx), centred(face.cy, text.cy)};
      return p;
  }
  if (text.cx == 0 || glyph.cx == 0) spacing = 0;
  const bool across = layout == lblGlyphLeft || layout == lblGlyphRight;
  const int available = across ? face.cx : face.cy;
  const int glyphExtent = across ? glyph.cx : glyph.cy;
  const int textExtent = across ? text.cx : text.cy;
  if (margin == -1) {
    if (spacing == -1) {
      margin = (available - (glyphExtent + textExtent)) / 3;
      spacing = margin;
    } else {
      margin = (available - (glyphExtent + spacing + textExtent) + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (available - margin - glyphExtent - textExtent) / 2;
  }
  switch (layout) {
    case lblGlyphLeft:
      p.glyph.X = margin;
      p.text.X = p.glyph.X + glyph.cx + spacing;
      break;
    case lblGlyphRight:
      p.glyph.X = face.cx - margin - glyph.cx;
      p.text.X = p.glyph.X - spacing - text.cx;
      break;
    case lblGlyphTop:
      p.glyph.Y = margin;
      p.text.Y = p.glyph.Y + glyph.cy + spacing;
      break;
    default:
      p.glyph.Y = face.cy - margin - glyph.cy;
      p.text.Y = p.glyph.Y - spacing - text.cy;
      break;
  }
  return p;
}

void TextAt(TCanvas* canvas, const QString& caption, TRect r, int dx, int dy, TColor color,
            unsigned flags) {
  OffsetRect(r, dx, dy);
  canvas->Font()->SetColor(color);
  DrawText(canvas, caption, r, flags);
}

}  // namespace

void TCustomPicSpeedBtn::PaintFace(TCanvas* canvas, TRect& r, bool down, bool hovered) {
  if (popup_ && !down && !hovered) return;
  TlumButtonStyle style = style_ == lbsAutoDetect ? lbsNew : style_;
  switch (style) {
    case lbsThin:
      DrawEdge(canvas, r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
      break;
    case lbsThinBlack:
      DrawEdge(canvas, r, down ? BDR_SUNKENOUTER : BDR_RAISEDOUTER,
               BF_RECT | BF_SOFT | BF_ADJUST);
      break;
    case lbsWin31:
      DrawEdge(canvas, r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_FLAT | BF_MONO);
      if (down) {
        DrawEdge(canvas, r, BDR_SUNKENINNER, BF_LEFT | BF_TOP | BF_SOFT | BF_ADJUST);
      } else {
        DrawEdge(canvas, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        DrawEdge(canvas, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
      }
      break;
    default:
      if (down) {
        DrawEdge(canvas, r, EDGE_SUNKEN, BF_RECT | BF_SOFT | BF_ADJUST);
      } else {
        DrawEdge(canvas, r, BDR_RAISEDOUTER, BF_RECT | BF_SOFT | BF_ADJUST);
        DrawEdge(canvas, r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_SOFT | BF_ADJUST);
      }
      break;
  }
}

void TCustomPicSpeedBtn::DrawCaption(TCanvas* canvas, const TRect& r) {
  const QString caption = Caption();
  if (caption.isEmpty()) return;
  canvas->Brush()->SetStyle(bsClear);
  if (!Enabled()) {
    if (disabledShadow_) {
      TextAt(canvas, caption, r, 1, 1, ColorOf(0xFFFFFF), 0);
      TextAt(canvas, caption, r, 0, 0, ColorOf(0x808080), 0);
    } else {
      TextAt(canvas, caption, r, 0, 0, clBtnShadow, 0);
    }
    return;
  }
  const unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
  const TColor ink = Font()->Color();
  if (textStyle_ == tsRaised) {
    TextAt(canvas, caption, r, 1, 1, clBtnShadow, flags);
    TextAt(canvas, caption, r, -1, -1, clBtnHighlight, flags);
  } else if (textStyle_ == tsLowered) {
    TextAt(canvas, caption, r, 1, 1, clBtnHighlight, flags);
    TextAt(canvas, caption, r, -1, -1, clBtnShadow, flags);
  }
  TextAt(canvas, caption, r, 0, 0, ink, flags);
}

void TCustomPicSpeedBtn::Paint() {
  const bool designing = ComponentState().Contains(csDesigning);
  if (!Enabled() && !designing) {
    state_ = bsDisabled;
    dragging_ = false;
  } else if (state_ == bsDisabled) {
    state_ = down_ && groupIndex_ != 0 ? bsExclusive : bsUp;
  }
  const bool hovered = popup_ && Enabled() && mouseInside_;
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();

  canvas->Brush()->SetBitmap(nullptr);
  if (state_ == bsExclusive && !hovered) {
    if (pattern_ == nullptr || pattern_->Color() != Color()) {
      ReleasePattern();
      pattern_ = PicButtonStores().AcquirePattern(Color());
    }
    canvas->Brush()->SetBitmap(pattern_->Bitmap());
    canvas->FillRect(client);
    canvas->Brush()->SetBitmap(nullptr);
  } else {
    ReleasePattern();
    const bool noFill = layout_ == lblGlyphTiled && TransparentColor() == Color() &&
                        Picture()->Graphic() != nullptr;
    if (!noFill) {
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(client);
    }
  }

  canvas->SetFont(Font());
  const bool pushed = state_ == bsDown || state_ == bsExclusive;
  TRect face = client;
  PaintFace(canvas, face, pushed, hovered);
  TRect area = client;
  if (pushed) {
    OffsetRect(face, 1, 1);
    OffsetRect(area, 1, 1);
  }

  canvas->PushClip();
  canvas->IntersectClipRect(face);
  const TSize glyph = glyph_->GlyphSize();
  TSize text;
  if (!Caption().isEmpty()) {
    TRect measure = Rect(0, 0, 0, 0);
    DrawText(canvas, Caption(), measure, DT_CALCRECT);
    text = {measure.Width(), measure.Height()};
  }
  const TPlacement place = PlaceGlyphAndText({face.Width(), face.Height()}, glyph, text, layout_,
                                             margin_, spacing_);
  if (layout_ == lblGlyphTiled && glyph.cx > 0 && glyph.cy > 0) {
    for (int y = area.Top; y < area.Bottom; y += glyph.cy)
      for (int x = area.Left; x < area.Right; x += glyph.cx) glyph_->Draw(canvas, {x, y}, state_);
  } else {
    glyph_->Draw(canvas, {face.Left + place.glyph.X, face.Top + place.glyph.Y}, state_);
  }
  const TPoint at{face.Left + place.text.X, face.Top + place.text.Y};
  const TRect textRect = Rect(at.X, at.Y, at.X + text.cx, at.Y + text.cy);
  DrawCaption(canvas, textRect);
  canvas->PopClip();

  if (designing && popup_) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FrameRect(client);
  }
}
