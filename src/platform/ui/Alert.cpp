#include "platform/ui/Alert.h"

#include "platform/ui/Window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace pf {

Alert::Alert(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  auto* outer = new QVBoxLayout(this);
  auto* body = new QHBoxLayout;
  m_icon = new QLabel(this);
  m_icon->setAlignment(Qt::AlignTop);
  m_texts = new QVBoxLayout;
  // Alerts quote names people typed; those are shown as they are, never as markup.
  m_message = new QLabel(this);
  m_message->setTextFormat(Qt::PlainText);
  m_message->setWordWrap(true);
  QFont bold = m_message->font();
  bold.setBold(true);
  m_message->setFont(bold);
  m_informative = new QLabel(this);
  m_informative->setTextFormat(Qt::PlainText);
  m_informative->setWordWrap(true);
  m_informative->hide();
  m_texts->addWidget(m_message);
  m_texts->addWidget(m_informative);
  body->addWidget(m_icon);
  body->addLayout(m_texts, 1);
  outer->addLayout(body);
  m_buttonRow = new QHBoxLayout;
  m_buttonRow->addStretch(1);
  outer->addLayout(m_buttonRow);
  setMinimumWidth(420);
  setStyle(Style::warning);
}

QString Alert::messageText() const { return m_message->text(); }

void Alert::setMessageText(const QString& text) { m_message->setText(text); }

QString Alert::informativeText() const { return m_informative->text(); }

void Alert::setInformativeText(const QString& text) {
  m_informative->setText(text);
  m_informative->setVisible(!text.isEmpty());
}

void Alert::setStyle(Style style) {
  const QStyle::StandardPixmap pixmap = style == Style::critical ? QStyle::SP_MessageBoxCritical
                                        : style == Style::warning
                                            ? QStyle::SP_MessageBoxWarning
                                            : QStyle::SP_MessageBoxInformation;
  m_icon->setPixmap(this->style()->standardIcon(pixmap).pixmap(48, 48));
}

QPushButton* Alert::addButton(const QString& title) {
  auto* button = new QPushButton(title, this);
  const int response = firstButtonResponse + int(m_buttons.size());
  button->setAutoDefault(false);
  button->setDefault(m_buttons.isEmpty());
  connect(button, &QPushButton::clicked, this, [this, response] { done(response); });
  m_buttons.append(button);
  // Each new button goes to the left of those before it.
  m_buttonRow->insertWidget(1, button);
  return button;
}

void Alert::setDefaultButton(int index) {
  for (int i = 0; i < m_buttons.size(); ++i) m_buttons[i]->setDefault(i == index);
}

void Alert::setAccessoryView(QWidget* view) {
  delete m_accessory;
  m_accessory = view;
  if (view) m_texts->addWidget(view);
}

void Alert::beginSheet(Window* window, std::function<void(int)> completion) {
  if (m_buttons.isEmpty()) addButton(tr("OK"));
  setParent(window, windowFlags());
  if (window) window->setAttachedSheet(this);
  connect(this, &QDialog::finished, this, [this, window = QPointer<Window>(window),
                                           completion = std::move(completion)](int response) {
    if (window && window->attachedSheet() == this) window->setAttachedSheet(nullptr);
    if (completion) completion(response);
    deleteLater();
  });
  open();
}

int Alert::runModal() {
  if (m_buttons.isEmpty()) addButton(tr("OK"));
  setWindowModality(Qt::ApplicationModal);
  return exec();
}

void Alert::reject() {
  // Escape and the window's close answer only through a "Cancel" button.
  for (QPushButton* button : m_buttons) {
    if (button->text() == QStringLiteral("Cancel")) {
      button->click();
      return;
    }
  }
}

}  // namespace pf
