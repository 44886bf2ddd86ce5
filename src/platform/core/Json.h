#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <stdexcept>

namespace pf {

/// JSON that cannot be read as expected: invalid text, a missing key or a
/// value of the wrong type. The message names the key and where it sits.
class JsonError final : public std::runtime_error {
 public:
  JsonError(const QString& message, QString key = {}, QString path = {});

  /// The key concerned (for an array item: the array's key); empty for the whole text.
  const QString& key() const { return m_key; }
  /// Where the value sits, e.g. "reminders[3].time"; empty for the whole text.
  const QString& path() const { return m_path; }

 private:
  QString m_key;
  QString m_path;
};

/// Where a value sits while a document is walked: links on the walker's
/// stack, put into words only for an error message. Spelling the path out at
/// every level would cost memory in the square of a deep document's size.
struct JsonTrail {
  const JsonTrail* parent = nullptr;
  /// The member's key; unused for an array item.
  QString key;
  /// The array item's index, or -1 for an object member.
  qsizetype index = -1;
  /// Levels below the top.
  int depth = 0;

  JsonTrail member(const QString& name) const { return {this, name, -1, depth + 1}; }
  JsonTrail item(qsizetype position) const { return {this, {}, position, depth + 1}; }
  /// The path, e.g. "reminders[3].time"; empty for the top.
  QString path() const;
};

/// Parsing and deterministic writing. Written JSON is pretty-printed with
/// the keys of every object in ascending order and "/" unescaped; equal
/// values always give the same bytes.
class Json final {
 public:
  Json() = delete;

  /// Throws JsonError for a number that is not finite (JSON has no spelling for it).
  static QByteArray encode(const QJsonObject& object);
  static QByteArray encode(const QJsonArray& array);

  /// Throws JsonError when `bytes` are not valid JSON or hold another kind of value.
  static QJsonObject parseObject(const QByteArray& bytes);
  static QJsonArray parseArray(const QByteArray& bytes);

  /// Bytes as a JSON string in standard Base64 with padding.
  static QJsonValue data(const QByteArray& bytes);
};

}  // namespace pf
