#include "platform/controls/HelpViewer.h"

#include "platform/controls/QtBridge.h"
#include "platform/rtl/Exceptions.h"

#include <QFileInfo>
#include <QTextBrowser>

THelpViewer::THelpViewer() = default;
THelpViewer::~THelpViewer() = default;

QString THelpViewer::HtmlFileFor(const QString& helpFile) {
  const QFileInfo info(helpFile);
  const QString dir = info.path() == QStringLiteral(".") && !helpFile.startsWith(u'.')
                          ? QString()
                          : info.path() + QLatin1Char('/');
  return dir + info.completeBaseName() + QStringLiteral(".html");
}

void THelpViewer::Open(const QString& htmlFile, const QString& anchor) {
  const QFileInfo info(htmlFile);
  if (!info.isFile() || !info.isReadable())
    throw EFOpenError(QStringLiteral("Cannot open help file %s"), {htmlFile});
  if (!browser_) {
    browser_ = std::make_unique<QTextBrowser>();
    browser_->setOpenExternalLinks(false);
    browser_->resize(640, 480);
  }
  QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
  if (!anchor.isEmpty()) url.setFragment(anchor);
  browser_->setSource(url);
  browser_->setWindowTitle(browser_->documentTitle().isEmpty() ? info.completeBaseName()
                                                               : browser_->documentTitle());
  browser_->show();
  RaiseWindow(browser_.get());
}

void THelpViewer::Close() {
  if (browser_) browser_->hide();
}

bool THelpViewer::IsOpen() const { return browser_ && browser_->isVisible(); }

QUrl THelpViewer::Source() const { return browser_ ? browser_->source() : QUrl(); }
