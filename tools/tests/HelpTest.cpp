// The help of the game and of the editor as the build lays it out beside
// the programs: readable, opening at help context 1, and naming every
// command of the program's menu with its shortcut and every tool button.
#include "platform/classes/FormParser.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>
#include <ostream>
#include <string>

namespace {

struct TCommand {
  QString caption;   // without its accelerator mark
  QString shortcut;  // "Ctrl+A", or empty
};

struct THelpCase {
  const char* file;      // beside the programs
  const char* title;     // in the document's title
  QList<TCommand> menu;  // the main menu's commands
  QStringList buttons;   // the tool buttons' hints
};

// "Ctrl+" and the letter of a stored shortcut (Ctrl is 0x4000).
QString ShortcutText(std::int64_t code) {
  if (code == 0)
    return {};
  EXPECT_EQ(code & 0xC000, 0x4000) << code;
  return QStringLiteral("Ctrl+") + QChar(static_cast<char16_t>(code & 0xFF));
}

void CollectMenu(const TFormObject& item, QList<TCommand>& out) {
  TCommand command;
  for (const TFormProperty& p : item.properties) {
    if (p.name == QStringLiteral("Caption"))
      command.caption = QString(p.value.text).remove(QLatin1Char('&'));
    if (p.name == QStringLiteral("ShortCut"))
      command.shortcut = ShortcutText(p.value.integer);
  }
  if (!command.caption.isEmpty() && command.caption != QStringLiteral("-"))
    out.append(command);
  for (const TFormObject& child : item.children)
    CollectMenu(child, out);
}

void CollectHints(const TFormObject& object, QStringList& out) {
  // TSpeedButton and TRepSpeedBtn
  const bool button = object.className.startsWith(QStringLiteral("TSpeedB")) ||
                      object.className.startsWith(QStringLiteral("TRepSpeedB"));
  for (const TFormProperty& p : object.properties)
    if (button && p.name == QStringLiteral("Hint"))
      out.append(p.value.text);
  for (const TFormObject& child : object.children)
    CollectHints(child, out);
}

// The game's commands, read from its main form.
THelpCase GameCase() {
  THelpCase help{"trovaly10.html", "Trovaly", {}, {}};
  QFile file(QStringLiteral(QX_GAME_ART_DIR) + QStringLiteral("/main.form"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  const TFormObject form = ParseFormText(file.readAll(), QStringLiteral("main.form"));
  for (const TFormObject& child : form.children)
    if (child.className == QStringLiteral("TMainMenu"))
      for (const TFormObject& item : child.children)
        CollectMenu(item, help.menu);
  CollectHints(form, help.buttons);
  return help;
}

// The editor's commands as its main form has them.
THelpCase EditorCase() {
  return {"editori.html",
          "Muokkain",
          {{"Tiedosto", {}},
           {"Uusi peli", "Ctrl+U"},
           {"Valitse peli", "Ctrl+A"},
           {"Uusi kuva", "Ctrl+B"},
           {"Tallenna", "Ctrl+S"},
           {"Tulosta", "Ctrl+P"},
           {"Lopeta", "Ctrl+L"},
           {"Muokkaa", {}},
           {"Lisää sana", "Ctrl+Z"},
           {"Täydennä ruudukko", "Ctrl+T"},
           {"Täydennä ruudukko sanojen kirjaimilla", "Ctrl+K"},
           {"Leikkaa sanalistasta", "Ctrl+X"},
           {"Kopioi sanalistasta", "Ctrl+C"},
           {"Liitä sanalistaan", "Ctrl+V"},
           {"Poista sanalistasta", "Ctrl+D"},
           {"Poista kuva", "Ctrl+I"},
           {"Ohje", "Ctrl+O"}},
          {"Uusi peli", "Valitse peli", "Tallenna peli", "Lisää sana listaan",
           "Täydennä ruudukko satunnaisilla kirjaimilla", "Täydennä ruudukko sanojen kirjaimilla",
           "Tulosta ruudukko ja sanalista", "Leikkaa", "Kopioi", "Liitä", "Poista", "Peruuta",
           "Uusi kuva", "Poista kuva", "Ohje"}};
}

QString ReadUtf8(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return {};
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(file.readAll());
  return utf8.hasError() ? QString() : text;
}

struct TProgram {
  const char* name;
  THelpCase (*help)();
};

// Names the case in test listings (the default prints the bytes).
void PrintTo(const TProgram& program, std::ostream* out) { *out << program.name; }

class Help : public testing::TestWithParam<TProgram> {};

TEST_P(Help, OpensAtContextOneAndNamesEveryCommand) {
  const THelpCase help = GetParam().help();
  const QString html = ReadUtf8(QStringLiteral(QX_PRODUCT_DIR "/") + QLatin1String(help.file));
  ASSERT_FALSE(html.isEmpty()) << help.file << " is missing or not UTF-8";
  EXPECT_TRUE(html.contains(QStringLiteral("charset=utf-8"), Qt::CaseInsensitive));
  QTextDocument doc;
  doc.setHtml(html);
  EXPECT_TRUE(doc.metaInformation(QTextDocument::DocumentTitle).contains(QLatin1String(help.title)));
  // Anchors and the links between them: context 1 is where the viewer opens.
  QSet<QString> anchors;
  QStringList links;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      for (const QString& name : it.fragment().charFormat().anchorNames())
        anchors.insert(name);
      const QString href = it.fragment().charFormat().anchorHref();
      if (href.startsWith(QLatin1Char('#')))
        links.append(href.mid(1));
    }
  EXPECT_TRUE(anchors.contains(QStringLiteral("context-1")));
  EXPECT_FALSE(links.isEmpty());
  for (const QString& link : links)
    EXPECT_TRUE(anchors.contains(link)) << qPrintable(link);
  // Every command by its caption, shortcut and button hint, as the window shows them.
  const QString text = doc.toPlainText().simplified();
  ASSERT_GT(help.menu.size(), 10);
  for (const TCommand& command : help.menu) {
    EXPECT_TRUE(text.contains(command.caption)) << qPrintable(command.caption);
    if (!command.shortcut.isEmpty()) {
      EXPECT_TRUE(text.contains(command.shortcut)) << qPrintable(command.caption + " " + command.shortcut);
    }
  }
  ASSERT_GE(help.buttons.size(), 4);
  for (const QString& hint : help.buttons)
    EXPECT_TRUE(text.contains(hint)) << qPrintable(hint);
}

INSTANTIATE_TEST_SUITE_P(Programs, Help,
                         testing::Values(TProgram{"trovaly", &GameCase}, TProgram{"muokkain", &EditorCase}),
                         [](const testing::TestParamInfo<TProgram>& program) { return std::string(program.param.name); });

}  // namespace
