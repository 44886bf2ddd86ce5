#include "values/QuibError.h"

QuibError::QuibError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
