#include "platform/core/DefaultsCoding.h"
#include "platform/core/Files.h"
#include "platform/core/UserDefaults.h"
#include "support/ChildProcess.h"
#include "support/EventLoop.h"
#include "support/FileMode.h"
#include "support/HelperProcess.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <gtest/gtest.h>
#include <iostream>
#include <limits>
#include <sys/stat.h>

using pf::UserDefaults;
using test::ChildProcess;

namespace {

const QString suiteName = QStringLiteral("org.wendle.Wendle.companion.test");

/// Forgets the domain objects, so the next read comes from the file alone.
UserDefaults& reopened(const QString& name) {
  UserDefaults::resetAll();
  return UserDefaults::suite(name);
}

/// Values of every type, with the cases a JSON file could blur.
QVariantMap everyKindOfValue() {
  return {
      {"text", QStringLiteral("Größe/ \"quoted\"\n")},
      {"empty text", QString()},
      {"yes", true},
      {"no", false},
      {"count", qint64(42)},
      {"beyond doubles", qint64(9007199254740993LL)},
      {"most negative", std::numeric_limits<qint64>::min()},
      {"ratio", 2.5},
      {"whole double", 400.0},
      {"negative zero", -0.0},
      {"tiny", 1e-300},
      {"infinite", std::numeric_limits<double>::infinity()},
      {"bytes", QByteArray("\0\x01\xff binary", 10)},
      {"list", QVariantList{1, 2.5, "three", QVariantList{true}, QByteArray("x")}},
      {"size", QVariantMap{{"width", 400.0}, {"height", qint64(300)}}},
      {"looks like a tag", QVariantMap{{"$data", "not data"}}},
      {"empty list", QVariantList()},
      {"empty dictionary", QVariantMap()},
  };
}

void expectSameValue(const QVariant& read, const QVariant& written, const QString& key) {
  SCOPED_TRACE(key.toStdString());
  ASSERT_EQ(read.typeId(), written.typeId())
      << read.metaType().name() << " vs " << written.metaType().name();
  if (written.typeId() == QMetaType::Double) {
    EXPECT_EQ(std::signbit(read.toDouble()), std::signbit(written.toDouble()));
    if (std::isnan(written.toDouble())) {
      EXPECT_TRUE(std::isnan(read.toDouble()));
      return;
    }
  }
  if (written.typeId() == QMetaType::QVariantList) {
    const QVariantList a = read.toList(), b = written.toList();
    ASSERT_EQ(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i)
      expectSameValue(a[i], b[i], key + QStringLiteral("[%1]").arg(i));
  } else if (written.typeId() == QMetaType::QVariantMap) {
    const QVariantMap a = read.toMap(), b = written.toMap();
    ASSERT_EQ(a.keys(), b.keys());
    for (const QString& inner : b.keys()) expectSameValue(a[inner], b[inner], key + u'.' + inner);
  } else {
    EXPECT_EQ(read, written);
  }
}

}  // namespace

WENDLE_TEST_HELPER(setKeys) {
  UserDefaults& defaults = UserDefaults::suite(args.value(0));
  const int count = args.value(2).toInt();
  for (int i = 0; i < count; ++i) defaults.set(args.value(1) + QString::number(i), i);
  return 0;
}

TEST(UserDefaults, EveryValueTypeRoundTripsThroughTheFile) {
  QVariantMap values = everyKindOfValue();
  values.insert("not a number", std::numeric_limits<double>::quiet_NaN());
  for (auto it = values.begin(); it != values.end(); ++it)
    UserDefaults::suite(suiteName).set(it.key(), it.value());

  UserDefaults& again = reopened(suiteName);
  for (auto it = values.begin(); it != values.end(); ++it) {
    const auto read = again.object(it.key());
    ASSERT_TRUE(read.has_value()) << it.key().toStdString();
    expectSameValue(*read, pf::DefaultsCoding::normalized(it.value()), it.key());
  }
  EXPECT_EQ(again.dictionaryRepresentation().keys(), values.keys());
}

TEST(UserDefaults, TheFileIsDeterministicPrivateAndBesideItsLock) {
  UserDefaults& defaults = UserDefaults::standard();
  EXPECT_EQ(defaults.filePath(), test::home() + "/.config/wendle/org.wendle.Wendle.json");
  defaults.set("url", "https://example.org/a");
  defaults.set("size", QVariantMap{{"width", 400.0}, {"height", 300}});
  defaults.set("image", QByteArray("hi"));
  const auto bytes = pf::Files::read(defaults.filePath());
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes,
            "{\n"
            "    \"image\": {\n"
            "        \"$data\": \"aGk=\"\n"
            "    },\n"
            "    \"size\": {\n"
            "        \"height\": 300,\n"
            "        \"width\": {\n"
            "            \"$double\": \"400\"\n"
            "        }\n"
            "    },\n"
            "    \"url\": \"https://example.org/a\"\n"
            "}\n");
  EXPECT_EQ(test::fileMode(defaults.filePath()), 0600u);
  EXPECT_EQ(test::fileMode(UserDefaults::folder()), 0700u);
  EXPECT_TRUE(QFile::exists(UserDefaults::folder() + "/org.wendle.Wendle.lock"));
}

TEST(UserDefaults, TypedReadsFollowTheStoredType) {
  UserDefaults& defaults = UserDefaults::standard();
  defaults.set("flag", true);
  defaults.set("count", 3);
  defaults.set("ratio", -2.75);
  defaults.set("text", "YES");
  defaults.set("names", QStringList{"a", "b"});
  defaults.set("mixed", QVariantList{"a", 1});

  EXPECT_TRUE(defaults.boolValue("flag"));
  EXPECT_FALSE(defaults.isNumber("flag")) << "a bool is never a number";
  EXPECT_EQ(defaults.doubleValue("flag"), 0.0);
  EXPECT_EQ(defaults.integerValue("flag"), 0);

  EXPECT_TRUE(defaults.isNumber("count"));
  EXPECT_TRUE(defaults.isNumber("ratio"));
  EXPECT_EQ(defaults.doubleValue("count"), 3.0);
  EXPECT_EQ(defaults.integerValue("ratio"), -2);
  EXPECT_TRUE(defaults.boolValue("count"));
  EXPECT_TRUE(defaults.boolValue("text"));

  EXPECT_FALSE(defaults.isNumber("text"));
  EXPECT_EQ(defaults.doubleValue("text"), 0.0);
  EXPECT_EQ(defaults.string("count"), std::nullopt);
  EXPECT_EQ(defaults.string("text"), QString("YES"));
  EXPECT_EQ(defaults.stringArray("names"), (QStringList{"a", "b"}));
  EXPECT_EQ(defaults.stringArray("mixed"), std::nullopt);
  EXPECT_EQ(defaults.dictionary("names"), std::nullopt);
  EXPECT_EQ(defaults.data("text"), std::nullopt);

  EXPECT_FALSE(defaults.object("missing").has_value());
  EXPECT_FALSE(defaults.boolValue("missing"));
  EXPECT_EQ(defaults.integerValue("missing"), 0);
  EXPECT_EQ(defaults.doubleValue("missing"), 0.0);
  EXPECT_THROW(defaults.set("date", QDate(2024, 1, 1)), std::invalid_argument);
}

TEST(UserDefaults, RegisteredDefaultsAnswerUntilAValueIsSetAndAreNeverStored) {
  UserDefaults& defaults = UserDefaults::standard();
  defaults.registerDefaults({{"alwaysOnTop", true}, {"scale", 1.0}, {"characterHeight", 180}});
  EXPECT_TRUE(defaults.boolValue("alwaysOnTop"));
  EXPECT_EQ(defaults.integerValue("characterHeight"), 180);

  defaults.set("alwaysOnTop", false);
  defaults.set("other", "x");
  EXPECT_FALSE(defaults.boolValue("alwaysOnTop"));
  EXPECT_EQ(defaults.dictionaryRepresentation(), (QVariantMap{{"alwaysOnTop", false},
                                                              {"scale", 1.0},
                                                              {"characterHeight", qint64(180)},
                                                              {"other", "x"}}));

  UserDefaults& again = reopened(UserDefaults::standardName());
  EXPECT_EQ(again.dictionaryRepresentation(),
            (QVariantMap{{"alwaysOnTop", false}, {"other", "x"}}));
  again.registerDefaults({{"alwaysOnTop", true}});
  again.remove("alwaysOnTop");
  EXPECT_TRUE(again.boolValue("alwaysOnTop"));
  EXPECT_EQ(reopened(UserDefaults::standardName()).object("alwaysOnTop"), std::nullopt);
}

TEST(UserDefaults, SuitesAreOneObjectPerNameAndSeparateFiles) {
  EXPECT_EQ(&UserDefaults::suite(suiteName), &UserDefaults::suite(suiteName));
  EXPECT_EQ(&UserDefaults::suite(UserDefaults::standardName()), &UserDefaults::standard());
  UserDefaults::suite(suiteName).set("robotX", 10);
  EXPECT_FALSE(UserDefaults::standard().object("robotX").has_value());
  EXPECT_TRUE(QFile::exists(UserDefaults::folder() + "/" + suiteName + ".json"));
  EXPECT_THROW(UserDefaults::suite("../escape"), std::invalid_argument);
  EXPECT_THROW(UserDefaults::suite(""), std::invalid_argument);
}

TEST(UserDefaults, TwoProcessesWritingOneDomainKeepEachOthersKeys) {
  QElapsedTimer timer;
  timer.start();
  ChildProcess first("setKeys", {suiteName, "a", "200"});
  ChildProcess second("setKeys", {suiteName, "b", "200"});
  EXPECT_EQ(first.finish(), 0) << first.errors().toStdString();
  EXPECT_EQ(second.finish(), 0) << second.errors().toStdString();
  std::cout << "400 interleaved writes in " << timer.elapsed() << " ms\n";

  const QVariantMap stored = reopened(suiteName).dictionaryRepresentation();
  EXPECT_EQ(stored.size(), 400);
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(stored.value("a" + QString::number(i)), qint64(i));
    EXPECT_EQ(stored.value("b" + QString::number(i)), qint64(i));
  }
}

TEST(UserDefaults, AChangeWrittenByAnotherProcessBecomesVisible) {
  UserDefaults& defaults = UserDefaults::suite(suiteName);
  defaults.set("mine", 1);
  ChildProcess other("setKeys", {suiteName, "theirs", "1"});
  ASSERT_EQ(other.finish(), 0);
  EXPECT_TRUE(test::processEventsUntil([&] { return defaults.object("theirs0").has_value(); }));
  EXPECT_EQ(defaults.integerValue("mine"), 1);

  // An edit made in place (no rename) is seen too.
  QFile file(defaults.filePath());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write("{\"edited\": \"by hand\"}");
  file.close();
  EXPECT_TRUE(test::processEventsUntil([&] { return defaults.string("edited") == QString("by hand"); }));
  EXPECT_FALSE(defaults.object("mine").has_value());
}

TEST(UserDefaults, ADamagedFileIsKeptAsideAndTheDomainStartsEmpty) {
  const QString folder = UserDefaults::folder();
  pf::Files::makeFolders(folder);
  const QByteArray damaged = "{\"robotX\": 12, \"robotY\": ";
  pf::Files::createExclusive(folder + "/" + suiteName + ".json", damaged);

  UserDefaults& defaults = UserDefaults::suite(suiteName);
  const QString path = defaults.filePath();
  EXPECT_FALSE(defaults.object("robotX").has_value());
  const QStringList kept = QDir(folder).entryList({suiteName + ".damaged-*.json"});
  ASSERT_EQ(kept.size(), 1) << QDir(folder).entryList().join(", ").toStdString();
  EXPECT_EQ(pf::Files::read(folder + "/" + kept.first()), damaged);

  defaults.set("robotX", 5);
  EXPECT_EQ(reopened(suiteName).dictionaryRepresentation(), (QVariantMap{{"robotX", qint64(5)}}));

  // A file that turns bad while running, here a tag from some newer version, is kept aside too.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write("{\"when\": {\"$date\": 1}}");
  file.close();
  UserDefaults& current = UserDefaults::suite(suiteName);
  EXPECT_TRUE(test::processEventsUntil(
      [&] { return QDir(folder).entryList({suiteName + ".damaged-*.json"}).size() == 2; }));
  EXPECT_FALSE(current.object("robotX").has_value());
  current.set("robotY", 7);
  EXPECT_EQ(reopened(suiteName).dictionaryRepresentation(), (QVariantMap{{"robotY", qint64(7)}}));
}

TEST(UserDefaults, AnOversizedOrTooDeeplyNestedFileIsKeptAside) {
  const QString folder = UserDefaults::folder();
  pf::Files::makeFolders(folder);
  const QString path = folder + "/" + suiteName + ".json";
  // Long keys nested deep once cost gigabytes, since every level spelt out its path.
  // Each key is cut inside a pair of UTF-16 units where a message shortens it.
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
  const QString longKey = "k" + emoji.repeated(1999) + "k";
  QByteArray deep = "{";
  for (int level = 0; level < 1000; ++level) deep += "\"" + longKey.toUtf8() + "\": {";
  deep += QByteArray(1000, '}') + "}";
  QByteArray oversized = "{\"padding\": \"" +
                         QByteArray(UserDefaults::maximumFileBytes, 'x') + "\"}";
  QByteArray justDeepEnough = "{\"top\": ";
  for (int level = 0; level < pf::DefaultsCoding::maximumDepth; ++level) justDeepEnough += "[";
  justDeepEnough += QByteArray(pf::DefaultsCoding::maximumDepth, ']') + "}";

  for (const QByteArray& bad : {deep, oversized}) {
    SCOPED_TRACE(bad.size());
    test::writeFile(path, bad);
    const test::LogCapture log;
    UserDefaults& defaults = reopened(suiteName);
    EXPECT_LT(log.text().size(), 1000) << "the log quotes a few lines at most";
    EXPECT_TRUE(log.text().contains(path)) << log.text().left(1000).toStdString();
    if (bad == deep) {
      EXPECT_TRUE(log.text().contains(emoji + "…" + emoji)) << log.text().toStdString();
    }
    EXPECT_TRUE(defaults.dictionaryRepresentation().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));
    const QStringList kept = QDir(folder).entryList({suiteName + ".damaged-*.json"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(pf::Files::read(folder + "/" + kept.first()), bad);
    ASSERT_TRUE(QFile::remove(folder + "/" + kept.first()));
  }
  test::writeFile(path, justDeepEnough);
  EXPECT_TRUE(reopened(suiteName).array("top").has_value());
}
