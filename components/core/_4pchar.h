#pragma once
// Pattern replacement in a zero-terminated character buffer.

#include <QChar>

// Replaces every occurrence of `pattern` in `source`, left to right without
// overlaps; replaced text is not searched again. Comparison is exact. An empty
// pattern never matches and a source of at most one character is left alone.
// The result is cut to the source's length (the buffer is never overrun) and
// written back into `source`, which is returned. Null pointers count as empty.
QChar* PCharReplaceAll(QChar* source, const QChar* pattern, const QChar* replacement);
