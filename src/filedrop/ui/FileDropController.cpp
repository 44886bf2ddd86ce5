#include "filedrop/ui/FileDropController.h"

#include "filedrop/FileDropTransfer.h"
#include "look/QuibTheme.h"
#include "platform/core/FileURL.h"
#include "platform/ui/Window.h"
#include "shortcuts/QuibError.h"
#include "shortcuts/ShortcutStore.h"
#include "widgets/DesignFrames.h"
#include "widgets/GlassSurface.h"
#include "widgets/GlassWindow.h"
#include "widgets/GlassSurface.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QThreadPool>
#include <algorithm>

namespace {

constexpr pf::Size baseSize{570, 480};
const pf::Rect fileListFrame{22, 262, 526, 149};

/// Runs the transfer on the global pool.
void executeInBackground(const QList<QUrl>& sources, const QUrl& folder, FileDropOperation operation,
                         std::function<void(std::vector<FileDropResult>)> completion) {
  QThreadPool::globalInstance()->start(
      [=] { completion(FileDropTransfer::run(sources, folder, operation, FileDropFileManager::shared())); });
}

/// A path for people to read; a name that is not UTF-8 shows U+FFFD where its odd bytes are.
QString displayPath(const QByteArray& path) { return QFile::decodeName(path); }

QByteArray pathOf(const QUrl& url) { return pf::FileURL::localPath(url).value_or(QByteArray()); }

QString sourceName(const QUrl& url) { return displayPath(pf::FileURL::fileName(pathOf(url))); }

QString parentFolder(const QUrl& url) { return displayPath(pf::FileURL::parentPath(pathOf(url))); }

QString itemListText(const QList<QUrl>& sources) {
  QStringList entries;
  for (const QUrl& source : sources)
    entries << sourceName(source) + u'\n' + parentFolder(source);
  return entries.join(QStringLiteral("\n\n"));
}

QString resultText(const FileDropResult& result, const QString& verb) {
  const QString name = sourceName(result.source);
  if (result.succeeded())
    return name + QStringLiteral(" — ") + verb + u'\n' + displayPath(pathOf(result.destination.value_or(QUrl())));
  QString text = name + QStringLiteral(" — Not completed\n") + *result.error + QStringLiteral("\nSource: ") +
                 displayPath(pathOf(result.source));
  if (result.destination) text += QStringLiteral("\nCheck destination: ") + displayPath(pathOf(*result.destination));
  return text;
}

QString summaryText(const std::vector<FileDropResult>& results, const QString& verb) {
  const auto total = qsizetype(results.size());
  const auto succeeded = qsizetype(std::count_if(results.begin(), results.end(),
                                                 [](const FileDropResult& result) { return result.succeeded(); }));
  if (succeeded == total)
    return QStringLiteral("%1 %2 item%3.").arg(verb).arg(total).arg(total == 1 ? "" : "s");
  return QStringLiteral("%1 %2 of %3. Check the details above; failed items were not retried.")
      .arg(verb)
      .arg(succeeded)
      .arg(total);
}

}  // namespace

FileDropController::FileDropController(std::shared_ptr<ShortcutStore> store)
    : m_store(std::move(store)) {
  execute = executeInBackground;
  buildWindow();
}

FileDropController::~FileDropController() = default;

pf::Window* FileDropController::window() const { return m_glass->window(); }

void FileDropController::buildWindow() {
  m_glass = std::make_unique<GlassWindow>(QStringLiteral("Move or Copy Files"), baseSize);
  window()->setLevel(pf::WindowLevel::floating);
  window()->shouldClose = [this] { return !m_isBusy; };
  window()->onWillClose = [this] { windowWillClose(); };
  QWidget* view = m_glass->content();
  const auto wrapping = [](double pixelSize, const pf::Color& color) {
    return DesignFrames::TextStyle{.pixelSize = pixelSize, .color = color, .wraps = true};
  };

  m_summary = DesignFrames::label(view, {}, {22, 423, 526, 38}, wrapping(17, QuibTheme::text()));
  m_summary->setObjectName(QStringLiteral("summary"));
  QFont heading = m_summary->font();
  heading.setWeight(QFont::DemiBold);
  m_summary->setFont(heading);
  m_fileList = DesignFrames::place(new QPlainTextEdit(view), view, fileListFrame);
  m_fileList->setReadOnly(true);
  m_fileList->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  m_fileList->setAccessibleName(QStringLiteral("Dropped files and transfer results"));
  m_fileList->document()->setDocumentMargin(7);
  QFont listFont = m_fileList->font();
  listFont.setPixelSize(13);
  m_fileList->setFont(listFont);
  DesignFrames::setTextColor(m_fileList, QuibTheme::text());
  // The glass shows through the list.
  QPalette clear = m_fileList->palette();
  clear.setColor(QPalette::Base, Qt::transparent);
  m_fileList->setPalette(clear);
  m_fileList->viewport()->setAutoFillBackground(false);
  auto* folderCaption = DesignFrames::place(new QLabel(QStringLiteral("Saved folder"), view), view, {22, 227, 130, 22});
  DesignFrames::setTextColor(folderCaption, QuibTheme::text());
  m_folderPopup = DesignFrames::place(new QComboBox(view), view, {150, 222, 398, 30});
  m_folderPopup->setAccessibleName(QStringLiteral("Destination saved folder"));
  connect(m_folderPopup, &QComboBox::currentIndexChanged, this, [this] { folderChanged(); });
  m_folderPath = DesignFrames::label(view, {}, {22, 173, 526, 42}, wrapping(12, QuibTheme::secondary()));
  m_folderPath->setObjectName(QStringLiteral("folderPath"));
  DesignFrames::label(view,
                      QStringLiteral("Copy keeps the originals. Move removes them from their old location. Existing "
                                     "files are never replaced; matching names get a number."),
                      {22, 112, 526, 53}, wrapping(12, QuibTheme::text()));
  m_status = DesignFrames::label(view, {}, {22, 61, 526, 44},
                                 wrapping(12, pf::Color::system(QStringLiteral("systemOrange"))));
  m_status->setObjectName(QStringLiteral("status"));

  const auto button = [&](const QString& title, const pf::Rect& frame, void (FileDropController::*action)()) {
    QPushButton* made = DesignFrames::button(view, title, frame);
    connect(made, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
    return made;
  };
  m_editButton = button(QStringLiteral("Edit saved folders…"), {22, 18, 173, 32}, &FileDropController::editFolders);
  m_cancelButton = button(QStringLiteral("Cancel"), {237, 18, 94, 32}, &FileDropController::cancel);
  m_copyButton = button(QStringLiteral("Copy"), {342, 18, 98, 32}, &FileDropController::copyFiles);
  m_moveButton = button(QStringLiteral("Move"), {451, 18, 97, 32}, &FileDropController::moveFiles);
  connect(new QShortcut(Qt::Key_Escape, window()), &QShortcut::activated, this, [this] { cancel(); });

  m_glass->arrange({.stretchFrame = fileListFrame,
                    .readable = false,
                    .key = QStringLiteral("fileDrop"),
                    .defaults = &m_store->defaults(),
                    .minimum = {570, 480},
                    .initial = {600, 500}});
}

bool FileDropController::present(const QList<QUrl>& urls) {
  if (m_isBusy) return false;
  const QList<QUrl> incoming = FileDropTransfer::uniqueSources(urls);
  if (incoming.isEmpty()) return false;
  m_sources = window()->isVisible() && !m_isFinished ? FileDropTransfer::uniqueSources(m_sources + incoming)
                                                     : incoming;
  m_isFinished = false;
  m_status->setText(QStringLiteral("Choose a folder, then click Copy or Move."));
  m_summary->setText(m_sources.size() == 1
                         ? QStringLiteral("Where should this item go?")
                         : QStringLiteral("Where should these %1 items go?").arg(m_sources.size()));
  m_fileList->setPlainText(itemListText(m_sources));

  m_folders.clear();
  for (const Shortcut& shortcut : m_store->activeShortcuts())
    if (shortcut.kind == ShortcutKind::folder && !shortcut.destination.isEmpty()) m_folders.push_back(shortcut);
  const QSignalBlocker quiet(m_folderPopup);
  m_folderPopup->clear();
  for (const Shortcut& folder : m_folders) m_folderPopup->addItem(folder.label);
  if (m_folders.empty()) {
    m_folderPopup->addItem(QStringLiteral("No active saved folders"));
    m_status->setText(QStringLiteral("Add or activate a folder in Edit Shortcuts, then drop your files again."));
  }

  m_cancelButton->setText(QStringLiteral("Cancel"));
  updateControls();
  folderChanged();
  if (onHold) onHold(true);
  if (positionWindow) positionWindow(window());
  window()->makeKeyAndOrderFront();
  m_folderPopup->setFocus();
  return true;
}

void FileDropController::updateControls() {
  const bool choosing = !m_isBusy && !m_isFinished && !m_folders.empty();
  m_folderPopup->setEnabled(choosing);
  m_copyButton->setEnabled(choosing);
  m_moveButton->setEnabled(choosing);
  m_editButton->setEnabled(!m_isBusy);
  m_cancelButton->setEnabled(!m_isBusy);
  window()->setCloseButtonEnabled(!m_isBusy);
}

void FileDropController::folderChanged() {
  const int index = m_folderPopup->currentIndex();
  m_folderPath->setText(index >= 0 && std::size_t(index) < m_folders.size() ? m_folders[std::size_t(index)].destination
                                                                           : QString());
}

void FileDropController::begin(FileDropOperation operation) {
  const int index = m_folderPopup->currentIndex();
  if (m_isBusy || m_isFinished || m_sources.isEmpty() || index < 0 || std::size_t(index) >= m_folders.size()) return;
  const Shortcut& listed = m_folders[std::size_t(index)];
  const std::optional<Shortcut> current = m_store->item(listed.id);
  if (!current || current->kind != ShortcutKind::folder || !current->isActive ||
      current->destination != listed.destination) {
    m_status->setText(QStringLiteral("That saved folder changed. Close this window and drop the files again."));
    return;
  }
  QUrl folder;
  try {
    folder = m_store->resolvedURL(*current);
  } catch (const QuibError& error) {
    m_status->setText(error.message());
    return;
  }
  m_isBusy = true;
  updateControls();
  m_status->setText(operation == FileDropOperation::copy ? QStringLiteral("Copying…") : QStringLiteral("Moving…"));
  const QPointer<FileDropController> self(this);
  // The completion comes from the worker; it is carried over to the main
  // thread and dropped when the controller is gone.
  execute(m_sources, folder, operation, [self, operation](std::vector<FileDropResult> results) {
    QMetaObject::invokeMethod(self, [self, operation, results = std::move(results)] {
      if (self) self->finish(operation, results);
    }, Qt::QueuedConnection);
  });
}

void FileDropController::finish(FileDropOperation operation, const std::vector<FileDropResult>& results) {
  m_isBusy = false;
  m_isFinished = true;
  updateControls();
  m_cancelButton->setText(QStringLiteral("Done"));
  const QString verb = operation == FileDropOperation::copy ? QStringLiteral("Copied") : QStringLiteral("Moved");
  m_status->setText(summaryText(results, verb));
  QStringList entries;
  for (const FileDropResult& result : results) entries << resultText(result, verb);
  m_fileList->setPlainText(entries.join(QStringLiteral("\n\n")));
}

void FileDropController::cancel() {
  if (!m_isBusy) window()->close();
}

void FileDropController::editFolders() {
  if (m_isBusy) return;
  window()->close();
  if (onEditFolders) onEditFolders();
}

void FileDropController::windowWillClose() {
  if (m_isBusy) return;
  m_sources.clear();
  if (onHold) onHold(false);
}
