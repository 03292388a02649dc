// Every bundled puzzle's word list shows whole in the game's list box: the
// text of its lines ends inside the box, which cannot be scrolled.
#include "game/tests/GameWindowSupport.h"
#include "platform/controls/Memo.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {

class WordList : public GameWindowTest {};

TEST_F(WordList, EveryBundledPuzzleShowsItsWholeList) {
  Start();
  const QStringList grids = QDir(PuzzleFolder()).entryList({QStringLiteral("*.vrb")}, QDir::Files, QDir::Name);
  ASSERT_GE(grids.size(), 4);
  for (const QString& grid : grids) {
    OpenThroughDialog(PuzzleFolder() + "/" + grid);
    ASSERT_TRUE(boxes.isEmpty()) << boxes.join(" ").toStdString();
    Pump();
    QPlainTextEdit* editor = Form1->RichEdit1->Editor();
    const QTextDocument* document = editor->document();
    ASSERT_EQ(document->blockCount(), ReadLines(Form1->State().ListFileName).size()) << grid.toStdString();
    // Where the last line's text ends in the box's client (viewport) area,
    // the first line at the top.
    editor->verticalScrollBar()->setValue(0);
    QTextCursor last(document->lastBlock());
    last.movePosition(QTextCursor::EndOfBlock);
    const QRect line = editor->cursorRect(last);
    EXPECT_LE(line.bottom() + 1, editor->viewport()->height())
        << grid.toStdString() << ": " << document->blockCount() << " lines of " << line.height() << " px";
    EXPECT_EQ(editor->verticalScrollBar()->maximum(), 0) << grid.toStdString();
  }
}

}  // namespace
