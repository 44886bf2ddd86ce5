#pragma once

#include "platform/core/Color.h"

#include <QString>
#include <exception>

class QPushButton;

/// What both favorites windows share beyond their frames.
namespace FavoriteWindowParts {

/// Gives `button` a coloured face and white text.
void tintButton(QPushButton* button, const pf::Color& bezel);
/// Shows the error of a failed action: its sentence, unchanged.
QString sentence(const std::exception& error);

}  // namespace FavoriteWindowParts
