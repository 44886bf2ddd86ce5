#include "platform/core/JsonReader.h"

#include <QVariant>
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

const JsonTrail& trailOf(const std::shared_ptr<const JsonReaderTrail>& link) {
  return link ? link->trail : topTrail();
}

/// A place given as a path already spelled out; nothing for the top.
std::shared_ptr<const JsonReaderTrail> spelledOut(QString path) {
  if (path.isEmpty()) return nullptr;
  return std::make_shared<const JsonReaderTrail>(
      JsonReaderTrail{nullptr, topTrail().member(std::move(path))});
}

QString within(const QString& path) {
  return path.isEmpty() ? QString() : QStringLiteral(" in ") + path;
}

}  // namespace

/// Where a value sits: in an object or array whose reader's trail is `holder`.
struct JsonPlace {
  /// The key concerned; for an array item, the array's key.
  const QString& key;
  const std::shared_ptr<const JsonReaderTrail>& holder;
  /// The item's index, for a value in an array; none in an object.
  std::optional<qsizetype> index;

  /// The value's full path, e.g. "reminders[3].time".
  QString path() const { return link().path(); }
  /// How messages name the value: "The value of "time" in reminders[3]".
  QString subject() const;

  JsonObjectReader objectReader(QJsonObject object) const {
    return JsonObjectReader(std::move(object), nested());
  }
  JsonArrayReader arrayReader(QJsonArray array) const {
    return JsonArrayReader(std::move(array), key, nested());
  }

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

QString kindOf(const QJsonValue& value) {
  switch (value.type()) {
    case QJsonValue::Null:
      return QStringLiteral("null");
    case QJsonValue::Bool:
      return QStringLiteral("a Boolean");
    case QJsonValue::Double:
      return QStringLiteral("a number");
    case QJsonValue::String:
      return QStringLiteral("a string");
    case QJsonValue::Array:
      return QStringLiteral("an array");
    case QJsonValue::Object:
      return QStringLiteral("an object");
    case QJsonValue::Undefined:
      break;
  }
  return QStringLiteral("nothing");
}

[[noreturn]] void refuse(const JsonPlace& place, const QString& expected, const QString& found) {
  throw JsonError(QStringLiteral("%1 must be %2, not %3.").arg(place.subject(), expected, found),
                  place.key, place.path());
}

QString decodeString(const QJsonValue& value, const JsonPlace& place) {
  if (!value.isString()) refuse(place, QStringLiteral("a string"), kindOf(value));
  return value.toString();
}

qint64 decodeInteger(const QJsonValue& value, const JsonPlace& place) {
  if (!value.isDouble()) refuse(place, QStringLiteral("an integer"), kindOf(value));
  // The parser keeps every integer that fits in 64 bits as an integer, exactly.
  const QVariant number = value.toVariant();
  if (number.typeId() == QMetaType::LongLong) return number.toLongLong();
  const double real = value.toDouble();
  if (std::isfinite(real) && std::trunc(real) != real)
    refuse(place, QStringLiteral("a whole number"), QString::number(real));
  if (!(std::abs(real) <= largestExactInteger))
    refuse(place, QStringLiteral("an integer that fits in 64 bits"), QString::number(real));
  return static_cast<qint64>(real);
}

double decodeNumber(const QJsonValue& value, const JsonPlace& place) {
  if (!value.isDouble()) refuse(place, QStringLiteral("a number"), kindOf(value));
  return value.toDouble();
}

bool decodeBoolean(const QJsonValue& value, const JsonPlace& place) {
  if (!value.isBool()) refuse(place, QStringLiteral("a Boolean"), kindOf(value));
  return value.toBool();
}

QByteArray decodeData(const QJsonValue& value, const JsonPlace& place) {
  const QString text = decodeString(value, place);
  const QByteArray base64 = text.toLatin1();
  auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
  if (base64.size() % 4 != 0 || text.size() != base64.size() || !decoded)
    refuse(place, QStringLiteral("Base64 data"), QStringLiteral("a string that is not Base64"));
  return *decoded;
}

JsonObjectReader decodeObject(const QJsonValue& value, const JsonPlace& place) {
  if (!value.isObject()) refuse(place, QStringLiteral("an object"), kindOf(value));
  return place.objectReader(value.toObject());
}

JsonArrayReader decodeArray(const QJsonValue& value, const JsonPlace& place) {
  if (!value.isArray()) refuse(place, QStringLiteral("an array"), kindOf(value));
  return place.arrayReader(value.toArray());
}

QJsonValue decodeAny(const QJsonValue& value, const JsonPlace&) { return value; }

}  // namespace

QString JsonPlace::subject() const {
  const QString parent = trailOf(holder).path();
  if (index)
    return QStringLiteral("Item %1%2").arg(*index).arg(parent.isEmpty() ? QString() : " of " + parent);
  return QStringLiteral("The value of \"%1\"%2").arg(key, within(parent));
}

JsonObjectReader::JsonObjectReader(QJsonObject object, QString path)
    : m_object(std::move(object)), m_trail(spelledOut(std::move(path))) {}

JsonObjectReader::JsonObjectReader(QJsonObject object, std::shared_ptr<const JsonReaderTrail> trail)
    : m_object(std::move(object)), m_trail(std::move(trail)) {}

QString JsonObjectReader::path() const { return trailOf(m_trail).path(); }

JsonObjectReader JsonObjectReader::parse(const QByteArray& bytes) {
  return JsonObjectReader(Json::parseObject(bytes));
}

template <typename T>
T JsonObjectReader::required(const QString& key,
                             T (*decode)(const QJsonValue&, const JsonPlace&)) const {
  if (const auto found = optional(key, JsonNull::refused, decode)) return *found;
  throw JsonError(QStringLiteral("The key \"%1\" is missing%2.").arg(key, within(path())), key,
                  JsonPlace{key, m_trail, {}}.path());
}

template <typename T>
std::optional<T> JsonObjectReader::optional(const QString& key, JsonNull null,
                                            T (*decode)(const QJsonValue&,
                                                        const JsonPlace&)) const {
  const auto it = m_object.constFind(key);
  if (it == m_object.constEnd() || (null == JsonNull::absent && it.value().isNull()))
    return std::nullopt;
  return decode(it.value(), JsonPlace{key, m_trail, {}});
}

QString JsonObjectReader::string(const QString& key) const { return required(key, decodeString); }
qint64 JsonObjectReader::integer(const QString& key) const { return required(key, decodeInteger); }
double JsonObjectReader::number(const QString& key) const { return required(key, decodeNumber); }
bool JsonObjectReader::boolean(const QString& key) const { return required(key, decodeBoolean); }
QByteArray JsonObjectReader::data(const QString& key) const { return required(key, decodeData); }
JsonObjectReader JsonObjectReader::object(const QString& key) const {
  return required(key, decodeObject);
}
JsonArrayReader JsonObjectReader::array(const QString& key) const {
  return required(key, decodeArray);
}
QJsonValue JsonObjectReader::value(const QString& key) const { return required(key, decodeAny); }

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
std::optional<JsonObjectReader> JsonObjectReader::optionalObject(const QString& key,
                                                                 JsonNull null) const {
  return optional(key, null, decodeObject);
}
std::optional<JsonArrayReader> JsonObjectReader::optionalArray(const QString& key,
                                                               JsonNull null) const {
  return optional(key, null, decodeArray);
}

JsonArrayReader::JsonArrayReader(QJsonArray array, QString key, QString path)
    : m_array(std::move(array)), m_key(std::move(key)), m_trail(spelledOut(std::move(path))) {}

JsonArrayReader::JsonArrayReader(QJsonArray array, QString key,
                                 std::shared_ptr<const JsonReaderTrail> trail)
    : m_array(std::move(array)), m_key(std::move(key)), m_trail(std::move(trail)) {}

QString JsonArrayReader::path() const { return trailOf(m_trail).path(); }

JsonArrayReader JsonArrayReader::parse(const QByteArray& bytes) {
  return JsonArrayReader(Json::parseArray(bytes), QString(), QString());
}

template <typename T>
T JsonArrayReader::item(qsizetype index, T (*decode)(const QJsonValue&, const JsonPlace&)) const {
  const JsonPlace place{m_key, m_trail, index};
  if (index < 0 || index >= m_array.size())
    throw JsonError(
        QStringLiteral("%1 is missing; there are %2 items.").arg(place.subject()).arg(m_array.size()),
        m_key, place.path());
  return decode(m_array.at(index), place);
}

QString JsonArrayReader::string(qsizetype index) const { return item(index, decodeString); }
qint64 JsonArrayReader::integer(qsizetype index) const { return item(index, decodeInteger); }
double JsonArrayReader::number(qsizetype index) const { return item(index, decodeNumber); }
bool JsonArrayReader::boolean(qsizetype index) const { return item(index, decodeBoolean); }
QByteArray JsonArrayReader::data(qsizetype index) const { return item(index, decodeData); }
JsonObjectReader JsonArrayReader::object(qsizetype index) const {
  return item(index, decodeObject);
}
JsonArrayReader JsonArrayReader::array(qsizetype index) const { return item(index, decodeArray); }

QStringList JsonArrayReader::strings() const {
  QStringList items;
  items.reserve(m_array.size());
  for (qsizetype i = 0; i < m_array.size(); ++i) items << string(i);
  return items;
}

std::vector<qint64> JsonArrayReader::integers() const {
  std::vector<qint64> items;
  items.reserve(static_cast<std::size_t>(m_array.size()));
  for (qsizetype i = 0; i < m_array.size(); ++i) items.push_back(integer(i));
  return items;
}

std::vector<JsonObjectReader> JsonArrayReader::objects() const {
  std::vector<JsonObjectReader> items;
  items.reserve(static_cast<std::size_t>(m_array.size()));
  for (qsizetype i = 0; i < m_array.size(); ++i) items.push_back(object(i));
  return items;
}

}  // namespace pf
