// Another program on the suite's desktop: a plain window of black and white
// stripes that says on standard output when it is shown ("ready") and
// pressed ("pressed <x> <y>", on screen). Given files, a press starts
// dragging them, as a file manager does: it says "carrying" once the drag
// follows the pointer, then what the pointer would show, "accepted <action>"
// once a window under it takes them and "refused" once none does, and
// "dropped <action>" when the drag ends.
//
//   desktop_peer <x> <y> <width> <height> [file...]

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

void say(const QByteArray& line) {
  std::fputs((line + '\n').constData(), stdout);
  std::fflush(stdout);
}

class PeerWindow final : public QWidget {
 public:
  explicit PeerWindow(QList<QUrl> files) : m_files(std::move(files)) { setWindowTitle(QStringLiteral("Desktop Peer")); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    for (int y = 0; y < height(); y += stripe)
      painter.fillRect(0, y, width(), stripe, (y / stripe) % 2 ? Qt::white : Qt::black);
    if (!std::exchange(m_shown, true)) say("ready");
  }

  void mousePressEvent(QMouseEvent* event) override {
    const QPoint at = event->globalPosition().toPoint();
    say("pressed " + QByteArray::number(at.x()) + ' ' + QByteArray::number(at.y()));
    if (m_files.isEmpty()) return;
    auto* data = new QMimeData;
    data->setUrls(m_files);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) {
      say(action == Qt::IgnoreAction ? QByteArray("refused") : "accepted " + QByteArray::number(int(action)));
    });
    // Said from the drag's own loop, once the drag has asked this window whether it takes
    // the files: whatever it says after comes from where the pointer goes, not from a drag before.
    QTimer::singleShot(0, this, [] { say("carrying"); });
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    say("dropped " + QByteArray::number(int(action)));
  }

 private:
  static constexpr int stripe = 8;
  QList<QUrl> m_files;
  bool m_shown = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() < 4) return 2;
  QList<QUrl> files;
  for (const QString& path : args.mid(4)) files << QUrl::fromLocalFile(path);
  PeerWindow window(files);
  window.setGeometry(args[0].toInt(), args[1].toInt(), args[2].toInt(), args[3].toInt());
  window.show();
  return app.exec();
}
