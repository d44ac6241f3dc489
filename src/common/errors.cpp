// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "errors.h"

Exception::Exception(const QString &message) : m_message(message), m_utf8(message.toUtf8()) {}
