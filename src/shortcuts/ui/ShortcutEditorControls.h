#pragma once

class EditorActionButton;
class EditorAddPopup;
class EditorDestinationField;
class EditorImageView;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

/// The controls of the Edit Shortcuts window, made and placed at their
/// design-size frames in its content view, with their texts, tooltips and
/// accessibility names. Their owner connects them.
struct ShortcutEditorControls {
  /// The content size every frame is given in.
  static constexpr double designWidth = 820;
  static constexpr double designHeight = 640;

  /// Builds every control into `content`, which is at the design size.
  static ShortcutEditorControls build(QWidget* content);

  QListWidget* table = nullptr;
  QListWidget* inactiveTable = nullptr;
  EditorActionButton* activateButton = nullptr;
  EditorActionButton* deleteButton = nullptr;
  QLineEdit* nameField = nullptr;
  EditorDestinationField* destinationField = nullptr;
  QComboBox* iconPopup = nullptr;
  EditorAddPopup* addPopup = nullptr;
  EditorActionButton* removeButton = nullptr;
  EditorActionButton* upButton = nullptr;
  EditorActionButton* downButton = nullptr;
  EditorActionButton* undoButton = nullptr;
  EditorActionButton* chooseImageButton = nullptr;
  EditorActionButton* defaultImageButton = nullptr;
  EditorActionButton* chooseButton = nullptr;
  EditorActionButton* saveButton = nullptr;
  EditorActionButton* cancelButton = nullptr;
  QLabel* status = nullptr;
  QLabel* heading = nullptr;
  QLabel* kindLabel = nullptr;
  QLabel* countLabel = nullptr;
  QLabel* emptyLabel = nullptr;
  EditorImageView* preview = nullptr;

 private:
  void buildHeader(QWidget* content);
  void buildButtons(QWidget* content);
  void buildDetail(QWidget* content);
};
