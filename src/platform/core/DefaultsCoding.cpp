#include "platform/core/DefaultsCoding.h"

#include "platform/core/Json.h"
#include "platform/core/JsonReader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace pf {
namespace {

const QString dataTag = QStringLiteral("$data");
const QString doubleTag = QStringLiteral("$double");
const QString dictionaryTag = QStringLiteral("$dictionary");

// Anybody may edit a settings file, so a key or a text in it can run to
// megabytes; a message quotes this many characters of one, enough to find it.
constexpr qsizetype quotedLength = 120;

/// `text`, or its start and end around an ellipsis when it is longer than a message should quote.
QString quoted(const QString& text) {
  if (text.size() <= quotedLength) return text;
  qsizetype head = quotedLength / 2;
  qsizetype tail = text.size() - quotedLength / 2;
  if (text.at(head - 1).isHighSurrogate()) --head;
  if (text.at(tail).isLowSurrogate()) ++tail;
  return text.left(head) + QStringLiteral("…") + text.mid(tail);
}

bool looksTagged(const QJsonObject& object) {
  return object.size() == 1 && object.begin().key().startsWith(u'$');
}

QString doubleText(double value) {
  if (std::isnan(value)) return QStringLiteral("nan");
  if (std::isinf(value)) return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
  if (value == 0 && std::signbit(value)) return QStringLiteral("-0");  // Qt prints it as "0"
  return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

double doubleFromText(const QString& text, const QString& path) {
  if (text == u"nan") return std::numeric_limits<double>::quiet_NaN();
  if (text == u"inf") return std::numeric_limits<double>::infinity();
  if (text == u"-inf") return -std::numeric_limits<double>::infinity();
  bool ok = false;
  const double value = text.toDouble(&ok);
  if (!ok || !std::isfinite(value))
    throw JsonError(QStringLiteral("The value at \"%1\" must be a number, not \"%2\".")
                        .arg(quoted(path), quoted(text)),
                    path, path);
  return value;
}

QVariant fromTagged(const QJsonObject& object, const JsonTrail& trail) {
  const QString tag = object.begin().key();
  if (tag == dictionaryTag && object.begin().value().isObject()) {
    QVariantMap map;
    const QJsonObject inner = object.begin().value().toObject();
    for (auto it = inner.begin(); it != inner.end(); ++it)
      map.insert(it.key(), DefaultsCoding::fromJson(it.value(), trail.member(it.key())));
    return map;
  }
  // The other tags hold a single text, so the path is spelled out only here.
  const QString path = trail.path();
  const JsonObjectReader reader(object, quoted(path));
  if (tag == dataTag) return reader.data(dataTag);
  if (tag == doubleTag) return doubleFromText(reader.string(doubleTag), path);
  if (tag == dictionaryTag) reader.object(dictionaryTag);  // names the wrong type
  throw JsonError(QStringLiteral("The value at \"%1\" has the unknown tag \"%2\".")
                      .arg(quoted(path), quoted(tag)),
                  tag, path);
}

}  // namespace

QVariant DefaultsCoding::normalized(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::QString:
    case QMetaType::QByteArray:
      return value;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
      return value.toLongLong();
    case QMetaType::ULong:
    case QMetaType::ULongLong:
      if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
        throw std::invalid_argument("A user-defaults integer must fit in 64 signed bits.");
      return value.toLongLong();
    case QMetaType::Float:
      return value.toDouble();
    case QMetaType::QStringList:
      return normalized(QVariant(value.value<QVariantList>()));
    case QMetaType::QVariantList: {
      QVariantList list;
      for (const QVariant& item : value.toList()) list << normalized(item);
      return list;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
      QVariantMap map;
      const QVariantMap source = value.toMap();
      for (auto it = source.begin(); it != source.end(); ++it)
        map.insert(it.key(), normalized(it.value()));
      return map;
    }
    default:
      break;
  }
  throw std::invalid_argument(
      QStringLiteral("A user-defaults value cannot be of type %1.")
          .arg(QString::fromLatin1(value.metaType().name() ? value.metaType().name() : "none"))
          .toStdString());
}

bool DefaultsCoding::isNumber(const QVariant& value) {
  return value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double;
}

QByteArray DefaultsCoding::encodeDomain(const QVariantMap& values) {
  QJsonObject object;
  for (auto it = values.begin(); it != values.end(); ++it)
    object.insert(it.key(), toJson(it.value()));
  return Json::encode(object);
}

QVariantMap DefaultsCoding::decodeDomain(const QByteArray& bytes) {
  const QJsonObject object = Json::parseObject(bytes);
  QVariantMap values;
  for (auto it = object.begin(); it != object.end(); ++it)
    values.insert(it.key(), fromJson(it.value(), JsonTrail{}.member(it.key())));
  return values;
}

QJsonValue DefaultsCoding::toJson(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool();
    case QMetaType::LongLong:
      return value.toLongLong();
    case QMetaType::Double: {
      const double number = value.toDouble();
      if (std::isfinite(number) && std::trunc(number) != number) return number;
      return QJsonObject{{doubleTag, doubleText(number)}};
    }
    case QMetaType::QString:
      return value.toString();
    case QMetaType::QByteArray:
      return QJsonObject{{dataTag, Json::data(value.toByteArray())}};
    case QMetaType::QVariantList: {
      QJsonArray array;
      for (const QVariant& item : value.toList()) array.append(toJson(item));
      return array;
    }
    case QMetaType::QVariantMap: {
      QJsonObject object;
      const QVariantMap map = value.toMap();
      for (auto it = map.begin(); it != map.end(); ++it)
        object.insert(it.key(), toJson(it.value()));
      if (looksTagged(object)) return QJsonObject{{dictionaryTag, object}};
      return object;
    }
    default:
      break;
  }
  return toJson(normalized(value));
}

QVariant DefaultsCoding::fromJson(const QJsonValue& value, const JsonTrail& trail) {
  if (trail.depth > maximumDepth) {
    const QString path = trail.path();
    throw JsonError(QStringLiteral("The value at \"%1\" is nested deeper than %2 levels.")
                        .arg(quoted(path), QString::number(maximumDepth)),
                    path, path);
  }
  switch (value.type()) {
    case QJsonValue::Bool:
      return value.toBool();
    case QJsonValue::Double:
      return value.toVariant();
    case QJsonValue::String:
      return value.toString();
    case QJsonValue::Array: {
      QVariantList list;
      const QJsonArray array = value.toArray();
      for (qsizetype i = 0; i < array.size(); ++i)
        list << fromJson(array.at(i), trail.item(i));
      return list;
    }
    case QJsonValue::Object: {
      const QJsonObject object = value.toObject();
      if (looksTagged(object)) return fromTagged(object, trail);
      QVariantMap map;
      for (auto it = object.begin(); it != object.end(); ++it)
        map.insert(it.key(), fromJson(it.value(), trail.member(it.key())));
      return map;
    }
    case QJsonValue::Null:
    case QJsonValue::Undefined:
      break;
  }
  const QString path = trail.path();
  throw JsonError(QStringLiteral("The value at \"%1\" is null, which user defaults cannot hold.")
                      .arg(quoted(path)),
                  path, path);
}

}  // namespace pf
