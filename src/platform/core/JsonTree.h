#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace pf {

class JsonParser;

/// A parsed JSON document held compactly and never changed: nodes in one
/// vector, strings decoded once, each object's members sorted by key without
/// duplicates, as Qt keeps them. Nodes are named by index; the top is `root`.
class JsonTree final {
 public:
  using Index = quint32;
  enum class Kind : quint8 { null, boolean, integer, number, string, array, object };

  static constexpr Index root = 0;

  /// The tree of plain JSON text holding an object or an array, as Qt would
  /// read it; nothing for any text the parser is not certain Qt reads the same
  /// way (invalid text among it), which the caller then gives to Qt.
  static std::optional<JsonTree> read(const QByteArray& bytes);
  /// The tree of values Qt already holds. Looking up a key asks Qt, so even
  /// a key Qt cannot find is missing here too.
  static JsonTree of(const QJsonObject& object);
  static JsonTree of(const QJsonArray& array);

  Kind kind(Index node) const { return m_nodes[node].kind; }
  bool boolean(Index node) const { return m_nodes[node].integer != 0; }
  /// An integer node's value.
  qint64 integer(Index node) const { return m_nodes[node].integer; }
  /// A number node's value, or an integer node's as a double.
  double number(Index node) const;
  const QString& string(Index node) const { return m_strings[m_nodes[node].first]; }

  /// Items of an array, members of an object.
  qsizetype size(Index node) const { return m_nodes[node].size; }
  /// The array's item at `position`, which must be within its size.
  Index item(Index array, qsizetype position) const;
  /// The object's value for `key`, or nothing.
  std::optional<Index> member(Index object, const QString& key) const;
  /// The object's keys in ascending order.
  QStringList keys(Index object) const;

 private:
  friend class JsonParser;

  struct Node {
    Kind kind = Kind::null;
    /// Items or members.
    quint32 size = 0;
    /// A string's index in `m_strings`; a container's first item or member.
    Index first = 0;
    /// For an object Qt holds: its index in `m_qtObjects`, plus one.
    quint32 qtObject = 0;
    /// A Boolean, an integer, or the bits of a number.
    qint64 integer = 0;
  };
  struct Member {
    /// The key's index in `m_strings`.
    Index key;
    Index value;
  };

  /// The order of keys in an object: by UTF-16 code unit, as Qt orders keys of characters up to
  /// U+FFFF.
  static bool keyBefore(const QString& a, const QString& b);

  Index add(Kind kind, qint64 payload = 0);
  Index addString(QString text);
  Index addNumber(double number);
  Index addQt(const QJsonValue& value);
  Index addQtObject(const QJsonObject& object);
  Index addQtArray(const QJsonArray& array);

  std::vector<Node> m_nodes;
  std::vector<QString> m_strings;
  std::vector<Index> m_items;
  std::vector<Member> m_members;
  std::vector<QJsonObject> m_qtObjects;
};

}  // namespace pf
