#pragma once
// The editor as a test drives it: the application object, the start-up, the
// clock under the test's control, every modal loop answered by the test and
// real mouse events on the window's grids.

#include "components/Aligrid.h"
#include "editor/EditorStart.h"
#include "editor/verbman.h"
#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/FileDialogs.h"
#include "platform/controls/Guard.h"
#include "platform/controls/Memo.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringList.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMouseEvent>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>

class EditorWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    SetNowHook([] { return TDateTime(45000.25); });
    app = std::make_unique<TApplication>();
    app->ModalDriver = [this](TObject* modal) { Answer(modal); };
    StartMuokkain();
    ASSERT_NE(Form1, nullptr);
    Form1->Show();
    Pump();
  }
  void TearDown() override {
    app.reset();
    SetNowHook(nullptr);
  }

  static void Pump() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  // As a menu click runs a handler: an exception goes to the application's handler.
  template <class F>
  void Run(F handler) {
    Guard(Form1, [&] { (Form1->*handler)(Form1); });
  }

  static void Mouse(TStringAlignGrid* grid, QEvent::Type type, int x, int y,
                    Qt::MouseButton button = Qt::LeftButton) {
    QWidget* w = grid->Widget();
    ASSERT_NE(w, nullptr);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent e(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), button, held,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }
  // A press and a release in the middle of one cell.
  static void Click(TStringAlignGrid* grid, int col, int row,
                    Qt::MouseButton button = Qt::LeftButton) {
    const TRect r = grid->CellRect(col, row);
    const int x = (r.Left + r.Right) / 2;
    const int y = (r.Top + r.Bottom) / 2;
    Mouse(grid, QEvent::MouseButtonPress, x, y, button);
    Mouse(grid, QEvent::MouseButtonRelease, x, y, button);
  }
  // The palette's letter at (col, row) chosen, then each grid cell clicked.
  static void Place(int paletteCol, int paletteRow, const QList<QPair<int, int>>& cells) {
    Click(Form1->StringGrid2, paletteCol, paletteRow);
    for (const auto& cell : cells) Click(Form1->StringGrid1, cell.first, cell.second);
  }
  static void RightClickGrid() { Click(Form1->StringGrid1, 5, 5, Qt::RightButton); }

  static QStringList Lines() {
    QStringList lines;
    TStrings& list = *Form1->richedit1->Lines();
    for (int i = 0; i < list.Count(); ++i) lines << list.Strings(i);
    return lines;
  }
  static void SetLines(const QStringList& lines) {
    TStrings& list = *Form1->richedit1->Lines();
    list.Clear();
    for (const QString& line : lines) list.Add(line);
  }
  // The grid column by column, "." for an empty cell.
  static QString GridText() {
    QString text;
    for (int c = 0; c < 12; ++c)
      for (int r = 0; r < 12; ++r) {
        const QString cell = Form1->StringGrid1->Cells(c, r);
        text += cell.isEmpty() ? QStringLiteral(".") : cell;
      }
    return text;
  }

  std::unique_ptr<TApplication> app;
  // What the next file dialogs answer, in order; nullopt cancels one.
  std::deque<std::optional<QString>> dialogAnswers;
  QStringList boxes;
  int dialogs = 0;
  // The file each dialog offered when it showed.
  QStringList dialogOffers;

 private:
  void Answer(TObject* modal) {
    if (auto* box = dynamic_cast<TMessageForm*>(modal)) {
      boxes.append(box->Text());
      box->ClickButton(box->Buttons().first().result);
    } else if (auto* open = dynamic_cast<TOpenDialog*>(modal)) {
      ++dialogs;
      dialogOffers.append(open->FileDialog()->selectedFiles().value(0));
      std::optional<QString> answer;
      if (!dialogAnswers.empty()) {
        answer = dialogAnswers.front();
        dialogAnswers.pop_front();
      }
      if (answer)
        open->AcceptFiles({*answer});
      else
        open->FileDialog()->reject();
    } else if (auto* form = dynamic_cast<TForm*>(modal)) {
      form->SetModalResult(mrCancel);
    }
  }
};
