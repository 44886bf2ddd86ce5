#include "support/TestEnvironment.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return test::runTests(argc, argv);
}
