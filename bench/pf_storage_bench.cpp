// Costs of the platform core's storage pieces: reading and writing user
// defaults, replacing a file atomically, and JSON for a store-sized file.
#include "BenchMain.h"
#include "ThrowawayDefaults.h"
#include "platform/core/AtomicWriter.h"
#include "platform/core/Json.h"
#include "platform/core/JsonReader.h"
#include "platform/core/UserDefaults.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

QString scratch() {
  static QTemporaryDir dir;
  return dir.path();
}

pf::UserDefaults& filledDefaults() {
  pf::UserDefaults& defaults = pf::UserDefaults::suite(QStringLiteral("bench"));
  if (!defaults.object(QStringLiteral("key99")))
    for (int i = 0; i < 100; ++i) defaults.set(QStringLiteral("key%1").arg(i), i % 2 == 0);
  return defaults;
}

/// A thousand records shaped like reminders: a store's full file.
QJsonArray records() {
  QJsonArray array;
  for (int i = 0; i < 1000; ++i)
    array.append(QJsonObject{{"id", QStringLiteral("%1-4F2A-9C1E-0000-1234567890AB").arg(i)},
                             {"name", QStringLiteral("Reminder %1").arg(i)},
                             {"message", QStringLiteral("Stand up, stretch and drink some water.")},
                             {"time", 7.5e8 + i * 60.5},
                             {"repeat", "weekly"},
                             {"weekdays", QJsonArray{2, 4, 6}},
                             {"paused", i % 7 == 0},
                             {"link", "https://example.org/a/b"}});
  return array;
}

void readDefault(benchmark::State& state) {
  const pf::UserDefaults& defaults = filledDefaults();
  for (auto _ : state) benchmark::DoNotOptimize(defaults.boolValue(QStringLiteral("key42")));
}
BENCHMARK(readDefault);

void writeDefault(benchmark::State& state) {
  pf::UserDefaults& defaults = filledDefaults();
  int value = 0;
  for (auto _ : state) defaults.set(QStringLiteral("key42"), ++value);
}
BENCHMARK(writeDefault)->Unit(benchmark::kMillisecond);

void replaceFile(benchmark::State& state) {
  const QByteArray bytes(static_cast<qsizetype>(state.range(0)), 'x');
  const QString path = scratch() + QStringLiteral("/replaced.bin");
  for (auto _ : state) pf::AtomicWriter::write(path, bytes);
}
BENCHMARK(replaceFile)->Arg(4 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void encodeStoreFile(benchmark::State& state) {
  const QJsonObject file{{"version", 1}, {"reminders", records()}};
  for (auto _ : state) benchmark::DoNotOptimize(pf::Json::encode(file));
}
BENCHMARK(encodeStoreFile)->Unit(benchmark::kMillisecond);

void decodeStoreFile(benchmark::State& state) {
  const QByteArray bytes = pf::Json::encode(QJsonObject{{"version", 1}, {"reminders", records()}});
  for (auto _ : state) {
    const auto file = pf::JsonObjectReader::parse(bytes);
    qint64 sum = file.integer(QStringLiteral("version"));
    for (const auto& record : file.array(QStringLiteral("reminders")).objects()) {
      sum += record.string(QStringLiteral("id")).size() + record.string(QStringLiteral("name")).size();
      sum += record.string(QStringLiteral("message")).size();
      sum += static_cast<qint64>(record.number(QStringLiteral("time")));
      sum += record.string(QStringLiteral("repeat")).size();
      sum += record.array(QStringLiteral("weekdays")).integers().size();
      sum += record.boolean(QStringLiteral("paused"));
      sum += record.optionalString(QStringLiteral("link")).value_or(QString()).size();
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(decodeStoreFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  const ThrowawayDefaults defaults;
  return runBenchmarks(argc, argv);
}
