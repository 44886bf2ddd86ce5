#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

/// The user-facing error of the shortcut, reminder, favorites and file-drop
/// code: one finished sentence, shown to the user unchanged.
class QuibError final : public std::exception {
 public:
  explicit QuibError(QString message);

  /// The finished sentence.
  const QString& message() const { return m_message; }
  const char* what() const noexcept override { return m_utf8.constData(); }

 private:
  QString m_message;
  QByteArray m_utf8;
};
