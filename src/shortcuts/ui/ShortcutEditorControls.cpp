#include "shortcuts/ui/ShortcutEditorControls.h"

#include "look/QuibTheme.h"
#include "platform/gfx/Symbols.h"
#include "platform/ui/ViewStyle.h"
#include "shortcuts/ui/EditorActionButton.h"
#include "shortcuts/ui/EditorAddPopup.h"
#include "shortcuts/ui/EditorDestinationField.h"
#include "shortcuts/ui/EditorImageView.h"
#include "widgets/DesignFrames.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace {

using Controls = ShortcutEditorControls;

QLabel* makeLabel(QWidget* content, const QString& text, const pf::Rect& frame, double pixelSize,
                  const pf::Color& color, QFont::Weight weight = QFont::Normal) {
  return DesignFrames::label(content, text, frame, {.pixelSize = pixelSize, .color = color, .weight = weight});
}

/// A label the tests and the window find again by `name`.
QLabel* makeNamedLabel(QWidget* content, const QString& name, const QString& text, const pf::Rect& frame,
                       double pixelSize, const pf::Color& color, QFont::Weight weight = QFont::Normal) {
  QLabel* label = makeLabel(content, text, frame, pixelSize, color, weight);
  label->setObjectName(name);
  return label;
}

pf::Color secondaryLabel() { return pf::Color::system(QStringLiteral("secondaryLabelColor")); }

void makeSymbol(QWidget* content, const QString& name, double x, double y, double width, double height) {
  auto* view = new EditorImageView(content);
  view->setImage(pf::Symbols::named(name, std::min(width, height)), QuibTheme::accent());
  DesignFrames::place(view, content, {x, y, width, height});
}

QListWidget* makeList(QWidget* content, const QString& title, double x) {
  makeLabel(content, title, {x + 8, 553, 378, 24}, 15, QuibTheme::text(), QFont::DemiBold);
  auto* list = new QListWidget(content);
  list->setObjectName(title);
  list->setFrameShape(QFrame::NoFrame);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setSpacing(1);
  list->setStyleSheet(QStringLiteral("QListWidget { background: transparent; }"
                                     "QListWidget::item:selected, QListWidget::item:hover { background: transparent; }"));
  list->viewport()->setAutoFillBackground(false);
  list->setAccessibleName(title + QStringLiteral(" shortcuts"));
  DesignFrames::place(list, content, {x, 306, 378, 244});
  return list;
}

EditorActionButton* makeButton(QWidget* content, const QString& title, double x, double y, double width,
                               double height, const QString& accessibility, const QString& tooltip = {}) {
  auto* button = new EditorActionButton(title, content);
  DesignFrames::place(button, content, {x, y, width, height});
  button->setAccessibleName(accessibility);
  if (!tooltip.isEmpty()) button->setToolTip(tooltip);
  return button;
}

template <typename Field>
Field* makeField(QWidget* content, const QString& placeholder, const QString& accessibility, double x, double width) {
  auto* field = new Field(content);
  field->setPlaceholderText(placeholder);
  field->setAccessibleName(accessibility);
  DesignFrames::place(field, content, {x, 164, width, 28});
  return field;
}

}  // namespace

ShortcutEditorControls ShortcutEditorControls::build(QWidget* content) {
  ShortcutEditorControls controls;
  controls.buildHeader(content);
  controls.table = makeList(content, QStringLiteral("Active"), 20);
  controls.inactiveTable = makeList(content, QStringLiteral("Not Active"), 422);
  controls.buildButtons(content);
  controls.buildDetail(content);
  return controls;
}

void ShortcutEditorControls::buildHeader(QWidget* content) {
  makeLabel(content, QStringLiteral("Your shortcuts"), {74, 602, 310, 28}, 20, QuibTheme::text(), QFont::DemiBold);
  makeSymbol(content, QStringLiteral("command"), 25, 589, 36, 38);
  makeLabel(content, QStringLiteral("Manage the apps and websites your companion can quickly access."),
            {74, 580, 550, 20}, 11, secondaryLabel());
  addPopup = new EditorAddPopup(
      {QStringLiteral("Add…"), QStringLiteral("Website"), QStringLiteral("Folder"), QStringLiteral("Application")},
      content);
  pf::ViewStyle::setColor(addPopup, pf::ViewStyle::ColorRole::bezel, QuibTheme::accent());
  DesignFrames::place(addPopup, content, {707, 595, 96, 34});
  addPopup->setAccessibleName(QStringLiteral("Add shortcut"));
  countLabel = makeNamedLabel(content, QStringLiteral("countLabel"), {}, {390, 599, 300, 22}, 13, secondaryLabel());
  countLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void ShortcutEditorControls::buildButtons(QWidget* content) {
  removeButton = makeButton(content, QStringLiteral("Remove"), 20, 264, 95, 30, QStringLiteral("Remove from Active"),
                            QStringLiteral("Keep this shortcut in Not Active. Its destination stays saved."));
  upButton = makeButton(content, QStringLiteral("↑"), 123, 264, 38, 30, QStringLiteral("Move selected shortcut up"));
  downButton =
      makeButton(content, QStringLiteral("↓"), 167, 264, 38, 30, QStringLiteral("Move selected shortcut down"));
  activateButton = makeButton(content, QStringLiteral("Activate"), 422, 264, 95, 30,
                              QStringLiteral("Activate selected shortcut"));
  deleteButton = makeButton(
      content, QStringLiteral("Delete"), 586, 264, 90, 30, QStringLiteral("Delete custom shortcut"),
      QStringLiteral("Delete a custom shortcut from the catalog on Save. Stock shortcuts are permanent."));
  undoButton =
      makeButton(content, QStringLiteral("Undo Delete"), 684, 264, 116, 30, QStringLiteral("Undo shortcut deletion"));
  chooseButton =
      makeButton(content, QStringLiteral("Choose…"), 699, 162, 101, 30, QStringLiteral("Choose shortcut destination"));
  chooseImageButton = makeButton(content, QStringLiteral("Choose Image…"), 16, 45, 145, 30,
                                 QStringLiteral("Choose custom button image"),
                                 QStringLiteral("PNG, JPEG, HEIC, TIFF, GIF or WebP. Stored locally after Save."));
  defaultImageButton = makeButton(content, QStringLiteral("Use Default"), 169, 45, 135, 30,
                                  QStringLiteral("Restore default button image"));
  saveButton = makeButton(content, QStringLiteral("Save"), 697, 20, 103, 32, QStringLiteral("Save shortcuts"));
  cancelButton =
      makeButton(content, QStringLiteral("Cancel"), 589, 20, 101, 32, QStringLiteral("Cancel shortcut edits"));
  saveButton->prominent = true;
  activateButton->prominent = true;
}

void ShortcutEditorControls::buildDetail(QWidget* content) {
  heading = makeNamedLabel(content, QStringLiteral("heading"), QStringLiteral("Shortcut details"), {42, 226, 328, 26},
                           17, QuibTheme::text(), QFont::DemiBold);
  makeSymbol(content, QStringLiteral("gearshape.fill"), 20, 228, 18, 20);
  kindLabel = makeNamedLabel(content, QStringLiteral("kindLabel"), {}, {380, 226, 420, 22}, 13, secondaryLabel());
  kindLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  makeLabel(content, QStringLiteral("Name"), {20, 197, 250, 22}, 13, secondaryLabel());
  makeLabel(content, QStringLiteral("Destination"), {320, 197, 250, 22}, 13, secondaryLabel());
  makeLabel(content, QStringLiteral("Icon"), {20, 123, 250, 22}, 13, secondaryLabel());
  nameField = makeField<QLineEdit>(content, QStringLiteral("Shortcut name"), QStringLiteral("Shortcut name"), 20, 280);
  destinationField = makeField<EditorDestinationField>(content, QStringLiteral("https://…"),
                                                       QStringLiteral("Shortcut destination"), 320, 480);
  iconPopup = new QComboBox(content);
  iconPopup->setAccessibleName(QStringLiteral("Shortcut icon"));
  DesignFrames::place(iconPopup, content, {16, 87, 244, 32});
  preview = new EditorImageView(content);
  preview->setAccessibleName(QStringLiteral("Button image preview"));
  DesignFrames::place(preview, content, {268, 85, 34, 34});
  // A short note, centred in its frame whether it takes one line or two.
  emptyLabel = makeNamedLabel(content, QStringLiteral("emptyLabel"), {}, {320, 115, 480, 35}, 12, secondaryLabel());
  emptyLabel->setWordWrap(true);
  const pf::Color orange = pf::Color::system(QStringLiteral("systemOrange"));
  status = DesignFrames::label(content, {}, {320, 67, 480, 42}, {.pixelSize = 12, .color = orange, .wraps = true});
  status->setObjectName(QStringLiteral("status"));
}
