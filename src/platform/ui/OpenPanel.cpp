#include "platform/ui/OpenPanel.h"

#include "platform/ui/ApplicationPanel.h"
#include "platform/ui/Window.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>

namespace pf {
namespace {

QDialog* fileDialog(Window* window, const OpenPanel::Request& request, const OpenPanel::Chosen& chosen) {
  auto* dialog = new QFileDialog(window, request.title, OpenPanel::existingFolder(request.directory));
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setLabelText(QFileDialog::Accept, request.prompt);
  // Qt's default size cuts off the size, type and date columns.
  dialog->resize(780, 500);
  const bool folders = request.choice == OpenPanel::Choice::folder;
  dialog->setFileMode(folders ? QFileDialog::Directory : QFileDialog::ExistingFile);
  if (folders) dialog->setOption(QFileDialog::ShowDirsOnly);
  if (!request.nameFilters.isEmpty()) dialog->setNameFilters(request.nameFilters);
  // Qt's own dialog reports an accepted choice through fileSelected only:
  // urlSelected comes from native dialogs alone.
  QObject::connect(dialog, &QFileDialog::fileSelected, dialog, [chosen](const QString& path) {
    if (!path.isEmpty()) chosen(QUrl::fromLocalFile(path));
  });
  return dialog;
}

QDialog* applicationPanel(Window* window, const OpenPanel::Request& request, const OpenPanel::Chosen& chosen) {
  auto* panel = new ApplicationPanel(installedApplications(), window);
  panel->setWindowTitle(request.title);
  panel->setPrompt(request.prompt);
  QObject::connect(panel, &QDialog::accepted, panel, [panel, chosen] {
    chosen(QUrl::fromLocalFile(panel->chosenPath()));
  });
  return panel;
}

}  // namespace

QDialog* OpenPanel::begin(Window* window, const Request& request, Chosen chosen) {
  QDialog* panel = request.choice == Choice::application ? applicationPanel(window, request, chosen)
                                                         : fileDialog(window, request, chosen);
  panel->setAttribute(Qt::WA_DeleteOnClose);
  panel->setWindowModality(Qt::WindowModal);
  if (window) window->setAttachedSheet(panel);
  panel->open();
  return panel;
}

QString OpenPanel::existingFolder(const QString& directory) {
  QString folder = QDir::cleanPath(QDir(QDir::homePath()).absoluteFilePath(directory));
  while (!QFileInfo(folder).isDir() && folder != QDir::rootPath())
    folder = QFileInfo(folder).path();
  return folder;
}

QString OpenPanel::nameFilter(const QString& title, const QStringList& mimeTypes) {
  const QMimeDatabase database;
  QStringList patterns;
  for (const QString& type : mimeTypes) {
    for (const QString& pattern : database.mimeTypeForName(type).globPatterns()) {
      for (const QString& spelling : {pattern.toLower(), pattern.toUpper()})
        if (!patterns.contains(spelling)) patterns.append(spelling);
    }
  }
  return title + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

}  // namespace pf
