#pragma once

#include <QString>
#include <vector>

namespace pf {

/// An application as the desktop lists it: its desktop entry's name, the
/// entry's path (which stands for the application) and its icon name.
struct InstalledApplication {
  QString name;
  QString path;
  /// A name in the icon theme or an absolute path; empty without one.
  QString icon;

  bool operator==(const InstalledApplication&) const = default;
};

/// The applications installed for this user, as GIO lists them from the
/// desktop entries of every XDG data folder (the user's own entry wins over
/// the system's of the same id), without those meant to stay hidden, in the
/// file browser's order of their names.
std::vector<InstalledApplication> installedApplications();

}  // namespace pf
