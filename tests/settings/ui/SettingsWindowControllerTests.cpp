#include "settings/ui/SettingsWindowController.h"

#include "look/QuibBorderEffect.h"
#include "look/QuibTheme.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/SystemColors.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "widgets/GlassSurface.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList titles(const QComboBox* menu) {
  QStringList out;
  for (int i = 0; i < menu->count(); ++i) out << menu->itemText(i);
  return out;
}

/// Picks the item titled `title` as a user does from the keyboard: moving
/// through the menu's items with the arrow keys.
void pick(QComboBox* menu, const QString& title) {
  const int target = menu->findText(title);
  ASSERT_GE(target, 0) << title.toStdString();
  menu->setFocus();
  while (menu->currentIndex() != target) {
    const int before = menu->currentIndex();
    QTest::keyClick(menu, before < target ? Qt::Key_Down : Qt::Key_Up);
    ASSERT_NE(menu->currentIndex(), before) << title.toStdString();
  }
}

}  // namespace

class SettingsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::UserDefaults::resetAll();
    controller = std::make_unique<SettingsWindowController>(pf::UserDefaults::standard());
    controller->onCharacterChange = [this](CharacterSkin skin) { picked.push_back(skin); };
    controller->showWindow();
    menus = controller->window()->findChildren<QComboBox*>();
    ASSERT_EQ(menus.size(), 5);
  }
  void TearDown() override {
    controller.reset();
    pf::UserDefaults::resetAll();
  }

  QComboBox* character() const { return menus[0]; }
  QComboBox* accent() const { return menus[1]; }
  QComboBox* background() const { return menus[2]; }
  QComboBox* skin() const { return menus[3]; }
  QComboBox* effect() const { return menus[4]; }

  std::unique_ptr<SettingsWindowController> controller;
  QList<QComboBox*> menus;
  std::vector<CharacterSkin> picked;
};

TEST_F(SettingsWindow, ListsEveryChoiceByTitleInOrder) {
  EXPECT_EQ(controller->window()->windowTitle(), "Wendle Settings");
  EXPECT_TRUE(qobject_cast<GlassSurface*>(controller->window()->contentView()));
  EXPECT_EQ(titles(character()), QStringList({"Quib", "Duvur", "Derad", "Riri", "Dara", "Vezu"}));
  EXPECT_EQ(titles(accent()), QStringList({"Blue", "Orange", "Pink", "Green", "Purple", "Yellow", "Custom Color…"}));
  EXPECT_EQ(titles(background()),
            QStringList({"Navy", "Grey", "Dark Grey", "Deep Purple", "Sage Green", "Custom Color…"}));
  EXPECT_EQ(titles(skin()), QStringList({"Classic", "Neon Space", "Pearl Space", "Robot Lab", "Steampunk",
                                         "Alien Tech", "Molten Core", "Unicorn Princess"}));
  EXPECT_EQ(effect()->count(), 15);
  EXPECT_EQ(effect()->itemText(4), "Plasma Energy");
  EXPECT_EQ(character()->currentText(), "Duvur");
  const auto* model = qobject_cast<QStandardItemModel*>(character()->model());
  EXPECT_FALSE(model->item(0)->isEnabled()) << "the archived character cannot be chosen";
}

TEST_F(SettingsWindow, ChoosingASkinRepaintsAnOpenGlassWindowAtOnce) {
  pf::Window other;
  other.setContentView(new GlassSurface);
  other.show();
  EXPECT_EQ(pf::ViewStyle::appearance(other.contentView()), pf::Appearance::dark);
  pick(skin(), QStringLiteral("Pearl Space"));
  EXPECT_EQ(pf::UserDefaults::standard().string(QStringLiteral("visualSkin")), "pearlSpace");
  EXPECT_EQ(pf::ViewStyle::appearance(&other), pf::Appearance::light);
  EXPECT_EQ(pf::ViewStyle::appearance(other.contentView()), pf::Appearance::light);
  EXPECT_EQ(pf::ViewStyle::appearance(controller->window()), pf::Appearance::light);
}

TEST_F(SettingsWindow, ACharacterChoiceIsStoredAndPassedOn) {
  pick(character(), QStringLiteral("Riri"));
  EXPECT_EQ(pf::UserDefaults::standard().string(CharacterSkin::defaultsKey), "alienBot3");
  ASSERT_FALSE(picked.empty());
  EXPECT_EQ(picked.back(), CharacterSkin::alienBot3);
}

TEST_F(SettingsWindow, ChoicesAndTheTrimSwitchAreStored) {
  pick(accent(), QStringLiteral("Purple"));
  pick(background(), QStringLiteral("Dark Grey"));
  pick(effect(), QStringLiteral("Snow"));
  auto* trimOnly = controller->window()->findChild<QCheckBox*>();
  trimOnly->setFocus();
  QTest::keyClick(trimOnly, Qt::Key_Space);
  EXPECT_EQ(QuibTheme::current(), QuibColorTheme::purple);
  EXPECT_EQ(pf::UserDefaults::standard().string(QuibTheme::backgroundKey), "deepGrey");
  EXPECT_EQ(QuibBorderEffect::current(), QuibBorderEffect::snow);
  EXPECT_TRUE(QuibTheme::trimOnly());
}

TEST_F(SettingsWindow, CustomColourPanelStartsFromTheCurrentColourAndSetsEachPick) {
  pick(accent(), QStringLiteral("Yellow"));
  const pf::Color before = QuibTheme::accent();
  pick(accent(), QStringLiteral("Custom Color…"));
  QColorDialog* panel = controller->colorPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->windowTitle(), "Custom Accent Color");
  EXPECT_FALSE(panel->testOption(QColorDialog::ShowAlphaChannel));
  EXPECT_EQ(QuibTheme::current(), QuibColorTheme::custom) << "the start colour is stored at once";
  EXPECT_EQ(pf::toQColor(QuibTheme::accent()).rgb(), pf::toQColor(before).rgb());

  panel->setCurrentColor(QColor::fromRgbF(1, 0, 0));
  EXPECT_EQ(QuibTheme::accent(), pf::Color::sRGB(1, 0, 0));

  pick(accent(), QStringLiteral("Green"));
  EXPECT_TRUE(!controller->colorPanel() || !controller->colorPanel()->isVisible());
  EXPECT_EQ(QuibTheme::current(), QuibColorTheme::green);

  pick(background(), QStringLiteral("Custom Color…"));
  EXPECT_EQ(controller->colorPanel()->windowTitle(), "Custom Background Color");
}
