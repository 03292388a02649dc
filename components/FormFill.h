#pragma once
// TPwFormFill: fills its parent's client area with one of 17 named
// decorative patterns. A style draws either a 30 x 30 tile that Paint
// repeats over the client area, or straight onto the control's canvas.
// While visible, the control keeps its parent from erasing its background.

#include "platform/classes/ClassBuilder.h"
#include "platform/controls/Control.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Bitmap.h"

#include <QString>
#include <QStringList>

#include <memory>

class TPwFormFill;

// Draws a style: into the tile, leaving size above 1 so that Paint repeats
// it, or onto the control's canvas, setting size to 1 or 0.
using TFillRoutine = void (*)(TPwFormFill* control, int& size);

inline constexpr int kFillTileSize = 30;

class TPwFormFill : public TGraphicControl {
 public:
  explicit TPwFormFill(TComponent* owner);
  ~TPwFormFill() override;

  // The style's name; an unregistered name is ignored.
  QString FillType() const;
  void SetFillType(const QString& name);

  void SetParent(TWinControl* parent) override;

  // The tile while a style draws (nullptr outside Paint).
  TCanvas* Tile() { return tile_ ? tile_->Canvas() : nullptr; }
  // Repeats the tile over the whole client area.
  void TileClient();

  static void DeclareProperties(TClassBuilder<TPwFormFill, TGraphicControl>& b);

 protected:
  void Paint() override;

 private:
  struct Hook;
  void HookParent(TWinControl* parent);
  void UnhookParent();
  void RepeatTile(int size);

  int styleIndex_ = 0;
  std::unique_ptr<TBitmap> tile_;
  TWinControl* hooked_ = nullptr;
  std::shared_ptr<Hook> hook_;
  TWndMethod own_;  // the procedure put into the parent's chain
};

// Adds a style to the program's registry (kept sorted by name, case
// ignored); a null routine adds nothing.
void RegisterFillStyle(const QString& name, TFillRoutine routine);
// The registered names in index order.
QStringList FillStyleNames();
// Registers the 17 styles (once; seeds the random generator first) and the
// form class.
void RegisterFormFillClasses();
