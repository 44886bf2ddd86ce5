#include "platform/core/SystemInfo.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using pf::SystemInfo;

TEST(SystemInfo, ApplicationDataLivesUnderTheHomeFolderAndIsNotCreated) {
  EXPECT_EQ(SystemInfo::homeDirectory(), test::home());
  EXPECT_EQ(SystemInfo::applicationDataDirectory(), test::home() + "/Library/Application Support/Quib Bot");
  EXPECT_FALSE(QFileInfo::exists(test::home() + "/Library"));
  EXPECT_EQ(SystemInfo::bundleIdentifier(), "org.wendle.Wendle");
}

TEST(SystemInfo, AssetRootPrefersTheInstalledPlaces) {
  const QString bin = test::home() + "/prefix/bin";
  const QString work = test::home() + "/work";
  ASSERT_TRUE(QDir().mkpath(bin));
  EXPECT_EQ(SystemInfo::assetRoot(bin, work), work + "/Assets");
  EXPECT_EQ(SystemInfo::assetRoot(QString(), work), work + "/Assets");

  ASSERT_TRUE(QDir().mkpath(test::home() + "/prefix/share/wendle/Assets"));
  EXPECT_EQ(SystemInfo::assetRoot(bin, work), test::home() + "/prefix/share/wendle/Assets");

  ASSERT_TRUE(QDir().mkpath(bin + "/Assets"));
  EXPECT_EQ(SystemInfo::assetRoot(bin, work), bin + "/Assets");
}
