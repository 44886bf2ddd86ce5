#include "values/ErrorSentence.h"

QString errorSentence(const std::exception& error) { return QString::fromUtf8(error.what()); }
