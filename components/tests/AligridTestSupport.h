#pragma once
// Shared pieces of the aligned-grid tests: an application object and a
// form holding one grid per test.

#include "components/Aligrid.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

// Opens the protected handlers the tests drive directly.
class TTestAlignGrid : public TStringAlignGrid {
 public:
  using TStringAlignGrid::TStringAlignGrid;
  using TStringAlignGrid::CanEditShow;
  using TStringAlignGrid::ColumnMoved;
  using TStringAlignGrid::DoEnter;
  using TStringAlignGrid::DoExit;
  using TStringAlignGrid::KeyDown;
  using TStringAlignGrid::RowMoved;
};

class AligridTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterAligridClasses();
    app = std::make_unique<TApplication>();
    form = new TForm(app.get());
    form->SetBounds(0, 0, 400, 300);
    grid = new TTestAlignGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 330, 130);
  }
  void TearDown() override { app.reset(); }

  // 4 columns, 3 rows, one fixed of each: the cells are columns 1..3, rows 1..2.
  void UseSmallGrid() {
    grid->SetColCount(4);
    grid->SetRowCount(3);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
  }

  // Reads stored properties (form-file lines) into the grid.
  void LoadProps(const QByteArray& body) {
    ReadRootComponent(grid, "object Grid: TStringAlignGrid\n" + body + "end\n",
                      QStringLiteral("grid.form"));
  }

  // Delivers the messages posted so far.
  static void Pump() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  std::unique_ptr<TApplication> app;
  TForm* form = nullptr;
  TTestAlignGrid* grid = nullptr;
};
