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

constexpr char kPlatformContext[] = "QxPlatform";

// Our dialogs' own texts that Qt's catalogue has no words for.
constexpr struct {
  const char* english;
  const char* finnish;
} kFinnish[] = {
    {"Black", "Musta"},
    {"Maroon", "Viininpunainen"},
    {"Green", "Vihreä"},
    {"Olive", "Oliivinvihreä"},
    {"Navy", "Laivastonsininen"},
    {"Purple", "Purppura"},
    {"Teal", "Sinivihreä"},
    {"Gray", "Harmaa"},
    {"Silver", "Hopea"},
    {"Red", "Punainen"},
    {"Lime", "Limetinvihreä"},
    {"Yellow", "Keltainen"},
    {"Blue", "Sininen"},
    {"Fuchsia", "Fuksianpunainen"},
    {"Aqua", "Vaaleansininen"},
    {"White", "Valkoinen"},
    {"There is no font with that name.\nChoose a font from the list of fonts.",
     "Tämännimistä fonttia ei ole.\nValitse fontti fonttien luettelosta."},
    {"Size must be a number.", "Koon on oltava luku."},
    {"Size must be between %1 and %2 points.", "Koon on oltava %1–%2 pistettä."},
    {"Warning", "Varoitus"},
    {"Error", "Virhe"},
    {"Information", "Ilmoitus"},
    {"Confirm", "Vahvista"},
    {"&All", "&Kaikki"},
};

// Qt's catalogue and our own texts; removed from the application before
// it is freed.
class TInstalledTranslator : public QTranslator {
 public:
  ~TInstalledTranslator() override {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::removeTranslator(this);
  }
  QString translate(const char* context, const char* source, const char* disambiguation,
                    int n) const override {
    if (qstrcmp(context, kPlatformContext) != 0)
      return QTranslator::translate(context, source, disambiguation, n);
    for (const auto& row : kFinnish)
      if (qstrcmp(source, row.english) == 0) return QString::fromUtf8(row.finnish);
    return {};
  }
  bool isEmpty() const override { return false; }
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

QString PlatformText(const char* english) { return QCoreApplication::translate(kPlatformContext, english); }
