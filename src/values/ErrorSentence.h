#pragma once

#include <QString>
#include <exception>

/// The sentence a caught error shows the user: its `what()`, read as UTF-8.
/// Every error the program throws at a user carries a finished sentence there.
QString errorSentence(const std::exception& error);
