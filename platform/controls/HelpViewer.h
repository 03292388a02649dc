#pragma once
// THelpViewer: the program's help window. Help is an HTML file; a help
// context N is the anchor "context-N" in it.

#include <QString>
#include <QUrl>

#include <memory>

class QTextBrowser;

class THelpViewer {
 public:
  THelpViewer();
  ~THelpViewer();
  THelpViewer(const THelpViewer&) = delete;
  THelpViewer& operator=(const THelpViewer&) = delete;

  // The HTML file that stands for a help file: same folder and base name,
  // suffix ".html".
  static QString HtmlFileFor(const QString& helpFile);

  // Shows htmlFile at the anchor (none when empty). EFOpenError "Cannot open
  // help file %s" when the file cannot be read.
  void Open(const QString& htmlFile, const QString& anchor);
  void Close();
  bool IsOpen() const;
  QUrl Source() const;

 private:
  std::unique_ptr<QTextBrowser> browser_;
};
