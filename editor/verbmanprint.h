#pragma once
// The editor's printout: the word list in 13 rows beside the framed 12 x 12
// letter block, one page.

class TPrnCells;
class TStrings;
class TStringAlignGrid;

void PrintEditorPuzzle(TPrnCells& cells, TStrings& words, TStringAlignGrid& grid);
// A printout that went to a file is announced in a message box.
void AnnounceEditorPrintFiles();
