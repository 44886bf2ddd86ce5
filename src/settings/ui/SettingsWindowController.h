#pragma once

#include "character/CharacterSkin.h"

#include <QColorDialog>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;

namespace pf {
class UserDefaults;
class Window;
}  // namespace pf

/// The "Wendle Settings" window: the companion's character and the look's
/// choices (accent, background, skin, border effect, accent on trim only),
/// each applied the moment it is picked. Picking a custom colour opens the
/// shared colour dialog, which sets the colour as the user moves through it.
/// The window is glass like the launcher, so it shows the skin, the outline
/// and the border effect.
class SettingsWindowController final : public QObject {
  Q_OBJECT

 public:
  static inline const QString windowTitle = QStringLiteral("Wendle Settings");

  /// Reads the chosen character from `defaults`; the look is read from the standard defaults.
  explicit SettingsWindowController(pf::UserDefaults& defaults);
  ~SettingsWindowController() override;

  /// Called with the character the user picked, which is already stored.
  std::function<void(CharacterSkin)> onCharacterChange;
  /// Lets the owner place the window before it is shown.
  std::function<void(pf::Window*)> positionWindow;

  /// Shows the window in front with the stored choices, making it the first time.
  void showWindow();
  /// The window, once it is made.
  pf::Window* window() const { return m_window.get(); }
  /// The shared colour dialog, while one is open.
  QColorDialog* colorPanel() const { return m_colorPanel; }

 private:
  void build();
  void showChoices();
  void pickCharacter(int index);
  void pickAccent(int index);
  void pickBackground(int index);
  void openColorPanel(bool background);
  void closeColorPanel();

  pf::UserDefaults& m_defaults;
  std::unique_ptr<pf::Window> m_window;
  QComboBox* m_character = nullptr;
  QComboBox* m_accent = nullptr;
  QComboBox* m_background = nullptr;
  QComboBox* m_skin = nullptr;
  QComboBox* m_effect = nullptr;
  QCheckBox* m_trimOnly = nullptr;
  QPointer<QColorDialog> m_colorPanel;
};
