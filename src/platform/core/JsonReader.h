#pragma once

#include "platform/core/Json.h"
#include "platform/core/JsonTree.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace pf {

/// How an optional read treats an explicit null: as a wrong type, or as if
/// the key were missing.
enum class JsonNull { refused, absent };

class JsonArrayReader;
/// Where a value sits, for error messages (defined with the readers).
struct JsonPlace;
/// Where a nested reader sits, shared with the readers below it (defined with the readers).
struct JsonReaderTrail;

/// Strict, typed reading of one JSON object, field by field. A missing key
/// or a value of another type throws JsonError naming the key and its path.
/// A Boolean is never a number; an integer must be a whole number (2.0 is
/// accepted, 2.5 is not) and integers keep all 64 bits.
class JsonObjectReader final {
 public:
  /// `path` places the object in its document for error messages ("" for the top).
  explicit JsonObjectReader(QJsonObject object, QString path = {});

  /// Parses bytes that must hold one JSON object.
  static JsonObjectReader parse(const QByteArray& bytes);

  /// Whether the key is present (a null value counts as present).
  bool contains(const QString& key) const { return m_tree->member(m_node, key).has_value(); }
  /// The keys in ascending order.
  QStringList keys() const { return m_tree->keys(m_node); }
  /// The object's place, e.g. "reminders[3]"; spelled out on each call.
  QString path() const;

  QString string(const QString& key) const;
  qint64 integer(const QString& key) const;
  /// Any number, integer or not.
  double number(const QString& key) const;
  bool boolean(const QString& key) const;
  /// A string of standard, padded Base64, decoded.
  QByteArray data(const QString& key) const;
  JsonObjectReader object(const QString& key) const;
  JsonArrayReader array(const QString& key) const;

  /// The same reads for keys that may be missing: nothing when missing (and
  /// when null, if `null` is `absent`); a present value of another type still throws.
  std::optional<QString> optionalString(const QString& key, JsonNull null = JsonNull::refused) const;
  std::optional<qint64> optionalInteger(const QString& key, JsonNull null = JsonNull::refused) const;
  std::optional<double> optionalNumber(const QString& key, JsonNull null = JsonNull::refused) const;
  std::optional<bool> optionalBoolean(const QString& key, JsonNull null = JsonNull::refused) const;
  std::optional<QByteArray> optionalData(const QString& key, JsonNull null = JsonNull::refused) const;
  std::optional<JsonObjectReader> optionalObject(const QString& key, JsonNull null = JsonNull::refused) const;
  std::optional<JsonArrayReader> optionalArray(const QString& key, JsonNull null = JsonNull::refused) const;

 private:
  template <typename T>
  T required(const QString& key, T (*decode)(JsonTree::Index, const JsonPlace&)) const;
  template <typename T>
  std::optional<T> optional(const QString& key, JsonNull null, T (*decode)(JsonTree::Index, const JsonPlace&)) const;

  friend struct JsonPlace;
  JsonObjectReader(std::shared_ptr<const JsonTree> tree, JsonTree::Index node,
                   std::shared_ptr<const JsonReaderTrail> trail);

  std::shared_ptr<const JsonTree> m_tree;
  JsonTree::Index m_node = JsonTree::root;
  /// Nothing for the top of a document.
  std::shared_ptr<const JsonReaderTrail> m_trail;
};

/// Strict, typed reading of one JSON array, item by item; errors name the
/// array's key and the item's index.
class JsonArrayReader final {
 public:
  static JsonArrayReader parse(const QByteArray& bytes);

  qsizetype size() const { return m_tree->size(m_node); }
  bool isEmpty() const { return size() == 0; }
  /// The array's place, e.g. "nested.items"; spelled out on each call.
  QString path() const;

  QString string(qsizetype index) const;
  qint64 integer(qsizetype index) const;
  double number(qsizetype index) const;
  bool boolean(qsizetype index) const;
  QByteArray data(qsizetype index) const;
  JsonObjectReader object(qsizetype index) const;
  JsonArrayReader array(qsizetype index) const;

  /// Every item, each of which must be of that type.
  QStringList strings() const;
  std::vector<qint64> integers() const;
  std::vector<JsonObjectReader> objects() const;

 private:
  template <typename T>
  T item(qsizetype index, T (*decode)(JsonTree::Index, const JsonPlace&)) const;

  friend struct JsonPlace;
  JsonArrayReader(std::shared_ptr<const JsonTree> tree, JsonTree::Index node, QString key,
                  std::shared_ptr<const JsonReaderTrail> trail);

  std::shared_ptr<const JsonTree> m_tree;
  JsonTree::Index m_node = JsonTree::root;
  QString m_key;
  /// Nothing for the top of a document.
  std::shared_ptr<const JsonReaderTrail> m_trail;
};

}  // namespace pf
