#include "character/QuibAction.h"

std::optional<QuibAction> QuibAction::fromRawValue(const QString& rawValue) {
  for (QuibAction action : allCases)
    if (action.rawValue() == rawValue) return action;
  return std::nullopt;
}

QString QuibAction::rawValue() const {
  switch (m_value) {
    case dance: return QStringLiteral("dance");
    case dj: return QStringLiteral("dj");
  }
  return {};
}

QString QuibAction::title() const {
  switch (m_value) {
    case dance: return QStringLiteral("Dance 01");
    case dj: return QStringLiteral("DJ Mode");
  }
  return {};
}
