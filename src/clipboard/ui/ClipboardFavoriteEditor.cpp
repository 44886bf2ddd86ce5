#include "clipboard/ui/ClipboardFavoriteEditor.h"

#include "clipboard/EditedText.h"
#include "clipboard/ui/FavoriteWindowParts.h"
#include "look/QuibTheme.h"
#include "platform/ui/Window.h"
#include "shortcuts/QuibError.h"
#include "widgets/DesignFrames.h"
#include "widgets/GlassSurface.h"
#include "widgets/GlassWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QTextDocument>

namespace {

constexpr pf::Size baseSize{500, 474};
const pf::Rect textFrame{22, 98, 456, 212};

/// Both buttons of the editor: the same size, on one line at the bottom.
QPushButton* favoriteButton(const QString& title, double x, QWidget* parent) {
  return DesignFrames::button(parent, title, {x, 16, 100, 32});
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

  m_glass->arrange({.stretchFrame = textFrame,
                    .key = QStringLiteral("favoriteEditor"),
                    .defaults = defaults,
                    .minimum = {530, 474},
                    .initial = {560, 535}});
}

ClipboardFavoriteEditor::~ClipboardFavoriteEditor() = default;

pf::Window* ClipboardFavoriteEditor::window() const { return m_glass->window(); }

void ClipboardFavoriteEditor::buildWindow(bool editing) {
  m_glass = std::make_unique<GlassWindow>(
      editing ? QStringLiteral("Edit Clipboard Favorite") : QStringLiteral("New Clipboard Favorite"), baseSize);
  window()->onWillClose = [this] {
    if (onClose) onClose();
  };
  QWidget* content = m_glass->content();
  const DesignFrames::TextStyle caption{.color = QuibTheme::text()};

  DesignFrames::label(content, QStringLiteral("Name"), {22, 431, 456, 22}, caption);
  m_nameField = DesignFrames::place(new QLineEdit(content), content, {22, 398, 456, 28});
  m_nameField->setAccessibleName(QStringLiteral("Favorite name"));
  DesignFrames::label(content, QStringLiteral("List"), {22, 360, 48, 22}, caption);
  m_listPopup = DesignFrames::place(new QComboBox(content), content, {80, 356, 398, 30});
  m_listPopup->setAccessibleName(QStringLiteral("Favorite list"));
  DesignFrames::label(content, QStringLiteral("Text to copy"), {22, 316, 456, 22}, caption);

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
  DesignFrames::place(m_textView, content, textFrame);

  const pf::Color orange = pf::Color::system(QStringLiteral("systemOrange"));
  m_status = DesignFrames::label(content, {}, {22, 55, 456, 36}, {.pixelSize = 12, .color = orange, .wraps = true});
  m_status->setObjectName(QStringLiteral("status"));

  connect(favoriteButton(QStringLiteral("Cancel"), 267, content), &QPushButton::clicked, this, [this] { cancel(); });
  window()->installEventFilter(this);
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
  window()->close();
}

void ClipboardFavoriteEditor::cancel() { window()->close(); }

void ClipboardFavoriteEditor::present() {
  window()->makeKeyAndOrderFront();
  window()->activateWindow();
  m_nameField->setFocus();
}
