#pragma once

#include "platform/core/Color.h"

#include <QString>
#include <exception>

class QPushButton;

/// What both favorites windows share beyond their frames.
namespace FavoriteWindowParts {

/// Gives `button` a coloured face and white text.
void tintButton(QPushButton* button, const pf::Color& bezel);

}  // namespace FavoriteWindowParts
