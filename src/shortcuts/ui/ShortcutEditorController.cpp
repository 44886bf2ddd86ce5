#include "shortcuts/ui/ShortcutEditorController.h"

#include "launcher/QuibIcons.h"
#include "platform/core/Text.h"
#include "platform/ui/Alert.h"
#include "shortcuts/CatalogError.h"
#include "shortcuts/QuibError.h"
#include "shortcuts/ShortcutStore.h"
#include "shortcuts/ui/EditorActionButton.h"
#include "shortcuts/ui/EditorAddPopup.h"
#include "shortcuts/ui/EditorBackdrop.h"
#include "shortcuts/ui/EditorDestinationField.h"
#include "shortcuts/ui/EditorImageView.h"
#include "shortcuts/ui/EditorShortcutCell.h"
#include "shortcuts/ui/ShortcutEditorControls.h"
#include "shortcuts/ui/ShortcutEditorWindow.h"
#include "widgets/GlassSurface.h"
#include "widgets/GlassWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardPaths>
#include <algorithm>

namespace {

using Controls = ShortcutEditorControls;

constexpr int catalogLimit = 128;

const QString notConfigured = QStringLiteral("Not configured — choose a destination");

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
  openPanel = [this](const FileRequest& request, FileChosen chosen) {
    pf::OpenPanel::begin(m_window, request, std::move(chosen));
  };
  buildWindow();
  reload(m_draft.items.empty() ? std::nullopt : std::optional<int>(0));
}

// The window's controls are connected to this controller: they go while all of it is still here.
ShortcutEditorController::~ShortcutEditorController() { m_glass.reset(); }

void ShortcutEditorController::connectControls() {
  using C = ShortcutEditorController;
  const std::pair<EditorActionButton*, void (C::*)()> actions[] = {
      {m_ui.removeButton, &C::removeSelected},    {m_ui.upButton, &C::moveShortcutUp},
      {m_ui.downButton, &C::moveShortcutDown},    {m_ui.activateButton, &C::activateSelected},
      {m_ui.deleteButton, &C::deleteSelected},    {m_ui.undoButton, &C::undoRemoval},
      {m_ui.chooseButton, &C::chooseFile},        {m_ui.chooseImageButton, &C::chooseImage},
      {m_ui.defaultImageButton, &C::useDefaultImage}, {m_ui.saveButton, &C::save},
      {m_ui.cancelButton, &C::cancel},
  };
  for (const auto& [button, action] : actions) connect(button, &QPushButton::clicked, this, action);
  for (QListWidget* list : {m_ui.table, m_ui.inactiveTable})
    connect(list, &QListWidget::itemSelectionChanged, this, [this, list] { selectionChanged(list); });
  connect(m_ui.nameField, &QLineEdit::textEdited, this, &C::textChanged);
  connect(m_ui.destinationField, &QLineEdit::textEdited, this, &C::textChanged);
  connect(m_ui.iconPopup, &QComboBox::activated, this, &C::changeIcon);
  m_ui.addPopup->onChoose = [this](int index) { addShortcut(index); };
  m_window->defaultButton = m_ui.saveButton;
}

void ShortcutEditorController::buildWindow() {
  auto window = std::make_unique<ShortcutEditorWindow>();
  m_window = window.get();
  m_glass = std::make_unique<GlassWindow>(QStringLiteral("Edit Shortcuts — Wendle"),
                                          pf::Size{Controls::designWidth, Controls::designHeight}, std::move(window));
  const QPointer<ShortcutEditorController> self(this);
  m_window->onEscape = [self] {
    if (self) self->m_window->performClose();
  };
  m_window->shouldClose = [this] { return windowShouldClose(); };
  m_window->onWillClose = [this] { windowWillClose(); };

  QWidget* content = m_glass->content();
  (new EditorBackdrop(content))->setGeometry(content->rect());
  m_ui = Controls::build(content);
  connectControls();

  m_glass->arrange({.stretchFrame = pf::Rect(20, 306, 378, 244),
                    .key = QStringLiteral("shortcuts"),
                    .defaults = &m_store.defaults(),
                    .minimum = {860, 640},
                    .initial = {920, 720},
                    .onLayout = [self] {
                      if (self) self->layoutDestination();
                    }});
}

std::vector<int> ShortcutEditorController::indices(const QListWidget* list) const {
  const bool active = list == m_ui.table;
  std::vector<int> result;
  for (int i = 0; i < int(m_draft.items.size()); ++i)
    if (m_draft.items[size_t(i)].isActive == active) result.push_back(i);
  return result;
}

QListWidget* ShortcutEditorController::listShowing(int index) const {
  return m_draft.items[size_t(index)].isActive ? m_ui.table : m_ui.inactiveTable;
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
  fillList(m_ui.table);
  fillList(m_ui.inactiveTable);
  m_ui.table->clearSelection();
  m_ui.inactiveTable->clearSelection();
  m_selectedIndex.reset();
  if (select && *select >= 0 && *select < int(m_draft.items.size())) {
    m_selectedIndex = select;
    QListWidget* list = listShowing(*select);
    const std::vector<int> rows = indices(list);
    const auto row = int(std::find(rows.begin(), rows.end(), *select) - rows.begin());
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(list->item(row));
  }
  markSelection(m_ui.table);
  markSelection(m_ui.inactiveTable);
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
  m_ui.nameField->setText(item ? item->label : QString());
  m_ui.destinationField->setText(item ? item->destination : QString());
  m_ui.heading->setText(item ? QStringLiteral("Shortcut details") : QStringLiteral("No shortcut selected"));
  m_ui.kindLabel->setText(item ? kindName(item->kind) + (item->isStock() ? QStringLiteral(" · Stock · Permanent")
                                                                      : QStringLiteral(" · Custom"))
                            : QString());
  const bool web = item && item->kind == ShortcutKind::web;
  m_ui.nameField->setEnabled(editable);
  m_ui.destinationField->setEnabled(editable);
  m_ui.destinationField->setReadOnly(!web);
  m_ui.destinationField->setPlaceholderText(web || !item ? QStringLiteral("https://…")
                                                      : QStringLiteral("Choose a destination…"));
  m_ui.chooseButton->setHidden(!item || web);
  m_ui.chooseButton->setEnabled(editable);
  layoutDestination();
  showIcons(item);
  m_ui.preview->setImage(item ? QuibIcons::icon(*item, &m_store, m_draft.selectedImages) : std::nullopt,
                      item ? QuibIcons::color(*item, &m_store, m_draft.selectedImages) : std::nullopt);
  QString hint = item ? QStringLiteral("Remove keeps it in Not Active. Delete is for custom shortcuts only. Save "
                                       "applies your changes.")
                      : QStringLiteral("Select a shortcut in either column, or add one.");
  if (item && item->icon && ShortcutImageStore::digest(*item->icon) &&
      m_store.customImage(*item, m_draft.selectedImages).isNull())
    hint = QStringLiteral("Custom image unavailable; showing the default. Choose Image… to replace it.");
  m_ui.emptyLabel->setText(hint);
  showEnabledStates(item);
  const auto active = long(std::count_if(m_draft.items.begin(), m_draft.items.end(),
                                         [](const Shortcut& s) { return s.isActive; }));
  m_ui.countLabel->setText(QStringLiteral("%1 active · %2 not active")
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
  m_ui.iconPopup->clear();
  int selected = 0;
  for (int i = 0; i < int(m_icons.size()); ++i) {
    m_ui.iconPopup->addItem(m_icons[size_t(i)].second);
    if (m_icons[size_t(i)].first == key && selected == 0) selected = i;
  }
  m_ui.iconPopup->setCurrentIndex(selected);
  m_ui.iconPopup->setEnabled(item && m_store.catalogIsWritable());
}

void ShortcutEditorController::showEnabledStates(const Shortcut* item) {
  const bool writable = m_store.catalogIsWritable();
  const bool editable = item && writable;
  m_ui.chooseImageButton->setEnabled(editable);
  m_ui.defaultImageButton->setEnabled(editable && item->icon.has_value());
  m_ui.removeButton->setEnabled(editable && item->isActive);
  m_ui.activateButton->setEnabled(editable && !item->isActive);
  m_ui.deleteButton->setEnabled(editable && !item->isStock());
  bool first = false;
  bool last = false;
  if (item) {
    const std::vector<int> own = indices(listShowing(*m_selectedIndex));
    first = own.front() == *m_selectedIndex;
    last = own.back() == *m_selectedIndex;
  }
  m_ui.upButton->setEnabled(editable && !first);
  m_ui.downButton->setEnabled(editable && !last);
  m_ui.undoButton->setEnabled(m_draft.canUndoRemoval() && writable);
  m_ui.addPopup->setEnabled(int(m_draft.items.size()) < catalogLimit && writable);
  m_ui.saveButton->setEnabled(writable);
}

void ShortcutEditorController::captureFields() {
  if (m_loading || !selectedItem()) return;
  Shortcut& item = m_draft.items[size_t(*m_selectedIndex)];
  item.label = m_ui.nameField->text();
  if (item.kind != ShortcutKind::web) return;
  const QString destination = pf::Text::trimmed(m_ui.destinationField->text());
  if (destination == item.destination) return;
  item.destination = destination;
  item.note = destination.isEmpty() ? notConfigured : QStringLiteral("Your configured destination");
}

void ShortcutEditorController::layoutDestination() {
  const QRect field = m_ui.destinationField->geometry();
  int width = 0;
  if (!m_ui.chooseButton->isHidden()) {
    width = std::max(0, m_ui.chooseButton->geometry().left() - 12 - field.left());
  } else {
    const QWidget* content = m_window ? m_window->contentView() : nullptr;
    width = content ? int(content->width() * 480.0 / Controls::designWidth) : 480;
  }
  m_ui.destinationField->setGeometry(field.left(), field.top(), width, field.height());
}

void ShortcutEditorController::setStatus(const QString& text) { m_ui.status->setText(text); }

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
  QListWidget* other = list == m_ui.table ? m_ui.inactiveTable : m_ui.table;
  if (!selected.isEmpty()) other->clearSelection();
  markSelection(m_ui.table);
  markSelection(m_ui.inactiveTable);
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
  m_ui.nameField->setFocus();
  m_ui.nameField->selectAll();
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
  const FileRequest request{
      QStringLiteral("Choose Button Image"), QStringLiteral("Use Image"),
      QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
      {pf::OpenPanel::nameFilter(QStringLiteral("Images"), ShortcutImageStore::allowedTypes())},
      pf::OpenPanel::Choice::file};
  askForFile(request, &ShortcutEditorController::selectImage, id);
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
  const FileRequest request{
      QStringLiteral("Choose ") + kindName(chosenFor.kind).toLower(), QStringLiteral("Choose"),
      application ? QString() : QStandardPaths::writableLocation(QStandardPaths::DownloadLocation), {},
      application ? pf::OpenPanel::Choice::application : pf::OpenPanel::Choice::folder};
  askForFile(request, &ShortcutEditorController::selectFile, chosenFor.id);
}

void ShortcutEditorController::askForFile(const FileRequest& request, Select select, const QString& id) {
  const QPointer<ShortcutEditorController> self(this);
  openPanel(request, [self, select, id](const QUrl& url) {
    if (!self) return;
    try {
      (self.data()->*select)(url, id);
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
