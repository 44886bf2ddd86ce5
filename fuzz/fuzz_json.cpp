// Our JSON parser against Qt's: any text the parser reads, Qt must read too,
// to the same values, key order and integers; text it is unsure of is left
// to Qt and proves nothing here.
#include "platform/core/JsonTree.h"

#include <QJsonDocument>
#include <bit>
#include <cstdint>
#include <cstdlib>

namespace {

/// The node written out so that any difference in kind, value or key order shows.
void describe(const pf::JsonTree& tree, pf::JsonTree::Index node, QByteArray& out) {
  using Kind = pf::JsonTree::Kind;
  out += char('0' + int(tree.kind(node)));
  switch (tree.kind(node)) {
    case Kind::null: break;
    case Kind::boolean: out += tree.boolean(node) ? 't' : 'f'; break;
    case Kind::integer: out += QByteArray::number(tree.integer(node)); break;
    case Kind::number: out += QByteArray::number(std::bit_cast<quint64>(tree.number(node)), 16); break;
    case Kind::string: out += tree.string(node).toUtf8().toHex(); break;
    case Kind::array:
      for (qsizetype i = 0; i < tree.size(node); ++i) describe(tree, tree.item(node, i), out);
      break;
    case Kind::object:
      for (const QString& key : tree.keys(node)) {
        out += ' ' + key.toUtf8().toHex() + ':';
        if (const auto member = tree.member(node, key)) describe(tree, *member, out);
      }
      break;
  }
  out += ';';
}

QByteArray described(const pf::JsonTree& tree) {
  QByteArray out;
  describe(tree, pf::JsonTree::root, out);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto tree = pf::JsonTree::read(bytes);
  if (!tree) return 0;
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError) std::abort();
  const pf::JsonTree qt =
      document.isObject() ? pf::JsonTree::of(document.object()) : pf::JsonTree::of(document.array());
  if (described(*tree) != described(qt)) std::abort();
  return 0;
}
