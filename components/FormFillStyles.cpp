// The 17 background styles. Tile coordinates run 0 to 29; rectangles exclude
// their right and bottom edges and lines their end points.
#include "components/FormFill.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/Random.h"

#include <array>
#include <utility>

namespace {

constexpr TColor kBlue = 0xFF0000;
constexpr TColor kRed = 0x0000FF;
constexpr int kTile = kFillTileSize;

void Line(TCanvas* c, int x1, int y1, int x2, int y2, TColor color) {
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetWidth(1);
  c->Pen()->SetColor(color);
  c->MoveTo(x1, y1);
  c->LineTo(x2, y2);
}

void VLine(TCanvas* c, int x, int y1, int y2, TColor color) { Line(c, x, y1, x, y2, color); }

void Fill(TCanvas* c, const TRect& r, TColor color) {
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(color);
  c->FillRect(r);
}

// A one-pixel solid pen and a solid brush.
TCanvas* Paint(TCanvas* c, TColor pen, TColor brush) {
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetWidth(1);
  c->Pen()->SetColor(pen);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(brush);
  return c;
}

void Box(TCanvas* c, const TRect& r, TColor fill, TColor outline) {
  Paint(c, outline, fill)->Rectangle(r);
}

void Oval(TCanvas* c, const TRect& r, TColor pen, TColor brush) {
  Paint(c, pen, brush)->Ellipse(r);
}

void Speck(TCanvas* c, int x, int y, TColor first, TColor second) {
  c->SetPixel(x, y, first);
  c->SetPixel(x + 1, y + 1, second);
}
void Sunken(TCanvas* c, int x, int y) { Speck(c, x, y, clBtnShadow, clWhite); }
void Raised(TCanvas* c, int x, int y) { Speck(c, x, y, clWhite, clBtnShadow); }

void RandomSpecks(TCanvas* c, int n) {
  for (int i = 0; i < n; ++i) {
    const int x = Random(kTile);
    const int y = Random(kTile);
    Raised(c, x, y);
  }
}

void Planks(TCanvas* c, TColor first, TColor second) {
  for (int x : {0, 15, 29}) VLine(c, x, 0, kTile, first);
  for (int x : {1, 16}) VLine(c, x, 0, kTile, second);
}

void Frame(TPwFormFill* f) {
  const int w = f->ClientWidth(), h = f->ClientHeight();
  TCanvas* c = f->Canvas();
  for (const TRect& r : {Rect(0, 0, w, 5), Rect(0, h - 5, w, h), Rect(0, 5, 5, h - 5),
                         Rect(w - 5, 5, w, h - 5)})
    Fill(c, r, f->Color());
}

void Hole(TCanvas* c) {
  Oval(c, Rect(2, 2, 7, 7), clWhite, clWhite);
  Oval(c, Rect(1, 1, 6, 6), clSilver, clWhite);
  Oval(c, Rect(0, 0, 5, 5), clWhite, clBtnShadow);
}

int Patches(TPwFormFill* f) { return f->ClientWidth() * f->ClientHeight() / 225; }

// Copies size x size squares of from, taken at (sourceX, sourceY), to
// count random points of the control.
void CopyPatches(TPwFormFill* f, TCanvas* from, int count, int size, int sourceX, int sourceY) {
  for (int i = 0; i < count; ++i) {
    const int x = Random(f->ClientWidth());
    const int y = Random(f->ClientHeight());
    f->Canvas()->CopyRect(Bounds(x, y, size, size), from, Bounds(sourceX, sourceY, size, size));
  }
}

void Scatter(TPwFormFill* f, TCanvas* from, int size, int sourceX) {
  CopyPatches(f, from, Patches(f) + 1, size, sourceX, 0);
}

void Brick(TCanvas* c) {
  c->Pen()->SetColor(clWhite);
  c->MoveTo(0, 0);
  c->LineTo(30, 0);
  c->LineTo(30, 15);
  c->LineTo(0, 15);
  c->LineTo(0, 0);
  Line(c, 15, 15, 15, 30, clWhite);
  Sunken(c, 0, 0);
}

void Plate(TCanvas* c) {
  Line(c, 0, 0, 29, 0, clWhite);
  Line(c, 0, 0, 0, 29, clWhite);
  c->Pen()->SetColor(clBtnShadow);
  c->MoveTo(0, 29);
  c->LineTo(29, 29);
  c->LineTo(29, 0);
  for (const TRect& r : {Rect(4, 4, 6, 6), Rect(26, 26, 28, 28), Rect(4, 26, 6, 28),
                         Rect(26, 4, 28, 6)})
    Oval(c, r, clBtnShadow, clBtnShadow);
  for (const TRect& r : {Rect(3, 3, 5, 5), Rect(25, 25, 27, 27), Rect(3, 25, 5, 27),
                         Rect(25, 3, 27, 5)})
    Oval(c, r, clWhite, clWhite);
}

// A card of the control's size with a shadow below and right of it.
void Card(TPwFormFill* f, int shadow) {
  const int w = f->ClientWidth(), h = f->ClientHeight();
  const int edge = 5 + shadow;
  TCanvas* c = f->Canvas();
  Frame(f);
  Fill(c, Rect(5, h - edge, edge, h - 5), f->Color());
  Fill(c, Rect(w - edge, 5, w - 5, edge), f->Color());
  Fill(c, Rect(edge, h - edge, w - 5, h - 5), clBtnShadow);
  Fill(c, Rect(w - edge, edge, w - 5, h - 5), clBtnShadow);
  Box(c, Rect(5, 5, w - edge, h - edge), clWhite, clBlack);
}

void Philadelphia(TPwFormFill* f, int& size) {
  size = 1;
  Card(f, 7);
}

void Harvard(TPwFormFill* f, int& size) {
  size = 1;
  Card(f, 3);
  const int w = f->ClientWidth(), h = f->ClientHeight();
  TCanvas* c = f->Canvas();
  for (int y = 40; y < h - 20; y += 20)
    Line(c, 8, y, w - 10, y, kBlue);
  Line(c, w / 8, 7, w / 8, h - 12, kRed);
  const int step = h / 4;
  if (step <= 0)
    return;  // too low for holes
  const int d = w / 48, x = w / 16;
  for (int y = step / 2; y < h - step / 2; y += step) {
    Oval(c, Rect(x - 1, y - 1, x + d, y + d), clBtnShadow, clBtnFace);
    Oval(c, Rect(x, y, x + d, y + d), clWhite, clBtnFace);
  }
}

void Smithsonian(TPwFormFill* f, int& size) {
  size = 0;
  const int w = f->ClientWidth(), h = f->ClientHeight();
  TCanvas* c = f->Canvas();
  Frame(f);
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetStyle(bsClear);
  c->Rectangle(5, 5, w - 5, h - 5);
  for (const TRect& r : {Rect(6, 6, w - 6, 8), Rect(6, h - 8, w - 6, h - 6), Rect(6, 8, 8, h - 8),
                         Rect(w - 8, 8, w - 6, h - 8)})
    Fill(c, r, clBtnShadow);
  Box(c, Rect(8, 8, w - 8, h - 8), clWhite, clBlack);
  const int m = w / 2;
  VLine(c, m, 9, h - 9, clBtnShadow);
  for (int x = m + 1; x <= m + 4; ++x) VLine(c, x, 9, h - 9, clBtnFace);
  VLine(c, m + 5, 9, h - 9, clWhite);
  VLine(c, m + 6, 9, h - 9, clBtnFace);
  for (int k = 10; k <= 30; k += 5) {
    VLine(c, w - k, 9, h - 9, clBtnFace);
    VLine(c, k, 9, h - 9, clBtnFace);
  }
  Line(c, w - 16, 9, w - 18, h - 9, clBtnFace);
  Line(c, 16, 9, 18, h - 9, clBtnFace);
}

void Pittsburg(TPwFormFill* f, int&) { Plate(f->Tile()); }

void Alcatraz(TPwFormFill* f, int&) {
  TCanvas* c = f->Tile();
  Plate(c);
  const std::array<std::pair<int, TColor>, 9> lines{{{6, clBtnShadow}, {7, clWhite},
                                                     {8, clBtnFace}, {9, clBtnFace},
                                                     {10, clBtnFace}, {11, clBtnShadow},
                                                     {21, clBtnShadow}, {22, clBtnShadow},
                                                     {23, clBtnShadow}}};
  for (const auto& [x, color] : lines) VLine(c, x, 0, kTile, color);
}

void Minsk(TPwFormFill* f, int&) {
  TCanvas* c = f->Tile();
  Fill(c, Rect(0, 0, 7, 32), clBtnFace);
  Fill(c, Rect(7, 0, 14, 32), clWhite);
  Fill(c, Rect(16, 0, 21, 32), clBtnFace);
  Fill(c, Rect(21, 0, 30, 32), clWhite);
  VLine(c, 14, 0, kTile, clBtnShadow);
  VLine(c, 28, 0, kTile, clBtnShadow);
}

void Hollywood(TPwFormFill* f, int&) {
  TCanvas* c = f->Tile();
  Box(c, Rect(0, 0, 15, 15), clBtnFace, clWhite);
  Box(c, Rect(15, 15, 30, 30), clBtnFace, clWhite);
  Box(c, Rect(0, 15, 15, 30), clWhite, clBtnFace);
  Box(c, Rect(15, 0, 30, 15), clWhite, clBtnFace);
}

void Honolulu(TPwFormFill* f, int&) {
  TCanvas* c = f->Tile();
  Line(c, 0, 29, 29, 0, clWhite);
  Line(c, 1, 1, 30, 30, clBtnShadow);
  Line(c, 1, 30, 30, 1, clBtnShadow);
}

constexpr std::array<std::pair<int, int>, 95> kCracks{{
    {0, 0},   {9, 0},   {1, 10},  {2, 11},  {3, 12},  {4, 13},  {4, 14},  {4, 15},  {4, 16},
    {4, 17},  {4, 18},  {4, 19},  {4, 20},  {4, 21},  {4, 22},  {4, 23},  {3, 24},  {2, 25},
    {1, 26},  {0, 27},  {0, 28},  {0, 29},  {0, 30},  {0, 27},  {1, 2},   {2, 3},   {3, 4},
    {4, 5},   {5, 6},   {6, 7},   {8, 7},   {9, 7},   {10, 6},  {11, 5},  {12, 4},  {13, 3},
    {14, 2},  {15, 1},  {16, 0},  {17, 0},  {18, 0},  {18, 1},  {17, 2},  {16, 4},  {15, 5},
    {15, 6},  {16, 7},  {17, 8},  {18, 9},  {19, 10}, {19, 11}, {19, 12}, {18, 13}, {17, 14},
    {16, 15}, {16, 16}, {15, 18}, {14, 20}, {13, 21}, {13, 22}, {13, 23}, {13, 24}, {13, 25},
    {13, 26}, {14, 27}, {15, 28}, {16, 28}, {16, 27}, {16, 26}, {17, 25}, {18, 24}, {19, 23},
    {19, 22}, {19, 21}, {19, 20}, {19, 19}, {19, 18}, {20, 17}, {20, 16}, {21, 15}, {22, 14},
    {23, 13}, {23, 12}, {23, 11}, {23, 10}, {23, 9},  {23, 8},  {23, 7},  {23, 6},  {24, 5},
    {25, 4},  {26, 3},  {27, 2},  {28, 1},  {29, 0},
}};

void Hanoi(TPwFormFill* f, int&) {
  TCanvas* c = f->Tile();
  for (const auto& [x, y] : kCracks) Sunken(c, x, y);
  Planks(c, clBtnShadow, clWhite);
}

void ElPasoTile(TCanvas* c) {
  for (int i = 0; i < 4; ++i) {
    int x = Random(kTile), y = Random(kTile);
    Sunken(c, x, y);
    x = Random(kTile);
    y = Random(kTile);
    Raised(c, x, y);
  }
  Planks(c, clBtnShadow, clWhite);
}

void ElPaso(TPwFormFill* f, int&) { ElPasoTile(f->Tile()); }

void Oshawa(TPwFormFill* f, int& size) {
  ElPasoTile(f->Tile());
  RandomSpecks(f->Tile(), 150);
  f->TileClient();
  size = 1;
  Scatter(f, f->Tile(), 8, 3);
}

void Sahara(TPwFormFill* f, int& size) {
  RandomSpecks(f->Tile(), 150);
  f->TileClient();
  size = 1;
  Scatter(f, f->Tile(), 15, 0);
}

void Holes(TPwFormFill* f, int& size) {
  size = 1;
  Fill(f->Canvas(), f->ClientRect(), f->Color());
  Hole(f->Tile());
  Scatter(f, f->Tile(), 7, 0);
}

void Orleans(TPwFormFill* f, int& size) {
  Holes(f, size);
  size = 0;
  const int w = f->ClientWidth(), h = f->ClientHeight();
  TCanvas* c = f->Canvas();
  for (int x0 = 0; x0 < w; x0 += kTile) {
    for (int dx : {0, 1, 14, 15, 28}) VLine(c, x0 + dx, 0, h, clBtnShadow);
    for (int dx : {13, 16, 29}) VLine(c, x0 + dx, 0, h, clWhite);
  }
}

void Adobe(TPwFormFill* f, int& size) {
  RandomSpecks(f->Tile(), 100);
  f->TileClient();
  size = 1;
  TBitmap second;
  second.SetSize(kTile, kTile);
  Fill(second.Canvas(), Rect(0, 0, 7, 7), f->Color());
  RandomSpecks(second.Canvas(), 150);
  Hole(second.Canvas());
  Scatter(f, second.Canvas(), 7, 0);
}

void Manhattan(TPwFormFill* f, int& size) {
  Brick(f->Tile());
  f->TileClient();
  size = 1;
  TCanvas* c = f->Canvas();
  for (int i = Patches(f) / 3; i > 0; --i) {
    int x = Random(f->ClientWidth()), y = Random(f->ClientHeight());
    Sunken(c, x, y);
    x = Random(f->ClientWidth());
    y = Random(f->ClientHeight());
    Raised(c, x, y);
  }
}

void London(TPwFormFill* f, int& size) {
  RandomSpecks(f->Tile(), 150);
  Brick(f->Tile());
  f->TileClient();
  size = 1;
  constexpr int kPatch = 10;
  CopyPatches(f, f->Tile(), 2 * Patches(f) + 1, kPatch, 2, 2);
}

}  // namespace

void RegisterFormFillClasses() {
  static const bool registered = [] {
    Randomize();
    const std::pair<const char*, TFillRoutine> styles[] = {
        {"Adobe", Adobe},         {"Orleans", Orleans},         {"Alcatraz", Alcatraz},
        {"Holes", Holes},         {"Oshawa", Oshawa},           {"London", London},
        {"Hollywood", Hollywood}, {"Minsk", Minsk},             {"Hanoi", Hanoi},
        {"Pittsburg", Pittsburg}, {"Manhattan", Manhattan},     {"Honolulu", Honolulu},
        {"ElPaso", ElPaso},       {"Sahara", Sahara},           {"Smithsonian", Smithsonian},
        {"Philadelphia", Philadelphia}, {"Harvard", Harvard},
    };
    for (const auto& [name, routine] : styles)
      RegisterFillStyle(QString::fromLatin1(name), routine);
    return true;
  }();
  (void)registered;
  if (GetClass(QStringLiteral("TPwFormFill")) == nullptr)
    RegisterClass<TPwFormFill>();
}
