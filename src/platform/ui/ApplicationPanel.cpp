#include "platform/ui/ApplicationPanel.h"

#include "platform/core/Text.h"
#include "platform/gfx/IconTheme.h"
#include "platform/gfx/Symbols.h"
#include "platform/ui/ToolTip.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {
namespace {

constexpr int iconSide = 32;

/// The picture of an application whose own icon cannot be found.
QIcon genericIcon() {
  QIcon icon;
  if (const auto symbol = Symbols::named(QStringLiteral("app.fill"), iconSide))
    icon.addPixmap(QPixmap::fromImage(symbol->rendered(QSize(iconSide, iconSide) * 2)));
  return icon;
}

bool isPath(const QString& text) { return text.startsWith(u'/'); }

}  // namespace

ApplicationPanel::ApplicationPanel(std::vector<InstalledApplication> applications, QWidget* parent)
    : QDialog(parent), m_applications(std::move(applications)) {
  m_search = new QLineEdit(this);
  m_search->setPlaceholderText(tr("Search by name or type a path"));
  m_search->setAccessibleName(tr("Application name or path"));
  m_search->setClearButtonEnabled(true);
  m_search->installEventFilter(this);
  m_list = new QListWidget(this);
  m_list->setIconSize(QSize(iconSide, iconSide));
  m_list->setUniformItemSizes(true);
  m_list->setAccessibleName(tr("Applications"));
  auto* cancel = new QPushButton(tr("Cancel"), this);
  m_chooseButton = new QPushButton(this);
  m_chooseButton->setDefault(true);
  cancel->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel);
  buttons->addWidget(m_chooseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_search);
  layout->addWidget(m_list);
  layout->addLayout(buttons);
  resize(440, 480);

  connect(m_search, &QLineEdit::textChanged, this, &ApplicationPanel::narrow);
  connect(m_list, &QListWidget::currentRowChanged, this, [this] { m_chooseButton->setEnabled(!choice().isEmpty()); });
  connect(m_list, &QListWidget::itemDoubleClicked, this, &ApplicationPanel::choose);
  connect(m_chooseButton, &QPushButton::clicked, this, &ApplicationPanel::choose);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  fillList();
  narrow({});
  m_search->setFocus();
}

void ApplicationPanel::setPrompt(const QString& prompt) { m_chooseButton->setText(prompt); }

void ApplicationPanel::fillList() {
  const QIcon generic = genericIcon();
  for (const InstalledApplication& application : m_applications) {
    const QIcon own = IconTheme::icon(application.icon);
    auto* row = new QListWidgetItem(own.isNull() ? generic : own, application.name, m_list);
    row->setToolTip(plainToolTip(application.path));
  }
}

void ApplicationPanel::narrow(const QString& text) {
  const bool path = isPath(text);
  int first = -1;
  for (int row = 0; row < m_list->count(); ++row) {
    const bool shown = !path && Text::containsCaseInsensitive(m_applications[size_t(row)].name, text.trimmed());
    m_list->item(row)->setHidden(!shown);
    if (shown && first < 0) first = row;
  }
  m_list->setCurrentRow(first);
  m_chooseButton->setEnabled(!choice().isEmpty());
}

QString ApplicationPanel::choice() const {
  const QString text = m_search->text().trimmed();
  if (isPath(text)) return QFileInfo(text).isFile() ? QDir::cleanPath(text) : QString();
  const int row = m_list->currentRow();
  if (row < 0 || m_list->item(row)->isHidden()) return {};
  return m_applications[size_t(row)].path;
}

void ApplicationPanel::choose() {
  const QString path = choice();
  if (path.isEmpty()) return;
  m_chosen = path;
  accept();
}

// The arrows and page keys move through the list while the search keeps the focus.
bool ApplicationPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      QCoreApplication::sendEvent(m_list, event);
      return true;
    default: return false;
  }
}

}  // namespace pf
