#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

/// A copy of the run script in a scratch checkout, with stand-ins for the
/// package query and the build tool, so what it says can be read without a
/// real build. The stand-in build makes the program, which says it started.
class ScratchCheckout final {
 public:
  ScratchCheckout() : m_root(test::home() + QStringLiteral("/checkout")) {
    for (const char* script : {"scripts/run", "scripts/lib/setup.sh"}) {
      const QString target = m_root + u'/' + QString::fromUtf8(script);
      QDir().mkpath(QFileInfo(target).path());
      QFile::copy(QStringLiteral(WENDLE_SOURCE_DIR "/") + QString::fromUtf8(script), target);
    }
    executable(QStringLiteral("bin/dpkg-query"), "echo 'install ok installed'");
    executable(QStringLiteral("bin/cmake"),
               "case \"$1\" in --build) mkdir -p build/release/src/app && "
               "printf '#!/bin/sh\\necho started\\n' > build/release/src/app/wendle && "
               "chmod +x build/release/src/app/wendle;; esac");
  }

  /// What `scripts/run` prints on standard output.
  QByteArray run() {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), m_root + QStringLiteral("/bin:") + environment.value("PATH"));
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":99"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("bash"), {m_root + QStringLiteral("/scripts/run")});
    process.waitForFinished(20000);
    return process.readAllStandardOutput();
  }

 private:
  void executable(const QString& name, const QByteArray& body) {
    const QString path = test::writeFile(m_root + u'/' + name, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }

  QString m_root;
};

}  // namespace

TEST(RunScript, SaysWhatItDoesBeforeTheBuildAndBeforeStarting) {
  ScratchCheckout checkout;
  EXPECT_EQ(checkout.run(), "Building Wendle; the first build takes about a minute...\nStarting Wendle.\nstarted\n");
  EXPECT_EQ(checkout.run(), "Building Wendle...\nStarting Wendle.\nstarted\n");
}
