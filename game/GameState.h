#pragma once
// The game's state: the main window's fields and the program-wide values,
// and what the word, number and settings units reach in the main window.

#include "platform/graphics/Colors.h"

#include <QString>

#include <array>
#include <cstdint>

class TStringAlignGrid;
class TStrings;
class TRegistryEnhanced;

inline constexpr int GridSize = 12;

// Letters[] slots: 1..29 the letters, 30..41 the selection of the numbers
// mode, 42..44 the hints given.
inline constexpr int FirstSelectionSlot = 30;
inline constexpr int LastSelectionSlot = 41;
inline constexpr int FirstHintSlot = 42;
inline constexpr int LastHintSlot = 44;

struct TGameState {
  QString FileName;
  QString ListFileName;
  QString Selection;
  int DownCol = -1;
  int DownRow = -1;
  QString PrintTitle;
  int HintCount = 0;
  int PictureLeft = 0;
  int PictureHomeLeft = 0;
  int PictureTop = 0;
  int PictureHomeTop = 0;
  // Direction of the last selection; at most one is set.
  bool Right = false;
  bool Down = false;
  bool Left = false;
  bool Up = false;
  bool DownRight = false;
  bool UpRight = false;
  bool DownLeft = false;
  bool UpLeft = false;
  bool AnimCow = true;
  bool AnimJester = false;
  bool AnimNone = false;
  bool InOrder = false;
  bool NumbersMode = false;
  std::array<QString, 30> Numbers;  // 1..29 used
  std::array<QString, 45> Letters;  // 1..44 used

  // Program-wide values.
  TColor FoundColor = 255;
  // Seconds per word until timing starts, then the whole limit; 0 when stopped.
  std::uint32_t TimeLimitSeconds = 0;
  // Monotonic milliseconds at the start of timing.
  std::int64_t TimingStartMs = 0;

  void ClearDirections();
};

// What the word, number and settings units need of the main window.
class TGameBoard {
 public:
  virtual ~TGameBoard() = default;
  virtual TGameState& State() = 0;
  virtual TStringAlignGrid& Grid() = 0;
  // The word list, one word a line.
  virtual TStrings& WordList() = 0;
  // The words-left counter.
  virtual void SetWordsLeft(const QString& text) = 0;
  // The end animation, as the animation choice says.
  virtual void ShowAnimation() = 0;
  // The end steps after the last word: picture window closed, time-limit
  // button up, timing stopped.
  virtual void EndOfGame() = 0;
  virtual TRegistryEnhanced& Rekisteri() = 0;
  // Ticks the animation menu items as AnimCow/AnimJester/AnimNone say.
  virtual void ShowAnimationChoice() = 0;
  // Ticks the numbers-mode menu item as NumbersMode says.
  virtual void ShowNumbersMode() = 0;
};
