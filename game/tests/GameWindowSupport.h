#pragma once
// The game as a test drives it: the application object, the start-up with
// the splash skipped, timers and the tick count under the test's control,
// every modal loop answered by the test, and mouse drags on the grid.

#include "components/KVCtrls.h"
#include "components/Lumexctl.h"
#include "components/Aligrid.h"
#include "game/ProgramStart.h"
#include "game/kuvapas.h"
#include "game/main.h"
#include "game/ohjelmasta.h"
#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/FileDialogs.h"
#include "platform/controls/Guard.h"
#include "platform/controls/Timer.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringList.h"
#include "puzzle/IO.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMouseEvent>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// A listed word and where it lies: from (col, row) to (endCol, endRow).
struct TPlacedWord {
  QString word;
  int col = 0;
  int row = 0;
  int endCol = 0;
  int endRow = 0;
  int dc = 0;  // column step
  int dr = 0;  // row step
};

// Every word of a list found on a straight line of the grid; a word that
// cannot be found fails the test.
inline QList<TPlacedWord> PlaceWords(const IGridCells& cells, const QStringList& words) {
  static const int steps[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1},
                                  {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
  QList<TPlacedWord> placed;
  for (const QString& word : words) {
    std::optional<TPlacedWord> hit;
    for (int c = 0; c < cells.ColCount() && !hit; ++c)
      for (int r = 0; r < cells.RowCount() && !hit; ++r)
        for (const auto& s : steps) {
          QString text;
          int cc = c;
          int rr = r;
          for (qsizetype i = 0; i < word.size(); ++i, cc += s[0], rr += s[1]) {
            if (cc < 0 || rr < 0 || cc >= cells.ColCount() || rr >= cells.RowCount()) break;
            text += cells.Cell(cc, rr);
          }
          if (text == word) {
            const int n = static_cast<int>(word.size()) - 1;
            hit = TPlacedWord{word, c, r, c + n * s[0], r + n * s[1], s[0], s[1]};
            break;
          }
        }
    EXPECT_TRUE(hit.has_value()) << word.toStdString();
    if (hit) placed.append(*hit);
  }
  return placed;
}

// The bundled puzzles lie beside the program, as the setup installs them.
inline QString PuzzleFolder() { return QCoreApplication::applicationDirPath(); }
inline QString PuzzlePath(const QString& base) { return PuzzleFolder() + "/" + base + ".vrb"; }

inline QStringList ReadLines(const QString& path) {
  TStringList list;
  list.LoadFromFile(path);
  QStringList lines;
  for (int i = 0; i < list.Count(); ++i) lines.append(list.Strings(i));
  return lines;
}

class GameWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    TTimer::SetTimerHook([this](TTimer* timer, bool running, unsigned) {
      if (running)
        running_.insert(timer);
      else
        running_.remove(timer);
    });
    // The about box's credits tick through the hook: no worker thread.
    TKvTimer::SetTickHook([this](TKvTimer* timer, bool running, unsigned) {
      if (running)
        runningKv_.insert(timer);
      else
        runningKv_.remove(timer);
    });
    SetTickCountHook([this] { return ticks; });
    app = std::make_unique<TApplication>();
    app->ModalDriver = [this](TObject* modal) { Answer(modal); };
  }
  void TearDown() override {
    app.reset();
    TTimer::SetTimerHook(nullptr);
    TKvTimer::SetTickHook(nullptr);
    SetTickCountHook(nullptr);
  }

  // The program's start-up without the splash's pause, the main window shown.
  void Start() {
    StartTrovaly(TStartOptions{0});
    ASSERT_NE(Form1, nullptr);
    Form1->Show();
    Pump();
  }

  static void Pump() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  bool Running(TTimer* timer) const { return running_.contains(timer); }
  bool Running(TKvTimer* timer) const { return runningKv_.contains(timer); }

  // Opens a puzzle through the open dialog, answered with path.
  void OpenThroughDialog(const QString& path) {
    openAnswer = path;
    // As a menu click runs it: an exception goes to the application's handler.
    Guard(Form1, [] { Form1->Avaa1Click(Form1); });
    openAnswer.reset();
  }

  // Runs the open command and cancels its dialog.
  void CancelOpenDialog() {
    openAnswer.reset();
    Guard(Form1, [] { Form1->Avaa1Click(Form1); });
  }

  // Press on one cell and release on another, as the mouse does.
  void Drag(int col, int row, int endCol, int endRow) {
    TStringAlignGrid* grid = Form1->stringgrid1;
    const TRect a = grid->CellRect(col, row);
    const TRect b = grid->CellRect(endCol, endRow);
    Mouse(QEvent::MouseButtonPress, (a.Left + a.Right) / 2, (a.Top + a.Bottom) / 2);
    Mouse(QEvent::MouseButtonRelease, (b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
  }

  void Mouse(QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* w = Form1->stringgrid1->Widget();
    ASSERT_NE(w, nullptr);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent e(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), button, held,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }

  QStringList WordsLeft() const {
    QStringList list;
    TStrings& words = Form1->WordList();
    for (int i = 0; i < words.Count(); ++i) list.append(words.Strings(i));
    return list;
  }

  // Every listed word of the open puzzle, dragged in the given order.
  QSet<QPair<int, int>> DragAll(const QList<TPlacedWord>& placed) {
    QSet<QPair<int, int>> directions;
    for (const TPlacedWord& p : placed) {
      Drag(p.col, p.row, p.endCol, p.endRow);
      directions.insert({p.dc, p.dr});
    }
    return directions;
  }

  std::unique_ptr<TApplication> app;
  std::uint64_t ticks = 1000000;
  // What the next open dialog answers; none cancels it.
  std::optional<QString> openAnswer;
  // The folder each open dialog started in.
  QStringList dialogFolders;
  QStringList boxes;
  std::function<void(TObject*)> otherModal;

 private:
  void Answer(TObject* modal) {
    if (auto* box = dynamic_cast<TMessageForm*>(modal)) {
      boxes.append(box->Text());
      box->ClickButton(box->Buttons().first().result);
    } else if (auto* open = dynamic_cast<TOpenDialog*>(modal)) {
      dialogFolders.append(QDir(open->FileDialog()->directory()).absolutePath());
      if (openAnswer)
        open->AcceptFiles({*openAnswer});
      else
        open->FileDialog()->reject();
    } else if (otherModal) {
      otherModal(modal);
    } else if (auto* form = dynamic_cast<TForm*>(modal)) {
      form->SetModalResult(mrCancel);
    }
  }

  QSet<TTimer*> running_;
  QSet<TKvTimer*> runningKv_;
};
