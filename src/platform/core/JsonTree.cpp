#include "platform/core/JsonTree.h"

#include "platform/core/JsonParser.h"

#include <QVariant>
#include <algorithm>
#include <bit>

namespace pf {
namespace {

// Up to this many members, a key is looked for from the first member on.
constexpr quint32 smallObject = 16;

}  // namespace

std::optional<JsonTree> JsonTree::read(const QByteArray& bytes) { return JsonParser::parse(bytes); }

JsonTree JsonTree::of(const QJsonObject& object) {
  JsonTree tree;
  tree.addQtObject(object);
  return tree;
}

JsonTree JsonTree::of(const QJsonArray& array) {
  JsonTree tree;
  tree.addQtArray(array);
  return tree;
}

double JsonTree::number(Index node) const {
  const Node& held = m_nodes[node];
  return held.kind == Kind::integer ? double(held.integer) : std::bit_cast<double>(held.integer);
}

JsonTree::Index JsonTree::item(Index array, qsizetype position) const {
  return m_items[m_nodes[array].first + std::size_t(position)];
}

std::optional<JsonTree::Index> JsonTree::member(Index object, const QString& key) const {
  const Node& node = m_nodes[object];
  const auto begin = m_members.begin() + node.first;
  const auto end = begin + node.size;
  if (node.qtObject) {
    const QJsonObject& held = m_qtObjects[node.qtObject - 1];
    const auto found = held.constFind(key);
    if (found == held.constEnd()) return std::nullopt;
    return begin[found - held.constBegin()].value;
  }
  // Most objects are small, and comparing for equality is cheaper than ordering.
  if (node.size <= smallObject) {
    for (auto it = begin; it != end; ++it)
      if (m_strings[it->key] == key) return it->value;
    return std::nullopt;
  }
  const auto found = std::lower_bound(begin, end, key, [this](const Member& member, const QString& key) {
    return keyBefore(m_strings[member.key], key);
  });
  if (found == end || m_strings[found->key] != key) return std::nullopt;
  return found->value;
}

bool JsonTree::keyBefore(const QString& a, const QString& b) {
  const QStringView left(a), right(b);
  return std::lexicographical_compare(left.utf16(), left.utf16() + left.size(), right.utf16(),
                                      right.utf16() + right.size());
}

QStringList JsonTree::keys(Index object) const {
  const Node& node = m_nodes[object];
  QStringList keys;
  keys.reserve(node.size);
  for (quint32 i = 0; i < node.size; ++i) keys << m_strings[m_members[node.first + i].key];
  return keys;
}

JsonTree::Index JsonTree::add(Kind kind, qint64 payload) {
  Node node;
  node.kind = kind;
  node.integer = payload;
  m_nodes.push_back(node);
  return Index(m_nodes.size() - 1);
}

JsonTree::Index JsonTree::addString(QString text) {
  m_strings.push_back(std::move(text));
  const Index node = add(Kind::string);
  m_nodes[node].first = Index(m_strings.size() - 1);
  return node;
}

JsonTree::Index JsonTree::addNumber(double number) { return add(Kind::number, std::bit_cast<qint64>(number)); }

JsonTree::Index JsonTree::addQt(const QJsonValue& value) {
  switch (value.type()) {
    case QJsonValue::Bool: return add(Kind::boolean, value.toBool());
    case QJsonValue::Double: {
      // Qt keeps every whole number that fits in 64 bits as an integer, exactly.
      const QVariant number = value.toVariant();
      if (number.typeId() == QMetaType::LongLong) return add(Kind::integer, number.toLongLong());
      return addNumber(value.toDouble());
    }
    case QJsonValue::String: return addString(value.toString());
    case QJsonValue::Array: return addQtArray(value.toArray());
    case QJsonValue::Object: return addQtObject(value.toObject());
    case QJsonValue::Null:
    case QJsonValue::Undefined: break;
  }
  return add(Kind::null);
}

JsonTree::Index JsonTree::addQtObject(const QJsonObject& object) {
  const Index node = add(Kind::object);
  m_qtObjects.push_back(object);
  m_nodes[node].qtObject = quint32(m_qtObjects.size());
  std::vector<Member> members;
  members.reserve(std::size_t(object.size()));
  for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
    m_strings.push_back(it.key());
    const Index key = Index(m_strings.size() - 1);
    members.push_back({key, addQt(it.value())});
  }
  m_nodes[node].size = quint32(members.size());
  m_nodes[node].first = Index(m_members.size());
  m_members.insert(m_members.end(), members.begin(), members.end());
  return node;
}

JsonTree::Index JsonTree::addQtArray(const QJsonArray& array) {
  const Index node = add(Kind::array);
  std::vector<Index> items;
  items.reserve(std::size_t(array.size()));
  for (const QJsonValue& value : array) items.push_back(addQt(value));
  m_nodes[node].size = quint32(items.size());
  m_nodes[node].first = Index(m_items.size());
  m_items.insert(m_items.end(), items.begin(), items.end());
  return node;
}

}  // namespace pf
