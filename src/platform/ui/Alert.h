#pragma once

#include <QDialog>
#include <QList>
#include <functional>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace pf {

class Window;

/// A modal alert with buttons in the order they were added: the first stands
/// rightmost and is the default (Return); a button titled "Cancel" answers
/// Escape. The chosen button's response is `firstButtonResponse` + its index.
class Alert final : public QDialog {
  Q_OBJECT

 public:
  enum class Style { informational, warning, critical };

  static constexpr int firstButtonResponse = 1000;

  explicit Alert(QWidget* parent = nullptr);

  QString messageText() const;
  void setMessageText(const QString& text);
  QString informativeText() const;
  void setInformativeText(const QString& text);
  void setStyle(Style style);

  /// Adds a button after the others (to their left) and returns it.
  QPushButton* addButton(const QString& title);
  const QList<QPushButton*>& buttons() const { return m_buttons; }
  /// Makes the button at `index` answer Return instead of the first (-1: none).
  void setDefaultButton(int index);

  /// A view shown below the texts, such as a name field.
  void setAccessoryView(QWidget* view);

  /// Shows the alert modal to `window` only, records it as the window's sheet
  /// and calls `completion` with the response; the alert deletes itself afterwards.
  void beginSheet(Window* window, std::function<void(int)> completion);
  /// Shows the alert modal to the whole application and returns the response.
  int runModal();

 protected:
  void reject() override;

 private:
  QLabel* m_icon = nullptr;
  QLabel* m_message = nullptr;
  QLabel* m_informative = nullptr;
  QVBoxLayout* m_texts = nullptr;
  QHBoxLayout* m_buttonRow = nullptr;
  QWidget* m_accessory = nullptr;
  QList<QPushButton*> m_buttons;
};

}  // namespace pf
