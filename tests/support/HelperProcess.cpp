#include "support/HelperProcess.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <map>

namespace test {
namespace {

std::map<QString, HelperMain>& registry() {
  static std::map<QString, HelperMain> helpers;
  return helpers;
}

}  // namespace

bool registerHelper(const QString& name, HelperMain main) {
  registry()[name] = std::move(main);
  return true;
}

const HelperMain* findHelper(const QString& name) {
  auto it = registry().find(name);
  return it == registry().end() ? nullptr : &it->second;
}

QStringList helperArguments(const QString& name, const QStringList& args) {
  return QStringList{QStringLiteral("--helper"), name} + args;
}

QString testExecutable() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(); }

}  // namespace test
