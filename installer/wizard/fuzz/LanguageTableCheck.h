#pragma once
// The language-table check shared by the fuzz target and the tests that
// replay its inputs: the bytes (UTF-8) as table lines either read into
// elements that keep the format's rules or fail with one of its error
// texts, and a failing change leaves a language's table as it was.

#include <QByteArray>
#include <QString>

QString CheckLanguageTable(const QByteArray& bytes);
