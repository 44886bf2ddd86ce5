#pragma once

#include "platform/ui/InstalledApplications.h"

#include <QDialog>
#include <QString>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace pf {

/// Chooses an installed application by name and icon. Made for the keyboard:
/// the search field has the focus; typing narrows the list to the names
/// that contain the text (the first match is selected), Up and Down move the
/// selection, Return chooses it. A typed absolute path chooses that file
/// instead, when it is one. A double click chooses too; Escape cancels.
class ApplicationPanel final : public QDialog {
  Q_OBJECT

 public:
  ApplicationPanel(std::vector<InstalledApplication> applications, QWidget* parent = nullptr);

  /// The title of the button that chooses.
  void setPrompt(const QString& prompt);
  /// The desktop entry chosen, once the panel was accepted.
  const QString& chosenPath() const { return m_chosen; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fillList();
  void narrow(const QString& text);
  /// The path the panel would choose now; empty when none.
  QString choice() const;
  void choose();

  std::vector<InstalledApplication> m_applications;
  QLineEdit* m_search = nullptr;
  QListWidget* m_list = nullptr;
  QPushButton* m_chooseButton = nullptr;
  QString m_chosen;
};

}  // namespace pf
