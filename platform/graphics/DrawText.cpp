#include "platform/graphics/DrawText.h"

#include <QFontMetrics>

#include <vector>

namespace {

struct Line {
  QString text;
  std::vector<int> accels;  // positions of underlined characters
  int width = 0;
};

struct Layout {
  QFontMetrics fm;
  int tabWidth;
  bool expandTabs;

  // Width of the text from the line start, tabs advancing to their stops.
  int Width(const QString& text) const {
    int x = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
      if (i < text.size() && text[i] != QLatin1Char('\t'))
        continue;
      x += fm.horizontalAdvance(text.mid(start, i - start));
      if (i < text.size() && expandTabs && tabWidth > 0)
        x = (x / tabWidth + 1) * tabWidth;
      start = i + 1;
    }
    return x;
  }
};

// Removes the "&" prefixes; fills accels with the underlined positions.
QString StripPrefixes(const QString& text, std::vector<int>& accels) {
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
      ++i;
      if (text[i] != QLatin1Char('&'))
        accels.push_back(static_cast<int>(out.size()));
    } else if (text[i] == QLatin1Char('&')) {
      continue;  // a trailing "&" shows nothing
    }
    out += text[i];
  }
  return out;
}

Line MakeLine(const QString& text, qsizetype from, qsizetype to, const std::vector<int>& accels,
              const Layout& layout) {
  Line line;
  line.text = text.mid(from, to - from);
  for (int a : accels)
    if (a >= from && a < to)
      line.accels.push_back(static_cast<int>(a - from));
  line.width = layout.Width(line.text);
  return line;
}

// Greedy word wrap of one paragraph [from, to) of text.
void Wrap(const QString& text, qsizetype from, qsizetype to, int maxWidth,
          const std::vector<int>& accels, const Layout& layout, std::vector<Line>& out) {
  qsizetype start = from;
  while (true) {
    qsizetype breakAt = -1, end = start;
    while (end < to) {
      if (text[end] == QLatin1Char(' ') && end > start)
        breakAt = end;
      if (breakAt >= 0 && layout.Width(text.mid(start, end + 1 - start)) > maxWidth &&
          text[end] != QLatin1Char(' '))
        break;
      ++end;
    }
    if (end >= to) {
      out.push_back(MakeLine(text, start, to, accels, layout));
      return;
    }
    qsizetype stop = breakAt;
    while (stop > start && text[stop - 1] == QLatin1Char(' '))
      --stop;
    out.push_back(MakeLine(text, start, stop, accels, layout));
    start = breakAt;
    while (start < to && text[start] == QLatin1Char(' '))
      ++start;
  }
}

std::vector<Line> BreakLines(const QString& text, const std::vector<int>& accels,
                             unsigned format, int maxWidth, const Layout& layout) {
  std::vector<Line> lines;
  if (format & DT_SINGLELINE) {
    lines.push_back(MakeLine(text, 0, text.size(), accels, layout));
    return lines;
  }
  qsizetype from = 0;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    const bool end = i == text.size();
    if (!end && text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
      continue;
    if (format & DT_WORDBREAK)
      Wrap(text, from, i, maxWidth, accels, layout, lines);
    else
      lines.push_back(MakeLine(text, from, i, accels, layout));
    if (!end && text[i] == QLatin1Char('\r') && i + 1 < text.size() &&
        text[i + 1] == QLatin1Char('\n'))
      ++i;
    from = i + 1;
  }
  return lines;
}

void DrawLine(TCanvas* canvas, const Line& line, int x, int y, const Layout& layout) {
  qsizetype start = 0;
  for (qsizetype i = 0; i <= line.text.size(); ++i) {
    if (i < line.text.size() && line.text[i] != QLatin1Char('\t'))
      continue;
    const QString part = line.text.mid(start, i - start);
    if (!part.isEmpty())
      canvas->TextOut(x + layout.Width(line.text.left(start)), y, part);
    start = i + 1;
  }
  TFont* font = canvas->Font();
  for (int a : line.accels) {
    if (a >= line.text.size() || line.text[a] == QLatin1Char('\t'))
      continue;
    const TFontStyles style = font->Style();
    font->SetStyle(style + TFontStyles{fsUnderline});
    canvas->TextOut(x + layout.Width(line.text.left(a)), y, QString(line.text[a]));
    font->SetStyle(style);
  }
}

}  // namespace

int DrawText(TCanvas* canvas, const QString& text, TRect& rect, unsigned format) {
  const QFont font = canvas->Font()->ToQFont();
  const Layout layout{QFontMetrics(font), 8 * QFontMetrics(font).averageCharWidth(),
                      (format & DT_EXPANDTABS) != 0};
  std::vector<int> accels;
  QString plain = format & DT_NOPREFIX ? text : StripPrefixes(text, accels);
  if (format & DT_SINGLELINE)
    plain.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
  std::vector<Line> lines;
  if (!plain.isEmpty() || !accels.empty())
    lines = BreakLines(plain, accels, format, rect.Width(), layout);
  const int lineHeight = layout.fm.height();
  const int height = static_cast<int>(lines.size()) * lineHeight;
  int widest = 0;
  for (const Line& line : lines)
    widest = std::max(widest, line.width);
  if (format & DT_CALCRECT) {
    rect.Right = rect.Left + widest;
    rect.Bottom = rect.Top + height;
    return height;
  }
  int y = rect.Top;
  if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
    y = (rect.Top + rect.Bottom - height) / 2;
  else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
    y = rect.Bottom - height;
  const bool clip = !(format & DT_NOCLIP);
  if (clip) {
    canvas->PushClip();
    canvas->IntersectClipRect(rect);
  }
  const TPoint penPos = canvas->PenPos();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int x = rect.Left;
    if (format & DT_CENTER)
      x = rect.Left + (rect.Width() - lines[i].width) / 2;
    else if (format & DT_RIGHT)
      x = rect.Right - lines[i].width;
    DrawLine(canvas, lines[i], x, y + static_cast<int>(i) * lineHeight, layout);
  }
  canvas->SetPenPos(penPos);
  if (clip)
    canvas->PopClip();
  return y - rect.Top + height;
}
