#include "clipboard/ui/ClipboardFavoritesController.h"

#include "clipboard/ClipboardFavoritesQuery.h"
#include "clipboard/ClipboardFavoritesStore.h"
#include "clipboard/ui/ClipboardFavoriteEditor.h"
#include "clipboard/ui/ClipboardFavoriteTable.h"
#include "clipboard/ui/FavoriteWindowParts.h"
#include "look/QuibTheme.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/Window.h"
#include "widgets/DesignFrames.h"
#include "widgets/GlassSurface.h"
#include "widgets/GlassWindow.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

constexpr pf::Size baseSize{412, 464};
const pf::Rect tableFrame{22, 142, 368, 176};

const QString changedElsewhere =
    QStringLiteral("This favorite changed elsewhere. Review its latest text before copying.");

}  // namespace

ClipboardFavoritesController::ClipboardFavoritesController(std::unique_ptr<ClipboardFavoritesStore> store,
                                                           pf::Pasteboard* pasteboard, pf::UserDefaults* defaults)
    : m_store(std::move(store)),
      m_pasteboard(pasteboard ? *pasteboard : pf::Pasteboard::general()),
      m_windowDefaults(defaults) {
  buildWindow();
  refresh(std::nullopt);
}

ClipboardFavoritesController::~ClipboardFavoritesController() = default;

pf::Window* ClipboardFavoritesController::window() const { return m_glass->window(); }

void ClipboardFavoritesController::buildWindow() {
  m_glass = std::make_unique<GlassWindow>(QStringLiteral("Clipboard — Wendle"), baseSize);
  const QPointer<ClipboardFavoritesController> self(this);
  window()->onWillClose = [self] {
    if (!self) return;
    // A sheet closes with its window, answered Cancel, so it never acts on a window no longer there.
    if (QDialog* sheet = self->window()->attachedSheet()) sheet->reject();
    // The window is still on screen while it closes; the hold is judged once it has gone.
    QTimer::singleShot(0, self, [self] { self->updateHold(); });
  };
  buildControls(m_glass->content());
  m_glass->arrange({.stretchFrame = tableFrame,
                    .key = QStringLiteral("favorites"),
                    .defaults = m_windowDefaults,
                    .minimum = {360, 464},
                    .initial = {412, 530}});
}

void ClipboardFavoritesController::buildControls(QWidget* content) {
  DesignFrames::label(content, QStringLiteral("Clipboard"), {22, 416, 368, 28},
                      {.pixelSize = 21, .color = QuibTheme::text()});
  DesignFrames::label(content, QStringLiteral("List"), {22, 376, 38, 22}, {.color = QuibTheme::text()});
  m_listPopup = DesignFrames::place(new QComboBox(content), content, {58, 370, 198, 30});
  m_listPopup->setAccessibleName(QStringLiteral("Clipboard list"));
  connect(m_listPopup, &QComboBox::activated, this, [this] { listChanged(); });

  m_listOptions = DesignFrames::button(content, QStringLiteral("Options…"), {266, 370, 124, 30});
  m_listOptions->setAccessibleName(QStringLiteral("List options"));
  auto* options = new QMenu(m_listOptions);
  m_newListItem = options->addAction(QStringLiteral("New List…"), this, [this] { listOption(1); });
  m_renameListItem = options->addAction(QStringLiteral("Rename List…"), this, [this] { listOption(2); });
  m_deleteListItem = options->addAction(QStringLiteral("Delete List…"), this, [this] { listOption(3); });
  m_listOptions->setMenu(options);

  m_search = new QLineEdit(content);
  m_search->setPlaceholderText(QStringLiteral("Find saved text"));
  m_search->setAccessibleName(QStringLiteral("Find clipboard items"));
  m_search->setClearButtonEnabled(true);
  DesignFrames::place(m_search, content, {22, 332, 368, 28});
  connect(m_search, &QLineEdit::textChanged, this, [this] { filterChanged(); });

  m_table = new ClipboardFavoriteTable(content);
  DesignFrames::place(m_table, content, tableFrame);
  m_table->onSelectionChanged = [this] { selectionChanged(); };
  m_table->onDoubleClick = [this] { copySelected(); };

  const auto makeButton = [&](const QString& title, const pf::Rect& frame, void (ClipboardFavoritesController::*action)()) {
    QPushButton* button = DesignFrames::button(content, title, frame);
    connect(button, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
    return button;
  };
  using C = ClipboardFavoritesController;
  m_newButton = makeButton(QStringLiteral("New…"), {20, 98, 116, 32}, &C::newFavorite);
  FavoriteWindowParts::tintButton(m_newButton, pf::Color::system(QStringLiteral("systemGreen")));
  m_editButton = makeButton(QStringLiteral("Edit…"), {142, 98, 116, 32}, &C::editSelected);
  m_editButton->setToolTip(QStringLiteral("View or edit the complete saved text."));
  m_deleteButton = makeButton(QStringLiteral("Delete…"), {264, 98, 128, 32}, &C::deleteSelected);
  FavoriteWindowParts::tintButton(m_deleteButton, pf::Color::system(QStringLiteral("systemRed")));
  m_copyButton = makeButton(QStringLiteral("Copy"), {20, 48, 372, 42}, &C::copySelected);
  QFont copyFont = m_copyButton->font();
  copyFont.setPixelSize(15);
  copyFont.setWeight(QFont::DemiBold);
  m_copyButton->setFont(copyFont);
  FavoriteWindowParts::tintButton(m_copyButton, QuibTheme::accent());
  m_copyButton->setToolTip(QStringLiteral("Copy the exact saved text. This does not paste or send it."));

  m_status = DesignFrames::label(
      content, {}, {22, 10, 368, 32},
      {.pixelSize = 11, .color = pf::Color::system(QStringLiteral("secondaryLabelColor")), .wraps = true});
  m_status->setObjectName(QStringLiteral("status"));
}

void ClipboardFavoritesController::present() {
  try {
    m_store->reload();
  } catch (const std::exception&) {
    // The store keeps the reason, and the status line shows it.
  }
  refresh(std::nullopt);
  if (positionWindow) positionWindow(window());
  window()->makeKeyAndOrderFront();
  window()->activateWindow();
  updateHold();
}

const std::vector<ClipboardFavorite>& ClipboardFavoritesController::rows() const { return m_table->rows(); }

std::optional<ClipboardFavorite> ClipboardFavoritesController::selected() const {
  const int row = m_table->selectedRow();
  const std::vector<ClipboardFavorite>& rows = m_table->rows();
  if (row < 0 || std::size_t(row) >= rows.size()) return std::nullopt;
  return rows[std::size_t(row)];
}

std::optional<ClipboardFavoriteList> ClipboardFavoritesController::selectedList() const {
  if (!m_selectedListID) return std::nullopt;
  for (const ClipboardFavoriteList& list : m_store->lists())
    if (list.id == *m_selectedListID) return list;
  return std::nullopt;
}

void ClipboardFavoritesController::refresh(const std::optional<QString>& selectID) {
  std::optional<QString> keep = selectID;
  if (!keep) {
    if (const std::optional<ClipboardFavorite> current = selected()) keep = current->id;
  }
  if (m_selectedListID && !selectedList()) m_selectedListID = ClipboardFavoriteList::othersID;

  {
    const QSignalBlocker quiet(m_listPopup);
    m_listPopup->clear();
    m_listPopup->addItem(QStringLiteral("All"));
    int chosen = 0;
    for (const ClipboardFavoriteList& list : m_store->lists()) {
      m_listPopup->addItem(list.name);
      if (m_selectedListID == list.id) chosen = m_listPopup->count() - 1;
    }
    m_listPopup->setCurrentIndex(chosen);
  }

  const bool usable = !m_store->failure();
  const std::optional<ClipboardFavoriteList> list = selectedList();
  m_listOptions->setEnabled(usable);
  m_newListItem->setEnabled(usable);
  m_renameListItem->setEnabled(usable && list && list->canRename());
  m_deleteListItem->setEnabled(usable && list && list->canDelete());

  // The table keeps the only copy of the rows.
  m_table->setRows(usable ? ClipboardFavoritesQuery{m_selectedListID, m_search->text()}.filter(m_store->items())
                          : std::vector<ClipboardFavorite>{});
  const std::vector<ClipboardFavorite>& rows = m_table->rows();
  int row = rows.empty() ? -1 : 0;
  if (keep) {
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [&](const ClipboardFavorite& favorite) { return favorite.id == *keep; });
    if (found != rows.end()) row = int(found - rows.begin());
  }
  m_table->selectRow(row);
  selectionChanged();
}

void ClipboardFavoritesController::selectionChanged() {
  const bool enabled = selected() && !m_store->failure();
  m_copyButton->setEnabled(enabled);
  m_editButton->setEnabled(enabled);
  m_deleteButton->setEnabled(enabled);
  m_status->setText(statusText());
}

QString ClipboardFavoritesController::statusText() const {
  if (m_store->failure()) return *m_store->failure();
  if (!rows().empty())
    return QString::number(rows().size()) + QStringLiteral(" shown · Select an item and Copy, or double-click it.");
  if (!m_search->text().isEmpty()) return QStringLiteral("No matching favorites in this list.");
  const std::optional<ClipboardFavoriteList> list = selectedList();
  return QStringLiteral("No favorites in ") + (list ? list->name : QStringLiteral("All")) +
         QStringLiteral(". Use New… to save your text.");
}

void ClipboardFavoritesController::updateHold() {
  if (!onHold) return;
  onHold(window()->isVisible() || (m_editor && m_editor->window()->isVisible()));
}

void ClipboardFavoritesController::selectList(const std::optional<QString>& listID) {
  m_selectedListID = listID;
  refresh(std::nullopt);
}

void ClipboardFavoritesController::listChanged() {
  const int index = m_listPopup->currentIndex() - 1;
  const auto& lists = m_store->lists();
  selectList(index >= 0 && std::size_t(index) < lists.size() ? std::optional(lists[std::size_t(index)].id)
                                                             : std::nullopt);
}

void ClipboardFavoritesController::filterChanged() { refresh(std::nullopt); }

void ClipboardFavoritesController::listOption(int index) {
  if (index == 1) {
    promptForListName(std::nullopt);
    return;
  }
  const std::optional<ClipboardFavoriteList> list = selectedList();
  if (!list) return;
  if (index == 2 && list->canRename()) promptForListName(list);
  if (index == 3) deleteSelectedList();
}

void ClipboardFavoritesController::newList() { promptForListName(std::nullopt); }

ClipboardFavoriteList ClipboardFavoritesController::createList(const QString& name) {
  ClipboardFavoriteList list = m_store->addList(name);
  m_search->clear();
  selectList(list.id);
  return list;
}

void ClipboardFavoritesController::promptForListName(const std::optional<ClipboardFavoriteList>& list) {
  auto* alert = new pf::Alert;
  alert->setMessageText(list ? QStringLiteral("Rename “") + list->name + QStringLiteral("”")
                             : QStringLiteral("New clipboard list"));
  alert->setInformativeText(QStringLiteral("List name"));
  auto* field = new QLineEdit(list ? list->name : QString());
  field->setAccessibleName(QStringLiteral("Clipboard list name"));
  field->setFixedSize(280, 26);
  alert->setAccessoryView(field);
  alert->addButton(list ? QStringLiteral("Rename") : QStringLiteral("Create"));
  alert->addButton(QStringLiteral("Cancel"));
  const QPointer<ClipboardFavoritesController> self(this);
  const QPointer<QLineEdit> input(field);
  alert->beginSheet(window(), [self, input, list](int response) {
    if (!self || !input || response != pf::Alert::firstButtonResponse) return;
    try {
      if (list)
        self->renameList(*list, input->text());
      else
        self->createList(input->text());
    } catch (const std::exception& error) {
      self->showError(error);
    }
  });
  field->setFocus();
}

void ClipboardFavoritesController::renameList(const ClipboardFavoriteList& list, const QString& name) {
  m_store->renameList(list, name);
  refresh(std::nullopt);
}

void ClipboardFavoritesController::deleteSelectedList() {
  const std::optional<ClipboardFavoriteList> list = selectedList();
  if (!list || !list->canDelete() || m_store->failure() || window()->attachedSheet()) return;
  auto* alert = new pf::Alert;
  alert->setStyle(pf::Alert::Style::warning);
  alert->setMessageText(QStringLiteral("Delete “") + list->name + QStringLiteral("” list?"));
  alert->setInformativeText(QStringLiteral(
      "This removes the list. All of its saved favorites will move to Others. No saved text will be deleted."));
  alert->addButton(QStringLiteral("Cancel"));
  alert->addButton(QStringLiteral("Delete List"));
  const QPointer<ClipboardFavoritesController> self(this);
  alert->beginSheet(window(), [self, list = *list](int response) {
    if (!self || response != pf::Alert::firstButtonResponse + 1) return;
    try {
      self->m_store->deleteList(list);
      self->m_search->clear();
      self->selectList(ClipboardFavoriteList::othersID);
    } catch (const std::exception& error) {
      self->showError(error);
    }
  });
}

void ClipboardFavoritesController::newFavorite() { edit(std::nullopt); }

void ClipboardFavoritesController::editSelected() {
  if (const std::optional<ClipboardFavorite> favorite = selected()) edit(favorite);
}

void ClipboardFavoritesController::edit(const std::optional<ClipboardFavorite>& favorite) {
  if (m_editor && m_editor->window()->isVisible()) {
    m_editor->window()->makeKeyAndOrderFront();
    return;
  }
  m_editor = std::make_unique<ClipboardFavoriteEditor>(
      favorite, m_store->lists(), m_selectedListID.value_or(ClipboardFavoriteList::othersID), m_windowDefaults);
  const QPointer<ClipboardFavoritesController> self(this);
  m_editor->onSave = [self, expected = favorite](const ClipboardFavorite& saved) {
    if (self) self->saveFromEditor(saved, expected);
  };
  m_editor->onClose = [self] {
    QTimer::singleShot(0, self, [self] { self->updateHold(); });
  };
  if (positionWindow) positionWindow(m_editor->window());
  m_editor->present();
  updateHold();
}

void ClipboardFavoritesController::saveFromEditor(const ClipboardFavorite& favorite,
                                                  const std::optional<ClipboardFavorite>& expected) {
  m_store->save(favorite, expected);
  m_search->clear();
  if (m_selectedListID) m_selectedListID = favorite.listID;
  refresh(favorite.id);
}

void ClipboardFavoritesController::deleteSelected() {
  const std::optional<ClipboardFavorite> favorite = selected();
  if (!favorite) return;
  auto* alert = new pf::Alert;
  alert->setStyle(pf::Alert::Style::warning);
  alert->setMessageText(QStringLiteral("Delete “") + favorite->name + QStringLiteral("”?"));
  alert->setInformativeText(QStringLiteral(
      "This removes this saved favorite from Wendle. Text you already copied stays on the clipboard."));
  alert->addButton(QStringLiteral("Cancel"));
  alert->addButton(QStringLiteral("Delete"));
  const QPointer<ClipboardFavoritesController> self(this);
  alert->beginSheet(window(), [self, favorite = *favorite](int response) {
    if (!self || response != pf::Alert::firstButtonResponse + 1) return;
    try {
      self->m_store->deleteFavorite(favorite);
      self->refresh(std::nullopt);
    } catch (const std::exception& error) {
      self->showError(error);
    }
  });
}

void ClipboardFavoritesController::copySelected() {
  const std::optional<ClipboardFavorite> chosen = selected();
  if (!chosen) return;
  try {
    m_store->reload();
  } catch (const std::exception& error) {
    showError(error);
    return;
  }
  const auto& items = m_store->items();
  const bool unchanged = std::find(items.begin(), items.end(), *chosen) != items.end();
  if (!unchanged) {
    refresh(std::nullopt);
    m_status->setText(changedElsewhere);
    return;
  }
  // Written over what the clipboard holds, never cleared first: a refused
  // write leaves the user's clipboard as it was.
  if (!m_pasteboard.setString(chosen->text)) {
    m_status->setText(QStringLiteral("Couldn’t copy this text. Try Copy again."));
    return;
  }
  m_status->setText(QStringLiteral("Copied “") + chosen->name + QStringLiteral("”. Paste it wherever you need it."));
}

void ClipboardFavoritesController::showError(const std::exception& error) {
  m_status->setText(FavoriteWindowParts::sentence(error));
}
