#include "platform/controls/QtLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// "fi_FI.UTF-8@euro" -> "fi"; C and POSIX have no language.
QString LanguageOf(const QString& locale) {
  QString language = locale.section(u'.', 0, 0).section(u'@', 0, 0).section(u'_', 0, 0);
  language = language.section(u'-', 0, 0).trimmed().toLower();
  if (language == QLatin1String("c") || language == QLatin1String("posix")) return {};
  return language;
}

// Removes the catalogue from the application before freeing it.
class TInstalledTranslator : public QTranslator {
 public:
  ~TInstalledTranslator() override {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::removeTranslator(this);
  }
};

}  // namespace

QString UserMessageLanguage(const std::function<QString(const char* name)>& environment) {
  QString messages;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    messages = environment(name);
    if (!messages.isEmpty()) break;
  }
  const QString language = LanguageOf(messages);
  if (language.isEmpty()) return {};
  for (const QString& entry : environment("LANGUAGE").split(u':', Qt::SkipEmptyParts)) {
    const QString preferred = LanguageOf(entry);
    if (!preferred.isEmpty()) return preferred;
  }
  return language;
}

QString UserMessageLanguage() {
  return UserMessageLanguage([](const char* name) { return qEnvironmentVariable(name); });
}

std::unique_ptr<QTranslator> InstallQtTranslations(const QString& language) {
  if (language != QLatin1String("fi") || QCoreApplication::instance() == nullptr) return nullptr;
  auto translator = std::make_unique<TInstalledTranslator>();
  if (!translator->load(QStringLiteral("qtbase_fi"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return nullptr;
  if (!QCoreApplication::installTranslator(translator.get())) return nullptr;
  return translator;
}

QString QtText(const char* context, const char* qtSource, const QString& english) {
  const QString translated = QCoreApplication::translate(context, qtSource);
  return translated == QLatin1String(qtSource) ? english : translated;
}
