#include "platform/core/JsonReader.h"

#include <cmath>

namespace pf {

/// A nested reader's place. Each link keeps the one above it alive, so a
/// reader may outlive the reader it came from; the path is spelled out only
/// when an error needs it, as building it for every nested value would cost
/// more than the reading itself.
struct JsonReaderTrail {
  std::shared_ptr<const JsonReaderTrail> above;
  /// Its parent is `above`'s trail, or the top of the document.
  JsonTrail trail;
};

namespace {

const JsonTrail& topTrail() {
  static const JsonTrail top;
  return top;
}

const JsonTrail& trailOf(const std::shared_ptr<const JsonReaderTrail>& link) { return link ? link->trail : topTrail(); }

/// A place given as a path already spelled out; nothing for the top.
std::shared_ptr<const JsonReaderTrail> spelledOut(QString path) {
  if (path.isEmpty()) return nullptr;
  return std::make_shared<const JsonReaderTrail>(JsonReaderTrail{nullptr, topTrail().member(std::move(path))});
}

QString within(const QString& path) { return path.isEmpty() ? QString() : QStringLiteral(" in ") + path; }

}  // namespace

/// Where a value sits: in an object or array whose reader's trail is `holder`.
struct JsonPlace {
  /// The document holding the value.
  const std::shared_ptr<const JsonTree>& tree;
  /// The key concerned; for an array item, the array's key.
  const QString& key;
  const std::shared_ptr<const JsonReaderTrail>& holder;
  /// The item's index, for a value in an array; none in an object.
  std::optional<qsizetype> index;

  /// The value's full path, e.g. "reminders[3].time".
  QString path() const { return link().path(); }
  /// How messages name the value: "The value of "time" in reminders[3]".
  QString subject() const;

  JsonObjectReader objectReader(JsonTree::Index node) const { return JsonObjectReader(tree, node, nested()); }
  JsonArrayReader arrayReader(JsonTree::Index node) const { return JsonArrayReader(tree, node, key, nested()); }

 private:
  /// The value's link; its parent lives as long as `holder`.
  JsonTrail link() const {
    const JsonTrail& parent = trailOf(holder);
    return index ? parent.item(*index) : parent.member(key);
  }
  std::shared_ptr<const JsonReaderTrail> nested() const {
    return std::make_shared<const JsonReaderTrail>(JsonReaderTrail{holder, link()});
  }
};

namespace {

// Beyond 2^53 a double no longer holds every integer, so it cannot stand for an exact one.
constexpr double largestExactInteger = 9007199254740992.0;

using Kind = JsonTree::Kind;

QString kindOf(Kind kind) {
  switch (kind) {
    case Kind::null: return QStringLiteral("null");
    case Kind::boolean: return QStringLiteral("a Boolean");
    case Kind::integer:
    case Kind::number: return QStringLiteral("a number");
    case Kind::string: return QStringLiteral("a string");
    case Kind::array: return QStringLiteral("an array");
    case Kind::object: return QStringLiteral("an object");
  }
  return QStringLiteral("nothing");
}

[[noreturn]] void refuse(const JsonPlace& place, const QString& expected, const QString& found) {
  throw JsonError(QStringLiteral("%1 must be %2, not %3.").arg(place.subject(), expected, found), place.key,
                  place.path());
}

/// The node, which must be of `kind` (a number, for `Kind::number`); `expected` names it for the
/// refusal.
Kind require(JsonTree::Index node, const JsonPlace& place, Kind kind, const char* expected) {
  const Kind found = place.tree->kind(node);
  const bool isNumber = found == Kind::integer || found == Kind::number;
  if (kind == Kind::number ? !isNumber : found != kind) refuse(place, QString::fromLatin1(expected), kindOf(found));
  return found;
}

QString decodeString(JsonTree::Index node, const JsonPlace& place) {
  require(node, place, Kind::string, "a string");
  return place.tree->string(node);
}

qint64 decodeInteger(JsonTree::Index node, const JsonPlace& place) {
  // The parser keeps every integer that fits in 64 bits as an integer, exactly.
  if (require(node, place, Kind::number, "an integer") == Kind::integer) return place.tree->integer(node);
  const double real = place.tree->number(node);
  if (std::isfinite(real) && std::trunc(real) != real)
    refuse(place, QStringLiteral("a whole number"), QString::number(real));
  if (!(std::abs(real) <= largestExactInteger))
    refuse(place, QStringLiteral("an integer that fits in 64 bits"), QString::number(real));
  return static_cast<qint64>(real);
}

double decodeNumber(JsonTree::Index node, const JsonPlace& place) {
  require(node, place, Kind::number, "a number");
  return place.tree->number(node);
}

bool decodeBoolean(JsonTree::Index node, const JsonPlace& place) {
  require(node, place, Kind::boolean, "a Boolean");
  return place.tree->boolean(node);
}

QByteArray decodeData(JsonTree::Index node, const JsonPlace& place) {
  const QString text = decodeString(node, place);
  const QByteArray base64 = text.toLatin1();
  auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
  if (base64.size() % 4 != 0 || text.size() != base64.size() || !decoded)
    refuse(place, QStringLiteral("Base64 data"), QStringLiteral("a string that is not Base64"));
  return *decoded;
}

/// The document of `bytes`, whose top must be of `kind`. Qt, through `qtParse`,
/// decides whatever our parser is unsure of, and words any refusal.
template <typename QtParsed>
std::shared_ptr<const JsonTree> documentOf(const QByteArray& bytes, Kind kind, QtParsed (*qtParse)(const QByteArray&)) {
  auto tree = JsonTree::read(bytes);
  if (!tree || tree->kind(JsonTree::root) != kind) tree = JsonTree::of(qtParse(bytes));
  return std::make_shared<const JsonTree>(std::move(*tree));
}

JsonObjectReader decodeObject(JsonTree::Index node, const JsonPlace& place) {
  require(node, place, Kind::object, "an object");
  return place.objectReader(node);
}

JsonArrayReader decodeArray(JsonTree::Index node, const JsonPlace& place) {
  require(node, place, Kind::array, "an array");
  return place.arrayReader(node);
}

}  // namespace

QString JsonPlace::subject() const {
  const QString parent = trailOf(holder).path();
  if (index) return QStringLiteral("Item %1%2").arg(*index).arg(parent.isEmpty() ? QString() : " of " + parent);
  return QStringLiteral("The value of \"%1\"%2").arg(key, within(parent));
}

JsonObjectReader::JsonObjectReader(QJsonObject object, QString path)
    : m_tree(std::make_shared<const JsonTree>(JsonTree::of(object))), m_trail(spelledOut(std::move(path))) {}

JsonObjectReader::JsonObjectReader(std::shared_ptr<const JsonTree> tree, JsonTree::Index node,
                                   std::shared_ptr<const JsonReaderTrail> trail)
    : m_tree(std::move(tree)), m_node(node), m_trail(std::move(trail)) {}

QString JsonObjectReader::path() const { return trailOf(m_trail).path(); }

JsonObjectReader JsonObjectReader::parse(const QByteArray& bytes) {
  return JsonObjectReader(documentOf(bytes, Kind::object, Json::parseObject), JsonTree::root, nullptr);
}

template <typename T>
T JsonObjectReader::required(const QString& key, T (*decode)(JsonTree::Index, const JsonPlace&)) const {
  if (const auto found = optional(key, JsonNull::refused, decode)) return *found;
  throw JsonError(QStringLiteral("The key \"%1\" is missing%2.").arg(key, within(path())), key,
                  JsonPlace{m_tree, key, m_trail, {}}.path());
}

template <typename T>
std::optional<T> JsonObjectReader::optional(const QString& key, JsonNull null,
                                            T (*decode)(JsonTree::Index, const JsonPlace&)) const {
  const auto node = m_tree->member(m_node, key);
  if (!node || (null == JsonNull::absent && m_tree->kind(*node) == Kind::null)) return std::nullopt;
  return decode(*node, JsonPlace{m_tree, key, m_trail, {}});
}

QString JsonObjectReader::string(const QString& key) const { return required(key, decodeString); }
qint64 JsonObjectReader::integer(const QString& key) const { return required(key, decodeInteger); }
double JsonObjectReader::number(const QString& key) const { return required(key, decodeNumber); }
bool JsonObjectReader::boolean(const QString& key) const { return required(key, decodeBoolean); }
QByteArray JsonObjectReader::data(const QString& key) const { return required(key, decodeData); }
JsonObjectReader JsonObjectReader::object(const QString& key) const { return required(key, decodeObject); }
JsonArrayReader JsonObjectReader::array(const QString& key) const { return required(key, decodeArray); }

std::optional<QString> JsonObjectReader::optionalString(const QString& key, JsonNull null) const {
  return optional(key, null, decodeString);
}
std::optional<qint64> JsonObjectReader::optionalInteger(const QString& key, JsonNull null) const {
  return optional(key, null, decodeInteger);
}
std::optional<double> JsonObjectReader::optionalNumber(const QString& key, JsonNull null) const {
  return optional(key, null, decodeNumber);
}
std::optional<bool> JsonObjectReader::optionalBoolean(const QString& key, JsonNull null) const {
  return optional(key, null, decodeBoolean);
}
std::optional<QByteArray> JsonObjectReader::optionalData(const QString& key, JsonNull null) const {
  return optional(key, null, decodeData);
}
std::optional<JsonObjectReader> JsonObjectReader::optionalObject(const QString& key, JsonNull null) const {
  return optional(key, null, decodeObject);
}
std::optional<JsonArrayReader> JsonObjectReader::optionalArray(const QString& key, JsonNull null) const {
  return optional(key, null, decodeArray);
}

JsonArrayReader::JsonArrayReader(std::shared_ptr<const JsonTree> tree, JsonTree::Index node, QString key,
                                 std::shared_ptr<const JsonReaderTrail> trail)
    : m_tree(std::move(tree)), m_node(node), m_key(std::move(key)), m_trail(std::move(trail)) {}

QString JsonArrayReader::path() const { return trailOf(m_trail).path(); }

JsonArrayReader JsonArrayReader::parse(const QByteArray& bytes) {
  return JsonArrayReader(documentOf(bytes, Kind::array, Json::parseArray), JsonTree::root, QString(), nullptr);
}

template <typename T>
T JsonArrayReader::item(qsizetype index, T (*decode)(JsonTree::Index, const JsonPlace&)) const {
  const JsonPlace place{m_tree, m_key, m_trail, index};
  if (index < 0 || index >= size())
    throw JsonError(QStringLiteral("%1 is missing; there are %2 items.").arg(place.subject()).arg(size()), m_key,
                    place.path());
  return decode(m_tree->item(m_node, index), place);
}

QString JsonArrayReader::string(qsizetype index) const { return item(index, decodeString); }
qint64 JsonArrayReader::integer(qsizetype index) const { return item(index, decodeInteger); }
double JsonArrayReader::number(qsizetype index) const { return item(index, decodeNumber); }
bool JsonArrayReader::boolean(qsizetype index) const { return item(index, decodeBoolean); }
QByteArray JsonArrayReader::data(qsizetype index) const { return item(index, decodeData); }
JsonObjectReader JsonArrayReader::object(qsizetype index) const { return item(index, decodeObject); }
JsonArrayReader JsonArrayReader::array(qsizetype index) const { return item(index, decodeArray); }

QStringList JsonArrayReader::strings() const {
  QStringList items;
  items.reserve(size());
  for (qsizetype i = 0; i < size(); ++i) items << string(i);
  return items;
}

std::vector<qint64> JsonArrayReader::integers() const {
  std::vector<qint64> items;
  items.reserve(static_cast<std::size_t>(size()));
  for (qsizetype i = 0; i < size(); ++i) items.push_back(integer(i));
  return items;
}

std::vector<JsonObjectReader> JsonArrayReader::objects() const {
  std::vector<JsonObjectReader> items;
  items.reserve(static_cast<std::size_t>(size()));
  for (qsizetype i = 0; i < size(); ++i) items.push_back(object(i));
  return items;
}

}  // namespace pf
