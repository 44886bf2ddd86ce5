#pragma once

#include <QLineEdit>

/// The destination field of the Edit Shortcuts window. A path or address too
/// long for it shows its beginning and its end with the middle elided while
/// the field does not have the focus, so the folder or application it ends
/// in stays visible; with the focus it shows the whole text to edit or
/// select. The whole text is always its tooltip, shown as plain text.
class EditorDestinationField final : public QLineEdit {
  Q_OBJECT

 public:
  explicit EditorDestinationField(QWidget* parent = nullptr);

  /// The text as the field shows it now.
  QString displayedText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  /// The room the text has inside the frame and margins.
  QRect textRect() const;
};
