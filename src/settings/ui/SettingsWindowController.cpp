#include "settings/ui/SettingsWindowController.h"

#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibFramedCard.h"
#include "look/ui/QuibLook.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/SystemColors.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "widgets/GlassSurface.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

using Role = pf::ViewStyle::ColorRole;

template <typename Choice>
QComboBox* popUp(QWidget* parent) {
  auto* menu = new QComboBox(parent);
  for (const Choice& choice : Choice::allCases()) menu->addItem(choice.title());
  return menu;
}

template <typename Choice>
void showChoice(QComboBox* menu, Choice choice) {
  const auto all = Choice::allCases();
  const auto at = std::find(all.begin(), all.end(), choice);
  menu->setCurrentIndex(int(at - all.begin()));
}

template <typename Choice>
Choice choiceAt(int index) {
  return Choice::allCases().at(static_cast<size_t>(index));
}

QLabel* label(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  pf::ViewStyle::setColor(label, Role::text, QuibTheme::text());
  return label;
}

pf::Color fromQColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return pf::Color::sRGB(rgb.redF(), rgb.greenF(), rgb.blueF());
}

}  // namespace

SettingsWindowController::SettingsWindowController(pf::UserDefaults& defaults) : m_defaults(defaults) {}

SettingsWindowController::~SettingsWindowController() { closeColorPanel(); }

void SettingsWindowController::showWindow() {
  if (!m_window) build();
  showChoices();
  if (positionWindow) positionWindow(m_window.get());
  m_window->makeKeyAndOrderFront();
}

void SettingsWindowController::build() {
  m_window = std::make_unique<pf::Window>();
  m_window->setWindowTitle(windowTitle);
  pf::ViewStyle::setAppearance(m_window.get(), QuibSkin::appearance());
  auto* glass = new GlassSurface;
  m_window->setContentView(glass);
  auto* outer = new QVBoxLayout(glass);
  outer->setContentsMargins(22, 22, 22, 22);
  auto* card = new QuibFramedCard(glass);
  outer->addWidget(card);
  auto* form = new QFormLayout(card);
  form->setContentsMargins(20, 18, 20, 18);
  form->setVerticalSpacing(10);

  m_character = new QComboBox(card);
  for (CharacterSkin skin : CharacterSkin::allCases) m_character->addItem(skin.title());
  // The archived character stays listed, so a stored choice of it reads right, but cannot be picked.
  m_character->setItemData(0, 0, Qt::UserRole - 1);
  m_accent = popUp<QuibColorTheme>(card);
  m_background = popUp<QuibBackground>(card);
  m_skin = popUp<QuibSkin>(card);
  m_effect = popUp<QuibBorderEffect>(card);
  m_trimOnly = new QCheckBox(card);
  form->addRow(label(QStringLiteral("Character"), card), m_character);
  form->addRow(label(QStringLiteral("Accent"), card), m_accent);
  form->addRow(label(QStringLiteral("Background"), card), m_background);
  form->addRow(label(QStringLiteral("Skin"), card), m_skin);
  form->addRow(label(QStringLiteral("Border Effect"), card), m_effect);
  form->addRow(label(QStringLiteral("Accent on Trim Only"), card), m_trimOnly);

  connect(m_character, &QComboBox::activated, this, &SettingsWindowController::pickCharacter);
  connect(m_accent, &QComboBox::activated, this, &SettingsWindowController::pickAccent);
  connect(m_background, &QComboBox::activated, this, &SettingsWindowController::pickBackground);
  connect(m_skin, &QComboBox::activated, this, [](int i) { QuibLook::selectSkin(choiceAt<QuibSkin>(i)); });
  connect(m_effect, &QComboBox::activated, this,
          [](int i) { QuibLook::selectEffect(choiceAt<QuibBorderEffect>(i)); });
  connect(m_trimOnly, &QCheckBox::clicked, this, [](bool on) { QuibLook::selectTrimOnly(on); });
  m_window->setContentSize({380, 330});
  m_window->center();
}

void SettingsWindowController::showChoices() {
  const CharacterSkin character = CharacterSkin::selected(m_defaults);
  m_character->setCurrentIndex(int(std::find(CharacterSkin::allCases.begin(), CharacterSkin::allCases.end(),
                                             character.value()) -
                                   CharacterSkin::allCases.begin()));
  showChoice(m_accent, QuibTheme::current());
  showChoice(m_background, QuibTheme::background());
  showChoice(m_skin, QuibSkin::current());
  showChoice(m_effect, QuibBorderEffect::current());
  m_trimOnly->setChecked(QuibTheme::trimOnly());
}

void SettingsWindowController::pickCharacter(int index) {
  const CharacterSkin skin = CharacterSkin::allCases.at(static_cast<size_t>(index));
  if (!skin.isSelectable()) return;
  m_defaults.set(CharacterSkin::defaultsKey, skin.rawValue());
  if (onCharacterChange) onCharacterChange(skin);
}

void SettingsWindowController::pickAccent(int index) {
  const auto theme = choiceAt<QuibColorTheme>(index);
  if (theme == QuibColorTheme::custom) return openColorPanel(false);
  closeColorPanel();
  QuibLook::select(theme);
}

void SettingsWindowController::pickBackground(int index) {
  const auto background = choiceAt<QuibBackground>(index);
  if (background == QuibBackground::custom) return openColorPanel(true);
  closeColorPanel();
  QuibLook::selectBackground(background);
}

void SettingsWindowController::openColorPanel(bool background) {
  closeColorPanel();
  const QString key = background ? QStringLiteral("customBackgroundRGB") : QStringLiteral("customAccentRGB");
  const pf::Color start = pf::UserDefaults::standard().object(key)
                              ? QuibTheme::customColor(background)
                              : (background ? QuibTheme::navy() : QuibTheme::accent());
  QuibLook::setCustomColor(start, background);
  m_colorPanel = new QColorDialog(pf::toQColor(start));
  m_colorPanel->setAttribute(Qt::WA_DeleteOnClose);
  m_colorPanel->setOption(QColorDialog::NoButtons);
  // Its own appearance keeps the panel as it opened while the colours it picks repaint the rest.
  pf::ViewStyle::setAppearance(m_colorPanel, QuibSkin::appearance());
  m_colorPanel->setWindowTitle(background ? QStringLiteral("Custom Background Color")
                                          : QStringLiteral("Custom Accent Color"));
  connect(m_colorPanel, &QColorDialog::currentColorChanged, this,
          [background](const QColor& color) { QuibLook::setCustomColor(fromQColor(color), background); });
  m_colorPanel->show();
}

void SettingsWindowController::closeColorPanel() {
  if (m_colorPanel) m_colorPanel->close();
}
