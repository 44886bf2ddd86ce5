#include "shortcuts/ui/ShortcutEditorController.h"

#include "launcher/QuibIcons.h"
#include "launcher/ui/GlassSurface.h"
#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "motion/ui/ContentWindowLayout.h"
#include "motion/ui/ContentWindowSizing.h"
#include "platform/core/QtGeometry.h"
#include "platform/core/SystemInfo.h"
#include "platform/core/Text.h"
#include "platform/gfx/Symbols.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ViewStyle.h"
#include "shortcuts/CatalogError.h"
#include "shortcuts/QuibError.h"
#include "shortcuts/ShortcutStore.h"
#include "shortcuts/ui/EditorActionButton.h"
#include "shortcuts/ui/EditorAddPopup.h"
#include "shortcuts/ui/EditorBackdrop.h"
#include "shortcuts/ui/EditorImageView.h"
#include "shortcuts/ui/EditorShortcutCell.h"
#include "shortcuts/ui/ShortcutEditorWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>

namespace {

constexpr double designWidth = 820;
constexpr double designHeight = 640;
constexpr int catalogLimit = 128;

const QString notConfigured = QStringLiteral("Not configured — choose a destination");

/// Places `widget` at a frame given y-up in the design-size content.
void place(QWidget* widget, double x, double y, double width, double height) {
  widget->setGeometry(pf::roundedRect(pf::childFrameToQt(pf::Rect(x, y, width, height), designHeight)));
}

QLabel* makeLabel(QWidget* content, const QString& text, int pixelSize, const pf::Color& color,
                  QFont::Weight weight = QFont::Normal) {
  auto* label = new QLabel(text, content);
  label->setTextFormat(Qt::PlainText);
  QFont font = label->font();
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  label->setFont(font);
  pf::ViewStyle::setColor(label, pf::ViewStyle::ColorRole::text, color);
  return label;
}

pf::Color secondaryLabel() { return pf::Color::system(QStringLiteral("secondaryLabelColor")); }

EditorImageView* makeSymbol(QWidget* content, const QString& name, double x, double y, double width,
                            double height) {
  auto* view = new EditorImageView(content);
  view->setImage(pf::Symbols::named(name, std::min(width, height)), QuibTheme::accent());
  place(view, x, y, width, height);
  return view;
}

}  // namespace

const std::vector<ShortcutEditorController::IconChoice>& ShortcutEditorController::iconChoices() {
  static const std::vector<IconChoice> choices{
      {std::nullopt, QStringLiteral("Automatic")},
      {QStringLiteral("youtube"), QStringLiteral("YouTube")},
      {QStringLiteral("instagram"), QStringLiteral("Instagram")},
      {QStringLiteral("tiktok"), QStringLiteral("TikTok")},
      {QStringLiteral("facebook"), QStringLiteral("Facebook")},
      {QStringLiteral("threads"), QStringLiteral("Threads")},
      {QStringLiteral("x"), QStringLiteral("X")},
      {QStringLiteral("pinterest"), QStringLiteral("Pinterest")},
      {QStringLiteral("corvane"), QStringLiteral("Corvane")},
      {QStringLiteral("suno"), QStringLiteral("Suno")},
      {QStringLiteral("fizzcast"), QStringLiteral("Fizzcast")},
      {QStringLiteral("videos"), QStringLiteral("Folder")},
      {QStringLiteral("images"), QStringLiteral("Images")},
      {QStringLiteral("globe"), QStringLiteral("Website")},
      {QStringLiteral("app"), QStringLiteral("Application")},
  };
  return choices;
}

QString ShortcutEditorController::kindName(ShortcutKind kind) {
  switch (kind) {
    case ShortcutKind::web: return QStringLiteral("Website");
    case ShortcutKind::folder: return QStringLiteral("Folder");
    case ShortcutKind::application: return QStringLiteral("Application");
  }
  return {};
}

ShortcutEditorController::ShortcutEditorController(ShortcutStore& store)
    : m_store(store), m_draft(store.shortcuts()) {
  openPanel = [this](const FileRequest& request, FileChosen chosen) { presentFileDialog(request, std::move(chosen)); };
  buildWindow();
  reload(m_draft.items.empty() ? std::nullopt : std::optional<int>(0));
}

ShortcutEditorController::~ShortcutEditorController() {
  m_contentLayout.reset();
  m_contentSizing.reset();
  delete m_window;
}

void ShortcutEditorController::buildWindow() {
  m_window = new ShortcutEditorWindow;
  m_window->setWindowTitle(QStringLiteral("Edit Shortcuts — Wendle"));
  pf::ViewStyle::setAppearance(m_window, QuibSkin::appearance());
  m_window->setContentSize(pf::Size{designWidth, designHeight});
  const QPointer<ShortcutEditorController> self(this);
  m_window->onEscape = [self] {
    if (self) self->m_window->performClose();
  };
  m_window->shouldClose = [this] { return windowShouldClose(); };
  m_window->onWillClose = [this] { windowWillClose(); };

  auto* content = new GlassSurface;
  content->resize(int(designWidth), int(designHeight));
  m_window->setContentView(content);
  (new EditorBackdrop(content))->setGeometry(content->rect());
  buildHeader(content);
  buildList(content, QStringLiteral("Active"), 20, m_table);
  buildList(content, QStringLiteral("Not Active"), 422, m_inactiveTable);
  buildButtons(content);
  buildDetail(content);

  m_contentLayout = std::make_unique<ContentWindowLayout>(content, pf::Rect(20, 306, 378, 244), true);
  m_contentLayout->onLayout = [self] {
    if (self) self->layoutDestination();
  };
  m_contentSizing = std::make_unique<ContentWindowSizing>(m_window, QStringLiteral("shortcuts"), &m_store.defaults(),
                                                          pf::Size{860, 640}, pf::Size{920, 720});
  m_window->center();
}

void ShortcutEditorController::buildHeader(QWidget* content) {
  place(makeLabel(content, QStringLiteral("Your shortcuts"), 20, QuibTheme::text(), QFont::DemiBold), 74, 602, 310,
        28);
  makeSymbol(content, QStringLiteral("command"), 25, 589, 36, 38);
  place(makeLabel(content, QStringLiteral("Manage the apps and websites your companion can quickly access."), 11,
                  secondaryLabel()),
        74, 580, 550, 20);
  m_addPopup = new EditorAddPopup(
      {QStringLiteral("Add…"), QStringLiteral("Website"), QStringLiteral("Folder"), QStringLiteral("Application")},
      content);
  pf::ViewStyle::setColor(m_addPopup, pf::ViewStyle::ColorRole::bezel, QuibTheme::accent());
  place(m_addPopup, 707, 595, 96, 34);
  m_addPopup->setAccessibleName(QStringLiteral("Add shortcut"));
  m_addPopup->onChoose = [this](int index) { addShortcut(index); };
  m_countLabel = makeLabel(content, {}, 13, secondaryLabel());
  m_countLabel->setObjectName(QStringLiteral("countLabel"));
  m_countLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  place(m_countLabel, 390, 599, 300, 22);
}

void ShortcutEditorController::buildList(QWidget* content, const QString& title, double x, QListWidget*& list) {
  place(makeLabel(content, title, 15, QuibTheme::text(), QFont::DemiBold), x + 8, 553, 378, 24);
  list = new QListWidget(content);
  list->setObjectName(title);
  list->setFrameShape(QFrame::NoFrame);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setSpacing(1);
  list->setStyleSheet(QStringLiteral("QListWidget { background: transparent; }"
                                     "QListWidget::item:selected, QListWidget::item:hover { background: transparent; }"));
  list->viewport()->setAutoFillBackground(false);
  list->setAccessibleName(title + QStringLiteral(" shortcuts"));
  place(list, x, 306, 378, 244);
  connect(list, &QListWidget::itemSelectionChanged, this, [this, list] { selectionChanged(list); });
}

EditorActionButton* ShortcutEditorController::makeButton(QWidget* content, const QString& title,
                                                         void (ShortcutEditorController::*action)(), double x,
                                                         double y, double width, double height,
                                                         const QString& accessibility, const QString& tooltip) {
  auto* button = new EditorActionButton(title, content);
  connect(button, &QPushButton::clicked, this, action);
  place(button, x, y, width, height);
  button->setAccessibleName(accessibility);
  if (!tooltip.isEmpty()) button->setToolTip(tooltip);
  return button;
}

void ShortcutEditorController::buildButtons(QWidget* content) {
  using C = ShortcutEditorController;
  m_removeButton = makeButton(content, QStringLiteral("Remove"), &C::removeSelected, 20, 264, 95, 30,
                              QStringLiteral("Remove from Active"),
                              QStringLiteral("Keep this shortcut in Not Active. Its destination stays saved."));
  m_upButton = makeButton(content, QStringLiteral("↑"), &C::moveShortcutUp, 123, 264, 38, 30,
                          QStringLiteral("Move selected shortcut up"));
  m_downButton = makeButton(content, QStringLiteral("↓"), &C::moveShortcutDown, 167, 264, 38, 30,
                            QStringLiteral("Move selected shortcut down"));
  m_activateButton = makeButton(content, QStringLiteral("Activate"), &C::activateSelected, 422, 264, 95, 30,
                                QStringLiteral("Activate selected shortcut"));
  m_deleteButton = makeButton(
      content, QStringLiteral("Delete"), &C::deleteSelected, 586, 264, 90, 30, QStringLiteral("Delete custom shortcut"),
      QStringLiteral("Delete a custom shortcut from the catalog on Save. Stock shortcuts are permanent."));
  m_undoButton = makeButton(content, QStringLiteral("Undo Delete"), &C::undoRemoval, 684, 264, 116, 30,
                            QStringLiteral("Undo shortcut deletion"));
  m_chooseButton = makeButton(content, QStringLiteral("Choose…"), &C::chooseFile, 699, 162, 101, 30,
                              QStringLiteral("Choose shortcut destination"));
  m_chooseImageButton = makeButton(content, QStringLiteral("Choose Image…"), &C::chooseImage, 16, 45, 145, 30,
                                   QStringLiteral("Choose custom button image"),
                                   QStringLiteral("PNG, JPEG, HEIC, TIFF, GIF or WebP. Stored locally after Save."));
  m_defaultImageButton = makeButton(content, QStringLiteral("Use Default"), &C::useDefaultImage, 169, 45, 135, 30,
                                    QStringLiteral("Restore default button image"));
  m_saveButton = makeButton(content, QStringLiteral("Save"), &C::save, 697, 20, 103, 32,
                            QStringLiteral("Save shortcuts"));
  m_cancelButton = makeButton(content, QStringLiteral("Cancel"), &C::cancel, 589, 20, 101, 32,
                              QStringLiteral("Cancel shortcut edits"));
  m_saveButton->prominent = true;
  m_activateButton->prominent = true;
  m_window->defaultButton = m_saveButton;
}

void ShortcutEditorController::buildDetail(QWidget* content) {
  m_heading = makeLabel(content, QStringLiteral("Shortcut details"), 17, QuibTheme::text(), QFont::DemiBold);
  m_heading->setObjectName(QStringLiteral("heading"));
  place(m_heading, 42, 226, 328, 26);
  makeSymbol(content, QStringLiteral("gearshape.fill"), 20, 228, 18, 20);
  m_kindLabel = makeLabel(content, {}, 13, secondaryLabel());
  m_kindLabel->setObjectName(QStringLiteral("kindLabel"));
  m_kindLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  place(m_kindLabel, 380, 226, 420, 22);
  place(makeLabel(content, QStringLiteral("Name"), 13, secondaryLabel()), 20, 197, 250, 22);
  place(makeLabel(content, QStringLiteral("Destination"), 13, secondaryLabel()), 320, 197, 250, 22);
  place(makeLabel(content, QStringLiteral("Icon"), 13, secondaryLabel()), 20, 123, 250, 22);

  m_nameField = new QLineEdit(content);
  m_nameField->setPlaceholderText(QStringLiteral("Shortcut name"));
  m_nameField->setAccessibleName(QStringLiteral("Shortcut name"));
  place(m_nameField, 20, 164, 280, 28);
  m_destinationField = new QLineEdit(content);
  m_destinationField->setPlaceholderText(QStringLiteral("https://…"));
  m_destinationField->setAccessibleName(QStringLiteral("Shortcut destination"));
  place(m_destinationField, 320, 164, 480, 28);
  connect(m_nameField, &QLineEdit::textEdited, this, &ShortcutEditorController::textChanged);
  connect(m_destinationField, &QLineEdit::textEdited, this, &ShortcutEditorController::textChanged);

  m_iconPopup = new QComboBox(content);
  m_iconPopup->setAccessibleName(QStringLiteral("Shortcut icon"));
  place(m_iconPopup, 16, 87, 244, 32);
  connect(m_iconPopup, &QComboBox::activated, this, &ShortcutEditorController::changeIcon);
  m_preview = new EditorImageView(content);
  m_preview->setAccessibleName(QStringLiteral("Button image preview"));
  place(m_preview, 268, 85, 34, 34);

  m_emptyLabel = makeLabel(content, {}, 12, secondaryLabel());
  m_emptyLabel->setObjectName(QStringLiteral("emptyLabel"));
  m_emptyLabel->setWordWrap(true);
  place(m_emptyLabel, 320, 115, 480, 35);
  m_status = makeLabel(content, {}, 12, pf::Color::system(QStringLiteral("systemOrange")));
  m_status->setObjectName(QStringLiteral("status"));
  m_status->setWordWrap(true);
  m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  place(m_status, 320, 67, 480, 42);
}

std::vector<int> ShortcutEditorController::indices(const QListWidget* list) const {
  const bool active = list == m_table;
  std::vector<int> result;
  for (int i = 0; i < int(m_draft.items.size()); ++i)
    if (m_draft.items[size_t(i)].isActive == active) result.push_back(i);
  return result;
}

QListWidget* ShortcutEditorController::listShowing(int index) const {
  return m_draft.items[size_t(index)].isActive ? m_table : m_inactiveTable;
}

const Shortcut* ShortcutEditorController::selectedItem() const {
  if (!m_selectedIndex || *m_selectedIndex < 0 || *m_selectedIndex >= int(m_draft.items.size())) return nullptr;
  return &m_draft.items[size_t(*m_selectedIndex)];
}

void ShortcutEditorController::fillList(QListWidget* list) {
  list->clear();
  for (int index : indices(list)) {
    auto* row = new QListWidgetItem(list);
    row->setSizeHint(QSize(356, 44));
    list->setItemWidget(row, new EditorShortcutCell(m_draft.items[size_t(index)], m_store, m_draft.selectedImages));
  }
}

void ShortcutEditorController::reload(std::optional<int> select) {
  m_loading = true;
  fillList(m_table);
  fillList(m_inactiveTable);
  m_table->clearSelection();
  m_inactiveTable->clearSelection();
  m_selectedIndex.reset();
  if (select && *select >= 0 && *select < int(m_draft.items.size())) {
    m_selectedIndex = select;
    QListWidget* list = listShowing(*select);
    const std::vector<int> rows = indices(list);
    const auto row = int(std::find(rows.begin(), rows.end(), *select) - rows.begin());
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(list->item(row));
  }
  markSelection(m_table);
  markSelection(m_inactiveTable);
  m_loading = false;
  showFields();
}

void ShortcutEditorController::markSelection(QListWidget* list) {
  for (int row = 0; row < list->count(); ++row)
    if (auto* cell = qobject_cast<EditorShortcutCell*>(list->itemWidget(list->item(row))))
      cell->setSelected(list->item(row)->isSelected());
}

void ShortcutEditorController::showFields() {
  m_loading = true;
  const Shortcut* item = selectedItem();
  const bool writable = m_store.catalogIsWritable();
  const bool editable = item && writable;
  m_nameField->setText(item ? item->label : QString());
  m_destinationField->setText(item ? item->destination : QString());
  m_heading->setText(item ? QStringLiteral("Shortcut details") : QStringLiteral("No shortcut selected"));
  m_kindLabel->setText(item ? kindName(item->kind) + (item->isStock() ? QStringLiteral(" · Stock · Permanent")
                                                                      : QStringLiteral(" · Custom"))
                            : QString());
  const bool web = item && item->kind == ShortcutKind::web;
  m_nameField->setEnabled(editable);
  m_destinationField->setEnabled(editable);
  m_destinationField->setReadOnly(!web);
  m_destinationField->setPlaceholderText(web || !item ? QStringLiteral("https://…")
                                                      : QStringLiteral("Choose a destination…"));
  m_chooseButton->setHidden(!item || web);
  m_chooseButton->setEnabled(editable);
  layoutDestination();
  showIcons(item);
  m_preview->setImage(item ? QuibIcons::icon(*item, &m_store, m_draft.selectedImages) : std::nullopt,
                      item ? QuibIcons::color(*item, &m_store, m_draft.selectedImages) : std::nullopt);
  QString hint = item ? QStringLiteral("Remove keeps it in Not Active. Delete is for custom shortcuts only. Save "
                                       "applies your changes.")
                      : QStringLiteral("Select a shortcut in either column, or add one.");
  if (item && item->icon && ShortcutImageStore::digest(*item->icon) &&
      m_store.customImage(*item, m_draft.selectedImages).isNull())
    hint = QStringLiteral("Custom image unavailable; showing the default. Choose Image… to replace it.");
  m_emptyLabel->setText(hint);
  showEnabledStates(item);
  const auto active = long(std::count_if(m_draft.items.begin(), m_draft.items.end(),
                                         [](const Shortcut& s) { return s.isActive; }));
  m_countLabel->setText(QStringLiteral("%1 active · %2 not active")
                            .arg(active)
                            .arg(long(m_draft.items.size()) - active));
  m_loading = false;
}

void ShortcutEditorController::showIcons(const Shortcut* item) {
  m_icons = iconChoices();
  const std::optional<QString> key = item ? item->icon : std::nullopt;
  const auto known = [&] {
    return std::any_of(m_icons.begin(), m_icons.end(), [&](const IconChoice& choice) { return choice.first == key; });
  };
  if (key && !known())
    m_icons.emplace_back(key, ShortcutImageStore::digest(*key) ? QStringLiteral("Custom Image")
                                                               : QStringLiteral("Saved icon: ") + *key);
  m_iconPopup->clear();
  int selected = 0;
  for (int i = 0; i < int(m_icons.size()); ++i) {
    m_iconPopup->addItem(m_icons[size_t(i)].second);
    if (m_icons[size_t(i)].first == key && selected == 0) selected = i;
  }
  m_iconPopup->setCurrentIndex(selected);
  m_iconPopup->setEnabled(item && m_store.catalogIsWritable());
}

void ShortcutEditorController::showEnabledStates(const Shortcut* item) {
  const bool writable = m_store.catalogIsWritable();
  const bool editable = item && writable;
  m_chooseImageButton->setEnabled(editable);
  m_defaultImageButton->setEnabled(editable && item->icon.has_value());
  m_removeButton->setEnabled(editable && item->isActive);
  m_activateButton->setEnabled(editable && !item->isActive);
  m_deleteButton->setEnabled(editable && !item->isStock());
  bool first = false;
  bool last = false;
  if (item) {
    const std::vector<int> own = indices(listShowing(*m_selectedIndex));
    first = own.front() == *m_selectedIndex;
    last = own.back() == *m_selectedIndex;
  }
  m_upButton->setEnabled(editable && !first);
  m_downButton->setEnabled(editable && !last);
  m_undoButton->setEnabled(m_draft.canUndoRemoval() && writable);
  m_addPopup->setEnabled(int(m_draft.items.size()) < catalogLimit && writable);
  m_saveButton->setEnabled(writable);
}

void ShortcutEditorController::captureFields() {
  if (m_loading || !selectedItem()) return;
  Shortcut& item = m_draft.items[size_t(*m_selectedIndex)];
  item.label = m_nameField->text();
  if (item.kind != ShortcutKind::web) return;
  const QString destination = pf::Text::trimmed(m_destinationField->text());
  if (destination == item.destination) return;
  item.destination = destination;
  item.note = destination.isEmpty() ? notConfigured : QStringLiteral("Your configured destination");
}

void ShortcutEditorController::layoutDestination() {
  const QRect field = m_destinationField->geometry();
  int width = 0;
  if (!m_chooseButton->isHidden()) {
    width = std::max(0, m_chooseButton->geometry().left() - 12 - field.left());
  } else {
    const QWidget* content = m_window ? m_window->contentView() : nullptr;
    width = content ? int(content->width() * 480.0 / designWidth) : 480;
  }
  m_destinationField->setGeometry(field.left(), field.top(), width, field.height());
}

void ShortcutEditorController::setStatus(const QString& text) { m_status->setText(text); }

void ShortcutEditorController::selectionChanged(QListWidget* list) {
  if (m_loading) return;
  captureFields();
  const std::vector<int> rows = indices(list);
  const QList<QListWidgetItem*> selected = list->selectedItems();
  const int row = selected.isEmpty() ? -1 : list->row(selected.front());
  if (row >= 0 && row < int(rows.size())) {
    m_selectedIndex = rows[size_t(row)];
  } else if (!selected.isEmpty() || list == (m_selectedIndex ? listShowing(*m_selectedIndex) : nullptr)) {
    m_selectedIndex.reset();
  }
  m_loading = true;
  QListWidget* other = list == m_table ? m_inactiveTable : m_table;
  if (!selected.isEmpty()) other->clearSelection();
  markSelection(m_table);
  markSelection(m_inactiveTable);
  m_loading = false;
  showFields();
}

void ShortcutEditorController::textChanged() {
  captureFields();
  if (!m_selectedIndex) return;
  QListWidget* list = listShowing(*m_selectedIndex);
  const std::vector<int> rows = indices(list);
  const auto row = int(std::find(rows.begin(), rows.end(), *m_selectedIndex) - rows.begin());
  QListWidgetItem* rowItem = list->item(row);
  if (!rowItem) return;
  auto* cell = new EditorShortcutCell(m_draft.items[size_t(*m_selectedIndex)], m_store, m_draft.selectedImages);
  cell->setSelected(rowItem->isSelected());
  list->setItemWidget(rowItem, cell);
}

void ShortcutEditorController::addShortcut(int index) {
  captureFields();
  switch (index - 1) {
    case 0: add(ShortcutKind::web); break;
    case 1: add(ShortcutKind::folder); break;
    case 2: add(ShortcutKind::application); break;
    default: break;
  }
}

void ShortcutEditorController::add(ShortcutKind kind) {
  const std::optional<int> index = m_draft.add(kind);
  if (!index) return;
  setStatus({});
  reload(index);
  m_nameField->setFocus();
  m_nameField->selectAll();
}

void ShortcutEditorController::removeSelected() {
  captureFields();
  const Shortcut* item = selectedItem();
  if (!item || !item->isActive) return;
  const QString label = item->label;
  const int index = *m_selectedIndex;
  m_draft.remove(index);
  reload(index);
  setStatus(QStringLiteral("Moved “") + label + QStringLiteral("” to Not Active. Save to apply."));
}

void ShortcutEditorController::activateSelected() {
  captureFields();
  if (!selectedItem()) return;
  const int index = *m_selectedIndex;
  const ShortcutDraft before = m_draft;
  m_draft.activate(index);
  try {
    m_store.saveDraft(m_draft);
  } catch (const std::exception& error) {
    m_draft = before;
    reload(index);
    setStatus(QString::fromUtf8(error.what()));
    return;
  }
  m_draft = ShortcutDraft(m_store.shortcuts());
  reload(index);
  setStatus(QStringLiteral("Saved. Shortcut activated and placed on a button."));
}

void ShortcutEditorController::deleteSelected() {
  captureFields();
  const Shortcut* item = selectedItem();
  if (!item || item->isStock()) return;
  const QString label = item->label;
  const int index = *m_selectedIndex;
  m_draft.deleteAt(index);
  const int count = int(m_draft.items.size());
  reload(count == 0 ? std::nullopt : std::optional<int>(std::min(index, count - 1)));
  setStatus(QStringLiteral("Deleted “") + label + QStringLiteral("” from this draft. Save to apply, or Undo Delete."));
}

void ShortcutEditorController::undoRemoval() {
  captureFields();
  const std::optional<int> index = m_draft.undoRemoval();
  if (!index) return;
  reload(index);
  setStatus(QStringLiteral("Deletion undone."));
}

void ShortcutEditorController::moveShortcutUp() { moveSelected(-1); }

void ShortcutEditorController::moveShortcutDown() { moveSelected(1); }

void ShortcutEditorController::moveSelected(int offset) {
  captureFields();
  if (!selectedItem()) return;
  if (const std::optional<int> index = m_draft.move(*m_selectedIndex, offset)) reload(index);
}

void ShortcutEditorController::changeIcon(int index) {
  captureFields();
  if (!selectedItem() || index < 0 || index >= int(m_icons.size())) return;
  m_draft.items[size_t(*m_selectedIndex)].icon = m_icons[size_t(index)].first;
  reload(m_selectedIndex);
}

void ShortcutEditorController::chooseImage() {
  const Shortcut* item = selectedItem();
  if (!item || !m_window || !m_store.catalogIsWritable()) return;
  captureFields();
  const QString id = item->id;
  FileRequest request{QStringLiteral("Choose Button Image"), QStringLiteral("Use Image"),
                      pf::SystemInfo::homeDirectory() + QStringLiteral("/Downloads/Images"),
                      {QStringLiteral("Images (*.png *.jpg *.jpeg *.heic *.heif *.tif *.tiff *.gif *.webp)")},
                      false};
  const QPointer<ShortcutEditorController> self(this);
  openPanel(request, [self, id](const QUrl& url) {
    if (!self) return;
    try {
      self->selectImage(url, id);
    } catch (const std::exception& error) {
      self->setStatus(QString::fromUtf8(error.what()));
    }
  });
}

void ShortcutEditorController::selectImage(const QUrl& url, const QString& id) {
  const auto item = std::find_if(m_draft.items.begin(), m_draft.items.end(),
                                 [&](const Shortcut& s) { return s.id == id; });
  if (!m_store.catalogIsWritable() || item == m_draft.items.end())
    throw QuibError(QStringLiteral("Select a shortcut before choosing an image."));
  const int index = int(item - m_draft.items.begin());
  captureFields();
  const ShortcutImageStore::Imported imported = ShortcutImageStore::importImage(url);
  m_draft.selectedImages[imported.reference] = imported.png;
  m_draft.items[size_t(index)].icon = imported.reference;
  reload(index);
  setStatus(QStringLiteral("Image selected. Save to apply."));
}

void ShortcutEditorController::useDefaultImage() {
  captureFields();
  if (!selectedItem() || !m_store.catalogIsWritable()) return;
  m_draft.items[size_t(*m_selectedIndex)].icon.reset();
  reload(m_selectedIndex);
  setStatus(QStringLiteral("Default icon selected. Save to apply."));
}

void ShortcutEditorController::chooseFile() {
  const Shortcut* item = selectedItem();
  if (!item || !m_window) return;
  captureFields();
  const Shortcut chosenFor = *item;
  const bool application = chosenFor.kind == ShortcutKind::application;
  FileRequest request{QStringLiteral("Choose ") + kindName(chosenFor.kind).toLower(), QStringLiteral("Choose"),
                      application ? QStringLiteral("/usr/share/applications")
                                  : pf::SystemInfo::homeDirectory() + QStringLiteral("/Downloads"),
                      application ? QStringList{QStringLiteral("Applications (*.desktop)")} : QStringList{},
                      chosenFor.kind == ShortcutKind::folder};
  const QPointer<ShortcutEditorController> self(this);
  openPanel(request, [self, id = chosenFor.id](const QUrl& url) {
    if (!self) return;
    try {
      self->selectFile(url, id);
    } catch (const std::exception& error) {
      self->setStatus(QString::fromUtf8(error.what()));
    }
  });
}

void ShortcutEditorController::selectFile(const QUrl& url, const QString& id) {
  const auto item = std::find_if(m_draft.items.begin(), m_draft.items.end(),
                                 [&](const Shortcut& s) { return s.id == id; });
  if (item == m_draft.items.end() || item->kind == ShortcutKind::web)
    throw CatalogError::invalid(QStringLiteral("Select a folder or application shortcut."));
  ShortcutStore::validateFile(url, item->kind);
  item->destination = url.toLocalFile();
  item->note = QStringLiteral("Your selected ") + kindName(item->kind).toLower();
  m_draft.selectedFiles[id] = url;
  reload(int(item - m_draft.items.begin()));
  setStatus(QStringLiteral("Destination selected. Save to apply."));
}

void ShortcutEditorController::save() {
  captureFields();
  try {
    m_store.saveDraft(m_draft);
  } catch (const std::exception& error) {
    setStatus(QString::fromUtf8(error.what()));
    return;
  }
  m_discardConfirmed = true;
  m_window->close();
}

void ShortcutEditorController::cancel() {
  m_discardConfirmed = true;
  m_window->close();
}

bool ShortcutEditorController::windowShouldClose() {
  captureFields();
  if (!m_draft.hasChanges() || m_discardConfirmed) return true;
  if (m_window->attachedSheet()) return false;
  auto* alert = new pf::Alert(m_window);
  alert->setMessageText(QStringLiteral("Discard shortcut changes?"));
  alert->setInformativeText(QStringLiteral("Your saved shortcuts will stay as they are."));
  alert->addButton(QStringLiteral("Keep Editing"));
  alert->addButton(QStringLiteral("Discard Changes"));
  const QPointer<ShortcutEditorController> self(this);
  alert->beginSheet(m_window, [self](int response) {
    if (!self || response != pf::Alert::firstButtonResponse + 1) return;
    self->m_discardConfirmed = true;
    self->m_window->close();
  });
  return false;
}

void ShortcutEditorController::windowWillClose() {
  if (onClose) onClose();
}

void ShortcutEditorController::present() {
  if (!m_window->isVisible()) {
    m_draft = ShortcutDraft(m_store.shortcuts());
    setStatus(m_store.catalogNotice().value_or(QString()));
    m_discardConfirmed = false;
    reload(m_draft.items.empty() ? std::nullopt : std::optional<int>(0));
  }
  if (positionWindow) positionWindow(m_window);
  m_window->makeKeyAndOrderFront();
  m_window->activateWindow();
}

void ShortcutEditorController::presentFileDialog(const FileRequest& request, FileChosen chosen) {
  auto* dialog = new QFileDialog(m_window, request.title, request.directory);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowModality(Qt::WindowModal);
  dialog->setLabelText(QFileDialog::Accept, request.prompt);
  dialog->setFileMode(request.directories ? QFileDialog::Directory : QFileDialog::ExistingFile);
  if (request.directories) dialog->setOption(QFileDialog::ShowDirsOnly);
  if (!request.nameFilters.isEmpty()) dialog->setNameFilters(request.nameFilters);
  m_window->setAttachedSheet(dialog);
  connect(dialog, &QFileDialog::urlSelected, this, [chosen = std::move(chosen)](const QUrl& url) {
    if (url.isValid()) chosen(url);
  });
  dialog->open();
}
