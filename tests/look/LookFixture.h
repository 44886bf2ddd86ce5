#pragma once

#include "platform/core/UserDefaults.h"

#include <QString>
#include <QVariant>
#include <gtest/gtest.h>

/// Starts every test with an empty standard defaults domain in the test's
/// own home, so each test stores only the choices it is about.
class LookFixture : public ::testing::Test {
 protected:
  void SetUp() override { pf::UserDefaults::resetAll(); }
  void TearDown() override { pf::UserDefaults::resetAll(); }

  static void store(const QString& key, const QVariant& value) { pf::UserDefaults::standard().set(key, value); }
};
