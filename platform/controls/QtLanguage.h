#pragma once
// Qt's own texts (the labels and buttons of its dialogs) in the user's
// language when that is Finnish, the language of the product.

#include <QString>

#include <functional>
#include <memory>

class QTranslator;

// The language the user reads messages in, as gettext picks it: the message
// locale is the first set of LC_ALL, LC_MESSAGES and LANG; unless that is C
// (or unset), the first entry of LANGUAGE comes before it. Only the language
// part is returned, in lower case: "fi" for "fi_FI.UTF-8", "" for C.
QString UserMessageLanguage(const std::function<QString(const char* name)>& environment);
// From this process's environment.
QString UserMessageLanguage();

// For the language "fi": Qt's Finnish catalogue from Qt's translations
// folder, with the Finnish words of our own dialogs' texts, installed on the
// application. nullptr for other languages or when the catalogue cannot be
// loaded. Removed again when freed.
std::unique_ptr<QTranslator> InstallQtTranslations(const QString& language);

// Qt's translation of its text qtSource in context; english when Qt has
// none (our English wording may differ from Qt's).
QString QtText(const char* context, const char* qtSource, const QString& english);

// One of our dialogs' own English texts in the user's language.
QString PlatformText(const char* english);
