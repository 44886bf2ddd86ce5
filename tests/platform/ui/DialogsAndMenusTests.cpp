#include "platform/ui/Accessibility.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using pf::Alert;

namespace {

Alert* threeButtonAlert(QWidget* parent = nullptr) {
  auto* alert = new Alert(parent);
  alert->setMessageText(QStringLiteral("Discard your changes?"));
  alert->addButton(QStringLiteral("Save"));
  alert->addButton(QStringLiteral("Cancel"));
  alert->addButton(QStringLiteral("Don't Save"));
  return alert;
}

}  // namespace

TEST(Alert, ButtonsKeepTheirOrderAndAnswerWithTheirResponse) {
  pf::Window window;
  window.show();
  Alert* alert = threeButtonAlert();
  int response = 0;
  alert->beginSheet(&window, [&](int r) { response = r; });
  EXPECT_EQ(window.attachedSheet(), alert);
  EXPECT_EQ(alert->windowModality(), Qt::WindowModal);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(alert));
  // The first button stands rightmost, the later ones to its left.
  EXPECT_GT(alert->buttons()[0]->x(), alert->buttons()[1]->x());
  EXPECT_GT(alert->buttons()[1]->x(), alert->buttons()[2]->x());
  QTest::mouseClick(alert->buttons()[2], Qt::LeftButton);
  EXPECT_EQ(response, Alert::firstButtonResponse + 2);
  EXPECT_EQ(window.attachedSheet(), nullptr);
}

TEST(Alert, ReturnChoosesTheDefaultAndEscapeTheCancelButton) {
  pf::Window window;
  window.show();
  int response = 0;
  Alert* alert = threeButtonAlert();
  alert->beginSheet(&window, [&](int r) { response = r; });
  ASSERT_TRUE(QTest::qWaitForWindowExposed(alert));
  QTest::keyClick(alert, Qt::Key_Return);
  EXPECT_EQ(response, 1000);

  alert = threeButtonAlert();
  alert->beginSheet(&window, [&](int r) { response = r; });
  ASSERT_TRUE(QTest::qWaitForWindowExposed(alert));
  QTest::keyClick(alert, Qt::Key_Escape);
  EXPECT_EQ(response, 1001);

  alert = threeButtonAlert();
  alert->setDefaultButton(1);
  alert->beginSheet(&window, [&](int r) { response = r; });
  ASSERT_TRUE(QTest::qWaitForWindowExposed(alert));
  QTest::keyClick(alert, Qt::Key_Return);
  EXPECT_EQ(response, 1001);
}

TEST(Alert, EscapeDoesNothingWithoutACancelButton) {
  Alert alert;
  alert.addButton(QStringLiteral("OK"));
  alert.addButton(QStringLiteral("Open Settings"));
  QTimer::singleShot(0, &alert, [&] {
    QTest::keyClick(&alert, Qt::Key_Escape);
    EXPECT_TRUE(alert.isVisible());
    QTest::mouseClick(alert.buttons()[1], Qt::LeftButton);
  });
  EXPECT_EQ(alert.runModal(), 1001);
}

TEST(Menu, ItemsRunTheirActionsInTheirPlaces) {
  pf::Menu menu;
  QStringList ran;
  menu.addItem(QStringLiteral("Reset Position"), [&] { ran << QStringLiteral("reset"); });
  menu.addItem(QStringLiteral("Quit Wendle"), [&] { ran << QStringLiteral("quit"); });
  menu.insertItem(0, QStringLiteral("Settings…"), [&] { ran << QStringLiteral("settings"); });
  QStringList titles;
  for (QAction* action : menu.actions()) titles << action->text();
  EXPECT_EQ(titles, (QStringList{QStringLiteral("Settings…"), QStringLiteral("Reset Position"),
                                 QStringLiteral("Quit Wendle")}));
  menu.item(QStringLiteral("Quit Wendle"))->trigger();
  menu.item(QStringLiteral("Settings…"))->trigger();
  EXPECT_EQ(ran, (QStringList{QStringLiteral("quit"), QStringLiteral("settings")}));
  EXPECT_EQ(menu.item(QStringLiteral("Missing")), nullptr);
}

TEST(Menu, PopUpReturnsTheChosenItemAndReportsOpenAndClose) {
  pf::Menu menu;
  QAction* reset = menu.addItem(QStringLiteral("Reset Position"), nullptr);
  menu.addItem(QStringLiteral("Quit Wendle"), nullptr);
  int opened = 0;
  int closed = 0;
  menu.onOpen = [&] { ++opened; };
  menu.onClose = [&] { ++closed; };
  QTimer::singleShot(0, &menu, [&] { menu.cancelTracking(); });
  EXPECT_EQ(menu.popUp({100, 300}), nullptr);
  QTimer::singleShot(0, &menu, [&] {
    QTest::keyClick(&menu, Qt::Key_Down);
    QTest::keyClick(&menu, Qt::Key_Return);
  });
  EXPECT_EQ(menu.popUp({100, 300}), reset);
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(closed, 2);
}

TEST(Pasteboard, KeepsPlainText) {
  EXPECT_TRUE(pf::Pasteboard::general().setString(QStringLiteral("Grüße 👋")));
  EXPECT_EQ(pf::Pasteboard::general().string(), QStringLiteral("Grüße 👋"));
  ASSERT_NE(pf::Pasteboard::general().contents(), nullptr);
  EXPECT_TRUE(pf::Pasteboard::general().contents()->hasText());
}

TEST(Application, ChoosesX11OnlyOnAWaylandSessionWithAnXServer) {
  using pf::Application;
  using pf::Session;
  EXPECT_EQ(Application::platformFor(Session{"wayland", true, true, false}), QByteArray("xcb"));
  EXPECT_EQ(Application::platformFor(Session{"", true, true, false}), QByteArray("xcb"));
  EXPECT_EQ(Application::platformFor(Session{"wayland", true, false, false}), std::nullopt);
  EXPECT_EQ(Application::platformFor(Session{"wayland", true, true, true}), std::nullopt);
  EXPECT_EQ(Application::platformFor(Session{"x11", false, true, false}), std::nullopt);
}

TEST(Application, TheX11ChoiceIsNotHandedToLaunchedPrograms) {
  const QByteArray saved[] = {qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"), qgetenv("WAYLAND_DISPLAY"),
                              qgetenv("DISPLAY")};
  qunsetenv("QT_QPA_PLATFORM");
  qputenv("XDG_SESSION_TYPE", "wayland");
  qputenv("WAYLAND_DISPLAY", "wayland-0");
  qputenv("DISPLAY", ":0");
  pf::Application::prepare();
  EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));
  pf::Application::configure(*qApp);
  EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
  const char* names[] = {"QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY"};
  for (int i = 0; i < 4; ++i) {
    if (saved[i].isNull())
      qunsetenv(names[i]);
    else
      qputenv(names[i], saved[i]);
  }
}

TEST(Accessibility, ReduceMotionCanBeOverriddenAndRestored) {
  const bool desktop = pf::Accessibility::reduceMotion();
  pf::Accessibility::overrideReduceMotion(!desktop);
  EXPECT_EQ(pf::Accessibility::reduceMotion(), !desktop);
  pf::Accessibility::overrideReduceMotion(std::nullopt);
  EXPECT_EQ(pf::Accessibility::reduceMotion(), desktop);
}
