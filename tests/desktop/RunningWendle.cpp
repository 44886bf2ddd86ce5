#include "desktop/RunningWendle.h"

#include "desktop/DesktopHome.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>

namespace desk {

RunningWendle::RunningWendle(const DesktopHome& home, const QString& display) {
  m_process.setProcessEnvironment(home.environment(display));
  m_process.setWorkingDirectory(home.root());
  m_process.start(QStringLiteral(WENDLE_EXECUTABLE), {});
}

RunningWendle::~RunningWendle() {
  const qint64 pid = m_process.processId();
  // A pid of 0 would signal our whole process group.
  if (m_process.state() == QProcess::NotRunning || pid <= 0) return;
  ::kill(pid_t(pid), SIGKILL);
  m_process.waitForFinished(5000);
}

bool RunningWendle::ready() { return nextLine() == "ready"; }

QByteArray RunningWendle::nextLine() {
  const QDeadlineTimer deadline(10000);
  while (!m_process.canReadLine() && !deadline.hasExpired())
    if (!m_process.waitForReadyRead(int(deadline.remainingTime()))) break;
  return m_process.canReadLine() ? m_process.readLine().trimmed() : QByteArray();
}

QByteArray RunningWendle::ask(const QByteArray& command) {
  m_process.write(command + '\n');
  m_process.waitForBytesWritten();
  return nextLine();
}

std::vector<Seen> RunningWendle::look(WindowId window) {
  std::vector<Seen> seen;
  m_process.write("look " + QByteArray::number(qulonglong(window)) + '\n');
  m_process.waitForBytesWritten();
  for (QByteArray line = nextLine(); line.startsWith('{'); line = nextLine()) {
    const QJsonObject node = QJsonDocument::fromJson(line).object();
    const QJsonArray rect = node[u"rect"].toArray();
    seen.push_back({node[u"role"].toString(), QRect(rect[0].toInt(), rect[1].toInt(), rect[2].toInt(), rect[3].toInt()),
                    node[u"name"].toString(), node[u"value"].toString(), node[u"checked"].toBool()});
  }
  return seen;
}

std::optional<Seen> RunningWendle::find(WindowId window, const QString& text) {
  const std::vector<Seen> seen = look(window);
  for (const Seen& thing : seen)
    if (thing.name == text) return thing;
  for (const Seen& thing : seen)
    if (thing.value == text) return thing;
  return std::nullopt;
}

std::optional<Seen> RunningWendle::labelled(WindowId window, const QString& label) {
  const std::vector<Seen> seen = look(window);
  const auto text = std::find_if(seen.begin(), seen.end(), [&](const Seen& thing) { return thing.name == label; });
  if (text == seen.end()) return std::nullopt;
  std::optional<Seen> nearest;
  for (const Seen& thing : seen) {
    const bool onRow = std::abs(thing.rect.center().y() - text->rect.center().y()) <= text->rect.height() / 2;
    if (thing.role != text->role && onRow && thing.rect.left() > text->rect.left() &&
        (!nearest || thing.rect.left() < nearest->rect.left()))
      nearest = thing;
  }
  return nearest;
}

int RunningWendle::exitStatus(int ms) {
  if (!m_process.waitForFinished(ms) || m_process.exitStatus() != QProcess::NormalExit) return -1;
  return m_process.exitCode();
}

QByteArray RunningWendle::errors() {
  QByteArray errors = m_process.readAllStandardError();
  if (m_process.error() == QProcess::FailedToStart) errors += m_process.errorString().toUtf8();
  return errors;
}

}  // namespace desk
