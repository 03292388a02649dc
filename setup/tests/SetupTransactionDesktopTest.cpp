// The setup as a person meets it, stopped where it should not stop: killed
// at a change of its run, or failing at one (a full disk, a folder it may
// not write). The home is left as it was, registry value for value: a
// failing run takes itself back and says why in its box; a killed run is
// taken back by the next run, which says so in a box first. The run after
// that installs the whole product, and its uninstaller leaves the home as
// it was before the first run.
#include "SetupRoad.h"

#include "installer/engine/InstallUndo.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using namespace setuproad;

// Where the run stops: at the first change whose line (as the journal's
// change log writes it) holds change; killed before its record ("kill"),
// killed once its record is on disk ("kill+"), or failing there.
struct TStop {
  const char* how;
  const char* change;
  // The stop comes after the pages, in the copy or after it.
  bool afterThePages;
};

std::ostream& operator<<(std::ostream& out, const TStop& s) { return out << s.how << '@' << s.change; }

class SetupTransactionDesktop : public TSetupRoad, public testing::WithParamInterface<TStop> {
 protected:
  void Uninstall() {
    QProcess uninstall;
    StartAway(uninstall, QFileInfo(product_).absolutePath() + QStringLiteral("/uninstall"), {QStringLiteral("-y"), kProduct}, root_);
    ASSERT_TRUE(uninstall.waitForFinished(qxtest::WaitMs(60000)));
    EXPECT_EQ(uninstall.exitCode(), 0) << uninstall.readAllStandardOutput().toStdString()
                                       << uninstall.readAllStandardError().toStdString();
  }
};

TEST_P(SetupTransactionDesktop, EveryEndLeavesTheHomeAsItWasAndTheNextRunInstalls) {
  const TStop stop = GetParam();
  const QString how = QString::fromLatin1(stop.how);
  const bool kill = how.startsWith(QStringLiteral("kill"));
  const QString change = QString::fromUtf8(stop.change).replace(QStringLiteral("<product>"), product_);
  const auto before = HomeState(root_);

  QProcessEnvironment& env = desk_.Environment();
  if (kill)
    env.insert(QStringLiteral("QX_TEST_KILL_AT_CHANGE"), u'~' + change + (how.endsWith(u'+') ? "+" : ""));
  else
    env.insert(QStringLiteral("QX_TEST_FAIL_AT_CHANGE"), u'~' + change + u':' + how);
  StartSetup();
  if (stop.afterThePages) {
    ASSERT_FALSE(PagesUpToTheFolder().isEmpty()) << "the pages did not show in order";
    Advance(kFolder, {});
  }
  if (kill) {
    EXPECT_EQ(SetupExit(), -2) << "not killed at " << stop.change;
  } else {
    // The bad end, then the box that says what failed: the message the run
    // ended with, drawn in the box.
    const QString bad = desk_.WaitForWindow(kBadEnd, kCopyMs);
    ASSERT_FALSE(bad.isEmpty()) << "no bad end";
    desk_.KeepShot(QStringLiteral("transaction-bad-end"));
    Advance(kBadEnd, {});
    const QString box = desk_.WaitForWindow(kBox);
    ASSERT_FALSE(box.isEmpty()) << "no box";
    const QString cause = how == QStringLiteral("EACCES") ? QStringLiteral("Permission denied")
                                                         : QStringLiteral("No space left on device");
    QString said;
    ASSERT_TRUE(WaitUntil([&] {
      said += SetupErrors();
      return said.contains(cause);
    })) << "the run did not tell why: " << said.toStdString();
    QString message;
    for (const QString& line : said.split(u'\n'))
      if (line.contains(cause)) message = line.mid(line.indexOf(QStringLiteral("velmio: ")) + 8);
    EXPECT_TRUE(message.contains(change)) << message.toStdString();
    EXPECT_TRUE(BoxSays(box, message)) << "the box does not show \"" << message.toStdString() << '"';
    desk_.KeepShot(QStringLiteral("transaction-error-box"));
    desk_.Keys(box, {"Return"});
    EXPECT_EQ(SetupExit(), 1);
    const QStringList changed = HomeChanges(before, HomeState(root_));
    EXPECT_TRUE(changed.isEmpty()) << "the failed run left " << changed.join(u' ').toStdString();
  }
  env.remove(QStringLiteral("QX_TEST_KILL_AT_CHANGE"));
  env.remove(QStringLiteral("QX_TEST_FAIL_AT_CHANGE"));

  if (kill) {
    // The next run takes the killed one back and says so; cancelled on its
    // welcome page, it leaves the home as it was before the killed run.
    StartSetup();
    const QString welcome = WelcomePage();
    ASSERT_FALSE(welcome.isEmpty()) << "no welcome page after the kill";
    EXPECT_FALSE(earlierRunBox_.isNull()) << "the next run did not say that it took the killed one back";
    desk_.Keys(welcome, {"Escape"});
    const QString bad = desk_.WaitForWindow(kBadEnd);
    ASSERT_FALSE(bad.isEmpty()) << "a cancel showed no bad end";
    Advance(kBadEnd, {});
    EXPECT_EQ(SetupExit(), kExitCancelled);
    const QStringList changed = HomeChanges(before, HomeState(root_));
    EXPECT_TRUE(changed.isEmpty()) << "the killed run left " << changed.join(u' ').toStdString();
  }

  InstallToTheGoodEnd();
  EXPECT_EQ(FilesBelow(product_).size(), 49);
  EXPECT_EQ(LoggedFiles().removeDuplicates(), 0) << "a log entry is written twice";
  Uninstall();
  const QStringList changed = HomeChanges(before, HomeState(root_));
  EXPECT_TRUE(changed.isEmpty()) << "installed again and uninstalled, the home has " << changed.join(u' ').toStdString();
  EXPECT_EQ(BuildTreeMentions(root_).join(u' ').toStdString(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Stops, SetupTransactionDesktop,
    testing::Values(TStop{"kill+", "Install0 \"SelfExtract\"", false},
                    TStop{"kill+", "<product>/trovaly", true},
                    TStop{"kill", "<product>/HYONTEISET1.vrb", true},
                    TStop{"kill+", ".desktop", true},
                    TStop{"kill", "HKEY_CURRENT_USER\\Software\\QXTrovaly\\Ruudukko", true},
                    TStop{"ENOSPC", "<product>/LINNUT1.lst", true},
                    TStop{"EACCES", ".menu", true}));

}  // namespace
