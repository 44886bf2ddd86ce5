#pragma once

#include <QString>
#include <stdexcept>

/// A transfer check that failed, with its finished sentence.
class FileDropError final : public std::runtime_error {
 public:
  enum class Code {
    /// Every numbered name for the item is taken.
    tooManyNames = 1,
    /// One of the per-item checks refused the item.
    check = 2,
  };

  FileDropError(Code code, const QString& message)
      : std::runtime_error(message.toStdString()), m_code(code), m_message(message) {}

  Code code() const { return m_code; }
  /// The finished sentence.
  const QString& message() const { return m_message; }

 private:
  Code m_code = Code::check;
  QString m_message;
};
