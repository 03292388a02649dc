#include "platform/controls/Platform.h"

#include "platform/controls/Application.h"
#include "platform/controls/QtLanguage.h"
#include "platform/graphics/Colors.h"

#include <QApplication>
#include <QFileInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

TPlatformSession::TPlatformSession(int& argc, char** argv)
    : qapp_(std::make_unique<QApplication>(argc, argv)) {
  QApplication::setPalette(SystemPalette());
  qtTexts_ = InstallQtTranslations(UserMessageLanguage());
  app_ = std::make_unique<TApplication>();
}

TPlatformSession::~TPlatformSession() {
  app_.reset();
  qtTexts_.reset();
  qapp_.reset();
}

std::unique_ptr<TPlatformSession> InitPlatformOrExit(int& argc, char** argv, bool needsWindow) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    if (!needsWindow) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (qEnvironmentVariableIsEmpty("DISPLAY")) {
      const QString name = argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName()
                                    : QStringLiteral("program");
      std::fprintf(stderr, "%s: no display (DISPLAY is not set)\n", qPrintable(name));
      std::exit(1);
    } else {
      qputenv("QT_QPA_PLATFORM", "xcb");
    }
  }
  return std::make_unique<TPlatformSession>(argc, argv);
}
