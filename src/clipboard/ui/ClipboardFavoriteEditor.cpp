#include "clipboard/ui/ClipboardFavoriteEditor.h"

#include "clipboard/EditedText.h"
#include "clipboard/ui/FavoriteWindowParts.h"
#include "motion/ui/ContentWindowLayout.h"
#include "motion/ui/ContentWindowSizing.h"
#include "platform/ui/Window.h"
#include "shortcuts/QuibError.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QTextDocument>

using FavoriteWindowParts::place;

namespace {

constexpr double baseHeight = 474;
const pf::Rect textFrame{22, 98, 456, 212};

/// Both buttons of the editor: the same size, on one line at the bottom.
QPushButton* favoriteButton(const QString& title, double x, QWidget* parent) {
  QPushButton* button = FavoriteWindowParts::button(parent, title);
  place(button, {x, 16, 100, 32}, baseHeight);
  return button;
}

/// The text as the text view holds it: paragraph breaks read as line feeds,
/// while line separators and non-breaking spaces stay what they are.
QString documentText(const QPlainTextEdit* view) {
  return view->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

}  // namespace

std::vector<ClipboardFavoriteList> ClipboardFavoriteEditor::builtInLists() {
  const auto& builtIns = ClipboardFavoriteList::builtIns();
  return {builtIns.begin(), builtIns.end()};
}

ClipboardFavoriteEditor::ClipboardFavoriteEditor(std::optional<ClipboardFavorite> item,
                                                 const std::vector<ClipboardFavoriteList>& lists,
                                                 const QString& defaultListID, pf::UserDefaults* defaults)
    : m_original(std::move(item)), m_draftID(m_original ? m_original->id : ClipboardFavorite::newID()) {
  for (const ClipboardFavoriteList& list : lists) m_listIDs << list.id;
  buildWindow(m_original.has_value());
  for (const ClipboardFavoriteList& list : lists) m_listPopup->addItem(list.name);
  const qsizetype target = m_listIDs.indexOf(m_original ? m_original->listID : defaultListID);
  m_listPopup->setCurrentIndex(lists.empty() ? -1 : int(std::max<qsizetype>(target, 0)));
  if (m_original) {
    m_nameField->setText(m_original->name);
    m_textView->setPlainText(m_original->text);
  }
  m_shownText = documentText(m_textView);

  QWidget* content = m_window->contentView();
  m_contentLayout = std::make_unique<ContentWindowLayout>(content, textFrame, true);
  m_contentSizing = std::make_unique<ContentWindowSizing>(m_window.get(), QStringLiteral("favoriteEditor"), defaults,
                                                          pf::Size{530, 474}, pf::Size{560, 535});
  m_window->center();
}

ClipboardFavoriteEditor::~ClipboardFavoriteEditor() {
  m_contentLayout.reset();
  m_contentSizing.reset();
}

void ClipboardFavoriteEditor::buildWindow(bool editing) {
  m_window = FavoriteWindowParts::glassWindow(
      editing ? QStringLiteral("Edit Clipboard Favorite") : QStringLiteral("New Clipboard Favorite"),
      {500, baseHeight});
  m_window->onWillClose = [this] {
    if (onClose) onClose();
  };
  QWidget* content = m_window->contentView();

  place(FavoriteWindowParts::label(content, QStringLiteral("Name"), 13), {22, 431, 456, 22}, baseHeight);
  m_nameField = new QLineEdit(content);
  m_nameField->setAccessibleName(QStringLiteral("Favorite name"));
  place(m_nameField, {22, 398, 456, 28}, baseHeight);
  place(FavoriteWindowParts::label(content, QStringLiteral("List"), 13), {22, 360, 48, 22}, baseHeight);
  m_listPopup = new QComboBox(content);
  m_listPopup->setAccessibleName(QStringLiteral("Favorite list"));
  place(m_listPopup, {80, 356, 398, 30}, baseHeight);
  place(FavoriteWindowParts::label(content, QStringLiteral("Text to copy"), 13), {22, 316, 456, 22}, baseHeight);

  // A plain text view pastes only the characters and substitutes nothing as the user types.
  m_textView = new QPlainTextEdit(content);
  m_textView->setAccessibleName(QStringLiteral("Favorite text"));
  m_textView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_textView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_textView->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_textView->setTabChangesFocus(false);
  m_textView->document()->setDocumentMargin(8);
  QFont textFont = m_textView->font();
  textFont.setPixelSize(15);
  m_textView->setFont(textFont);
  place(m_textView, textFrame, baseHeight);

  m_status = FavoriteWindowParts::statusLabel(content, 12, pf::Color::system(QStringLiteral("systemOrange")));
  m_status->setObjectName(QStringLiteral("status"));
  place(m_status, {22, 55, 456, 36}, baseHeight);

  connect(favoriteButton(QStringLiteral("Cancel"), 267, content), &QPushButton::clicked, this, [this] { cancel(); });
  m_window->installEventFilter(this);
  connect(favoriteButton(QStringLiteral("Save"), 378, content), &QPushButton::clicked, this, [this] { save(); });
}

bool ClipboardFavoriteEditor::eventFilter(QObject* watched, QEvent* event) {
  // Escape reaches the window from whichever field left it unhandled.
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
      static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
    cancel();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

QString ClipboardFavoriteEditor::typedText() const {
  // The text view turns CR LF and lone CRs into line feeds on the way in; the
  // parts of the text the user left as they were keep the breaks they came with.
  const QString shown = documentText(m_textView);
  return m_original ? EditedText::merged(m_original->text, m_shownText, shown) : shown;
}

ClipboardFavorite ClipboardFavoriteEditor::value() const {
  const int index = m_listPopup->currentIndex();
  if (index < 0 || index >= m_listIDs.size()) throw QuibError(QStringLiteral("Choose a list for this favorite."));
  ClipboardFavorite favorite{m_draftID, m_nameField->text(), typedText(), m_listIDs[index]};
  favorite.validate();
  return favorite;
}

void ClipboardFavoriteEditor::save() {
  if (onSave) {
    try {
      onSave(value());
    } catch (const std::exception& error) {
      m_status->setText(FavoriteWindowParts::sentence(error));
      return;
    }
  }
  m_window->close();
}

void ClipboardFavoriteEditor::cancel() { m_window->close(); }

void ClipboardFavoriteEditor::present() {
  m_window->makeKeyAndOrderFront();
  m_window->activateWindow();
  m_nameField->setFocus();
}
