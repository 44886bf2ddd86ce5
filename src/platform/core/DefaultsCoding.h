#pragma once

#include "platform/core/Json.h"

#include <QByteArray>
#include <QJsonValue>
#include <QVariant>
#include <QVariantMap>

namespace pf {

/// The value model of user defaults and its file form. A value is a bool,
/// an integer (qint64), a double, a string, data (QByteArray), an array
/// (QVariantList) or a dictionary (QVariantMap) of values. In the JSON file
/// data is tagged {"$data": Base64}, and a double whose value JSON would
/// read back as an integer (400.0, -0.0, NaN, infinities) is tagged
/// {"$double": "400"}, so every value returns with its own type. A
/// dictionary that looks like a tag is wrapped in {"$dictionary": {...}}.
class DefaultsCoding final {
 public:
  DefaultsCoding() = delete;

  /// The deepest nesting of arrays and dictionaries a file may hold.
  static constexpr int maximumDepth = 64;

  /// The value in the model's own types: every integer type becomes qint64,
  /// float becomes double, string lists and hashes become lists and maps.
  /// Throws std::invalid_argument for any other type.
  static QVariant normalized(const QVariant& value);

  /// A bool is never a number.
  static bool isNumber(const QVariant& value);

  /// One domain's file: pretty-printed, keys sorted, equal domains give equal bytes.
  static QByteArray encodeDomain(const QVariantMap& values);
  /// Throws JsonError naming the key for anything that is not a valid domain file.
  static QVariantMap decodeDomain(const QByteArray& bytes);

  static QJsonValue toJson(const QVariant& value);
  /// `trail` places the value for error messages; a value nested deeper
  /// than `maximumDepth` throws JsonError.
  static QVariant fromJson(const QJsonValue& value, const JsonTrail& trail);
};

}  // namespace pf
