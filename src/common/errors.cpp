#include "errors.h"

Exception::Exception(const QString &message) : m_message(message), m_utf8(message.toUtf8()) {}
