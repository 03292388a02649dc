#pragma once
// The grid file reader's fuzz check, shared by the fuzz target and the tests
// that replay its corpus and regression files.

#include <QByteArray>
#include <QString>

// Reads bytes as a grid file in folder. A file must either be refused with
// EInOutError or be read; a grid that was read must be saved, read back to
// the same cells and saved again to the same bytes. Returns what went wrong,
// empty when nothing did.
QString CheckGridFile(const QByteArray& bytes, const QString& folder);
