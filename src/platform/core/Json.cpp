#include "platform/core/Json.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <cmath>

namespace pf {
namespace {

// QJsonDocument already writes what we need (keys sorted, "/" left alone,
// shortest round-trip numbers) but silently turns NaN and infinities into
// null; refusing them keeps a bad number from being stored as something else.
void requireFinite(const QJsonValue& value, const QString& path) {
  if (value.isDouble() && !std::isfinite(value.toDouble()))
    throw JsonError(
        QStringLiteral("The number at \"%1\" is not finite and cannot be written as JSON.")
            .arg(path),
        {}, path);
  if (value.isArray()) {
    const QJsonArray array = value.toArray();
    for (qsizetype i = 0; i < array.size(); ++i)
      requireFinite(array.at(i), QStringLiteral("%1[%2]").arg(path).arg(i));
  } else if (value.isObject()) {
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it)
      requireFinite(it.value(), path.isEmpty() ? it.key() : path + u'.' + it.key());
  }
}

QJsonDocument parse(const QByteArray& bytes) {
  QJsonParseError error{};
  QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError)
    throw JsonError(QStringLiteral("The text is not valid JSON (%1 at byte %2).")
                        .arg(error.errorString())
                        .arg(error.offset));
  return document;
}

}  // namespace

JsonError::JsonError(const QString& message, QString key, QString path)
    : std::runtime_error(message.toStdString()), m_key(std::move(key)), m_path(std::move(path)) {}

QByteArray Json::encode(const QJsonObject& object) {
  requireFinite(object, {});
  return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

QByteArray Json::encode(const QJsonArray& array) {
  requireFinite(array, {});
  return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QJsonObject Json::parseObject(const QByteArray& bytes) {
  const QJsonDocument document = parse(bytes);
  if (!document.isObject())
    throw JsonError(QStringLiteral("The JSON text must hold an object, not an array."));
  return document.object();
}

QJsonArray Json::parseArray(const QByteArray& bytes) {
  const QJsonDocument document = parse(bytes);
  if (!document.isArray())
    throw JsonError(QStringLiteral("The JSON text must hold an array, not an object."));
  return document.array();
}

QJsonValue Json::data(const QByteArray& bytes) { return QString::fromLatin1(bytes.toBase64()); }

}  // namespace pf
