#include "platform/core/Json.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <cmath>
#include <optional>

namespace pf {
namespace {

// The path of the first number that is not finite, e.g. ".list[1]"; put
// together only on the way back from one, since most documents have none.
std::optional<QString> nonFinitePath(const QJsonValue& value) {
  if (value.isDouble()) return std::isfinite(value.toDouble()) ? std::nullopt : std::optional(QString());
  if (value.isArray()) {
    const QJsonArray array = value.toArray();
    for (qsizetype i = 0; i < array.size(); ++i)
      if (auto inner = nonFinitePath(array.at(i))) return QStringLiteral("[%1]").arg(i) + *inner;
  } else if (value.isObject()) {
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it)
      if (auto inner = nonFinitePath(it.value())) return u'.' + it.key() + *inner;
  }
  return std::nullopt;
}

// QJsonDocument already writes what we need (keys sorted, "/" left alone,
// shortest round-trip numbers) but silently turns NaN and infinities into
// null; refusing them keeps a bad number from being stored as something else.
void requireFinite(const QJsonValue& value) {
  auto path = nonFinitePath(value);
  if (!path) return;
  if (path->startsWith(u'.')) path->remove(0, 1);
  throw JsonError(
      QStringLiteral("The number at \"%1\" is not finite and cannot be written as JSON.").arg(*path),
      {}, *path);
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
  requireFinite(object);
  return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

QByteArray Json::encode(const QJsonArray& array) {
  requireFinite(array);
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
