// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "errordisplay.h"

#include "dialogs.h"
#include "errors.h"

#include <new>
#include <stdexcept>

QString errorDisplayText(const std::exception &e)
{
    if (dynamic_cast<const EFOpenError *>(&e))
        return QStringLiteral("Erro no conteúdo do Arquivo");
    if (dynamic_cast<const EInOutError *>(&e))
        return QStringLiteral("Arquivo ou Drive Inválido");
    if (dynamic_cast<const EConvertError *>(&e))
        return QStringLiteral("Data Inválida");
    if (const auto *own = dynamic_cast<const Exception *>(&e))
        return own->message();
    if (dynamic_cast<const std::bad_alloc *>(&e))
        return QStringLiteral("Memória insuficiente");
    return QString::fromUtf8(e.what());
}

void MostraErro(const std::exception &e)
{
    Dialogs::error(errorDisplayText(e));
}

bool guarded(const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception &e) {
        MostraErro(e);
    } catch (...) {
        MostraErro(std::runtime_error("Erro desconhecido"));
    }
    return false;
}
