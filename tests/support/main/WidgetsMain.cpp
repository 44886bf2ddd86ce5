#include "support/TestEnvironment.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return test::runTests(argc, argv);
}
