// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Error classes of the program. Every error carries the message shown to the user; the
// application-wide error display (errordisplay.h) replaces the message of the file-open,
// input/output and conversion errors with a fixed Portuguese text.

#include <QByteArray>
#include <QString>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(const QString &message);
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

#define QUELVADO_ERROR_CLASS(Name, Base)                                                                     \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    };

// A file could not be opened (missing, locked, no permission).
QUELVADO_ERROR_CLASS(EFOpenError, Exception)
// Reading or writing an open file failed (bad file or drive).
QUELVADO_ERROR_CLASS(EInOutError, Exception)
// A file could not be created; shown with its own message.
QUELVADO_ERROR_CLASS(EFCreateError, Exception)
// A read or write on an open file stream came up short; shown with its own message.
QUELVADO_ERROR_CLASS(EStreamError, Exception)
// Text could not be converted to a number, date or time.
QUELVADO_ERROR_CLASS(EConvertError, Exception)
// A table store or its file is misused or damaged.
QUELVADO_ERROR_CLASS(EDatabaseError, Exception)
QUELVADO_ERROR_CLASS(EBinaryDataSetError, Exception)
// A colour contrast outside 0..1 or a colour that cannot be converted.
QUELVADO_ERROR_CLASS(EColorConv, Exception)
// A component was given an owner it cannot work with.
QUELVADO_ERROR_CLASS(EOwnerError, Exception)
// An internal consistency check failed.
QUELVADO_ERROR_CLASS(EAssertionFailed, Exception)

#undef QUELVADO_ERROR_CLASS
