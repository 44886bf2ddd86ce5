#include "platform/core/Json.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <cmath>
#include <vector>

namespace pf {
namespace {

/// Qt writes a byte order mark that starts a text as it is, and drops it there
/// when reading; escaped, it reads back. Outside a text a quote is never
/// followed by the mark, and within one a quote is escaped, so the pair can
/// only be a text's start or an escaped quote followed by a mark, where the
/// escape is harmless.
QByteArray withLeadingMarksEscaped(QByteArray json) { return json.replace("\"\xEF\xBB\xBF", "\"\\ufeff"); }

// QJsonDocument already writes what we need (keys sorted, "/" left alone,
// shortest round-trip numbers) but silently turns NaN and infinities into
// null; refusing them keeps a bad number from being stored as something else.
void requireFinite(const QJsonValue& value, const JsonTrail& trail) {
  if (value.isDouble() && !std::isfinite(value.toDouble())) {
    const QString path = trail.path();
    throw JsonError(QStringLiteral("The number at \"%1\" is not finite and cannot be written as JSON.").arg(path), {},
                    path);
  }
  if (value.isArray()) {
    const QJsonArray array = value.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) requireFinite(array.at(i), trail.item(i));
  } else if (value.isObject()) {
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) requireFinite(it.value(), trail.member(it.key()));
  }
}

QJsonDocument parse(const QByteArray& bytes) {
  QJsonParseError error{};
  QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError)
    throw JsonError(
        QStringLiteral("The text is not valid JSON (%1 at byte %2).").arg(error.errorString()).arg(error.offset));
  return document;
}

}  // namespace

QString JsonTrail::path() const {
  std::vector<const JsonTrail*> links;
  for (const JsonTrail* link = this; link->parent; link = link->parent) links.push_back(link);
  QString text;
  for (auto it = links.rbegin(); it != links.rend(); ++it) {
    if ((*it)->index >= 0)
      text += QStringLiteral("[%1]").arg((*it)->index);
    else
      text += text.isEmpty() ? (*it)->key : u'.' + (*it)->key;
  }
  return text;
}

JsonError::JsonError(const QString& message, QString key, QString path)
    : std::runtime_error(message.toStdString()), m_key(std::move(key)), m_path(std::move(path)) {}

QByteArray Json::encode(const QJsonObject& object) {
  requireFinite(object, JsonTrail{});
  return withLeadingMarksEscaped(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

QByteArray Json::encode(const QJsonArray& array) {
  requireFinite(array, JsonTrail{});
  return withLeadingMarksEscaped(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

QJsonObject Json::parseObject(const QByteArray& bytes) {
  const QJsonDocument document = parse(bytes);
  if (!document.isObject()) throw JsonError(QStringLiteral("The JSON text must hold an object, not an array."));
  return document.object();
}

QJsonArray Json::parseArray(const QByteArray& bytes) {
  const QJsonDocument document = parse(bytes);
  if (!document.isArray()) throw JsonError(QStringLiteral("The JSON text must hold an array, not an object."));
  return document.array();
}

QJsonValue Json::data(const QByteArray& bytes) { return QString::fromLatin1(bytes.toBase64()); }

}  // namespace pf
