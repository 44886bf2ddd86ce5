#include "support/TestEnvironment.h"

#include <QGuiApplication>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  return test::runTests(argc, argv);
}
