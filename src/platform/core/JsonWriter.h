#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <vector>

namespace pf {

/// Writes JSON text piece by piece, exactly as `Json::encode` writes the same
/// value (pretty-printed with four spaces, "/" unescaped), without building a
/// QJsonObject first: for large files that costs several times the writing.
/// Keys are written in the order given, so callers give them sorted.
class JsonWriter final {
 public:
  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  /// The key of the next value in the current object.
  void key(QStringView key);

  void string(QStringView text);
  void integer(qint64 number);
  /// Throws JsonError for a number that is not finite.
  void number(double number);
  void boolean(bool value);

  /// The finished text, ending in a line break.
  QByteArray take();

 private:
  void beforeValue();
  void newLine();
  void close(char bracket);

  QByteArray m_text;
  /// For each open object or array: whether it holds nothing yet.
  std::vector<bool> m_empty;
  bool m_afterKey = false;
};

}  // namespace pf
