#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <map>
#include <optional>

namespace pf {

/// One user-defaults domain: the standard one ("org.wendle.Wendle") or a
/// named suite, stored as "<name>.json" under $XDG_CONFIG_HOME/wendle/
/// (~/.config/wendle/ by default). Values follow DefaultsCoding: bool,
/// integer, double, string, data, array and dictionary; a bool is never a
/// number, an integer and a double both are.
///
/// Reads come from memory. Every change takes the domain's lock
/// ("<name>.lock" beside the file), reads the file afresh, applies only the
/// changed key and writes the file atomically, so running copies never lose
/// each other's keys. Changes other copies write are picked up when the
/// event loop reports the file changed. A damaged file, or one larger than
/// `maximumFileBytes`, is kept aside as "<name>.damaged-<time>.json" and the
/// domain starts empty. Main thread only.
class UserDefaults final {
 public:
  /// The largest settings file that is read.
  static constexpr qint64 maximumFileBytes = 16 * 1024 * 1024;

  UserDefaults(const UserDefaults&) = delete;
  UserDefaults& operator=(const UserDefaults&) = delete;
  ~UserDefaults();

  /// The process-wide standard domain.
  static UserDefaults& standard();
  /// The process-wide domain of that name (the same object for the same
  /// name); the standard domain's name gives the standard domain. Throws
  /// std::invalid_argument for a name that cannot be a file name.
  static UserDefaults& suite(const QString& name);
  /// Forgets every domain object, so the next access starts afresh from the
  /// environment's configuration folder. For tests, which give each case its
  /// own folder; references taken before are dangling afterwards.
  static void resetAll();

  /// The bundle identifier, "org.wendle.Wendle".
  static QString standardName();
  /// The folder holding every domain's file.
  static QString folder();

  const QString& name() const { return m_name; }
  /// The domain's JSON file.
  const QString& filePath() const { return m_path; }

  /// The stored value, else the registered one; nothing when neither exists.
  std::optional<QVariant> object(const QString& key) const;
  /// Only a string reads as a string.
  std::optional<QString> string(const QString& key) const;
  /// A bool; a number other than 0; the strings "true" and "YES" in any
  /// case. False otherwise.
  bool boolValue(const QString& key) const;
  /// An integer, or a double truncated toward zero; 0 for anything else.
  qint64 integerValue(const QString& key) const;
  /// An integer or a double; 0 for anything else (a bool is not a number).
  double doubleValue(const QString& key) const;
  std::optional<QByteArray> data(const QString& key) const;
  std::optional<QVariantList> array(const QString& key) const;
  /// An array whose items are all strings.
  std::optional<QStringList> stringArray(const QString& key) const;
  std::optional<QVariantMap> dictionary(const QString& key) const;
  /// Whether the value is an integer or a double.
  bool isNumber(const QString& key) const;
  /// Registered values overlaid with the stored ones.
  QVariantMap dictionaryRepresentation() const;

  /// Stores the value (an invalid QVariant removes the key). Throws
  /// std::invalid_argument for a type the model has no place for. A change
  /// that cannot be written is kept in memory and written with the next one.
  void set(const QString& key, const QVariant& value);
  void remove(const QString& key);
  /// Values answered for keys the domain does not store; kept in memory only.
  void registerDefaults(const QVariantMap& values);

 private:
  UserDefaults(QString name, const QString& folder);
  static UserDefaults& domain(const QString& name);

  const QVariant* find(const QString& key) const;
  void change(const QString& key, std::optional<QVariant> value);
  void writeChanges();
  void reloadIfChanged();
  QVariantMap readUnderLock();
  void setAside(const QString& reason);
  void adopt(QVariantMap values);

  QString m_name;
  QString m_path;
  QString m_lockPath;
  QVariantMap m_registered;
  /// The file as last read or written, with unwritten changes on top.
  QVariantMap m_stored;
  /// Changes not yet written (none when removing).
  std::map<QString, std::optional<QVariant>> m_pending;
  /// The file's bytes as last read or written; nothing when there was no file.
  std::optional<QByteArray> m_lastBytes;
};

}  // namespace pf
