#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int status = 0;
  if (test::runHelperIfAsked(argc, argv, status)) return status;
  ::testing::InitGoogleMock(&argc, argv);
  test::installEnvironment();
  return RUN_ALL_TESTS();
}
