#include "platform/ui/ApplicationPanel.h"
#include "platform/ui/InstalledApplications.h"
#include "support/ChildProcess.h"
#include "support/DesktopEntries.h"
#include "support/HelperProcess.h"
#include "support/TestEnvironment.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

using pf::ApplicationPanel;
using pf::InstalledApplication;

namespace {

/// An environment variable set for the life of the object, as it was afterwards.
class ScopedVariable final {
 public:
  ScopedVariable(const char* name, const QString& value) : m_name(name), m_old(qgetenv(name)) {
    qputenv(name, value.toUtf8());
  }
  ~ScopedVariable() {
    if (m_old.isNull()) qunsetenv(m_name);
    else qputenv(m_name, m_old);
  }

 private:
  const char* m_name;
  QByteArray m_old;
};

}  // namespace

// GLib reads the XDG folders once per process, so the listing runs in a
// process started with the folders the test chose.
WENDLE_TEST_HELPER(listApplications) {
  for (const InstalledApplication& application : pf::installedApplications())
    test::tellParent((application.name + u'|' + application.path + u'|' + application.icon).toUtf8());
  return 0;
}

TEST(InstalledApplications, EveryDataFolderByNameTheUsersOwnEntryWinningAndHiddenOnesLeftOut) {
  const QString user = test::home() + QStringLiteral("/user");
  const QString system = test::home() + QStringLiteral("/system");
  const QString other = test::home() + QStringLiteral("/other");
  const QString mine = test::writeDesktopEntry(user + "/applications", "term", "true",
                                               "Name=Terminal Here\nIcon=utilities-terminal\n");
  test::writeDesktopEntry(system + "/applications", "term", "true", "Name=System Terminal\n");
  const QString nested = test::writeDesktopEntry(system + "/applications/tools", "editor", "true",
                                                 "Name=editor 10\nIcon=/opt/editor.png\n");
  const QString second = test::writeDesktopEntry(other + "/applications", "editor2", "true", "Name=Editor 2\n");
  test::writeDesktopEntry(other + "/applications", "menu-only", "true", "NoDisplay=true\n");
  test::writeDesktopEntry(other + "/applications", "removed", "true", "Hidden=true\n");
  test::writeDesktopEntry(other + "/applications", "gone", "no-such-program-anywhere");
  test::writeFile(other + "/applications/link.desktop", "[Desktop Entry]\nType=Link\nName=Link\nURL=https://a/\n");

  const ScopedVariable dataHome("XDG_DATA_HOME", user);
  const ScopedVariable dataDirs("XDG_DATA_DIRS", system + u':' + other);
  test::ChildProcess child(QStringLiteral("listApplications"), {});
  EXPECT_EQ(child.finish(), 0);

  EXPECT_EQ(child.lines(), (QByteArrayList{("Editor 2|" + second + "|").toUtf8(),
                                           ("editor 10|" + nested + "|/opt/editor.png").toUtf8(),
                                           ("Terminal Here|" + mine + "|utilities-terminal").toUtf8()}))
      << child.errors().toStdString();
}

TEST(ApplicationPanel, ChoosesByKeyboardANameThatContainsTheTypedTextOrATypedPath) {
  const QString entry = test::writeDesktopEntry(test::home(), "Marker", "true");
  const std::vector<InstalledApplication> installed{
      {"Calculator", "/apps/calculator.desktop", "accessories-calculator"},
      {"Mail", "/apps/mail.desktop", ""},
      {"Marker", entry, "/no/such/icon.png"},
      {"Terminal", "/apps/terminal.desktop", "utilities-terminal"},
  };
  const struct {
    QString typed;
    int downs;
    QString chosen;  // none: the panel stays open
  } cases[] = {
      {"", 0, "/apps/calculator.desktop"},   {"", 2, entry},
      {"ma", 0, "/apps/mail.desktop"},       {"MA", 1, entry},
      {"term", 5, "/apps/terminal.desktop"}, {entry, 0, entry},
      {"nothing like it", 0, {}},            {test::home() + "/missing.desktop", 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c.typed + QStringLiteral(" down %1").arg(c.downs)).toStdString());
    QPointer<ApplicationPanel> panel = new ApplicationPanel(installed);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    auto* search = qobject_cast<QLineEdit*>(panel->focusWidget());
    ASSERT_TRUE(search);
    QTest::keyClicks(search, c.typed);
    for (int i = 0; i < c.downs; ++i) QTest::keyClick(search, Qt::Key_Down);
    QTest::keyClick(search, Qt::Key_Return);
    if (c.chosen.isEmpty()) {
      ASSERT_TRUE(panel && panel->isVisible());
      QTest::keyClick(search, Qt::Key_Escape);
      EXPECT_EQ(panel->result(), QDialog::Rejected);
    } else {
      ASSERT_TRUE(panel);
      EXPECT_EQ(panel->result(), QDialog::Accepted);
      EXPECT_EQ(panel->chosenPath(), c.chosen);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.isNull(); }));
  }
}
