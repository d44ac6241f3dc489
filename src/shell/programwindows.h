// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The six windows of the program as their classes, as the registry holds them (nullptr before the
// start-up creates them): for code that drives the whole program, such as tests and the snapshots.

#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "download/formdownload.h"
#include "exam/formprova.h"
#include "shell/formtopo.h"
#include "signs/formdados.h"
#include "signs/formplacas.h"

namespace ProgramWindows {
inline TFormTopo *formTopo()
{
    return AppWindows::get<TFormTopo>(AppWindow::Topo);
}
inline TFormProva *formProva()
{
    return AppWindows::get<TFormProva>(AppWindow::Prova);
}
inline TFormPlacas *formPlacas()
{
    return AppWindows::get<TFormPlacas>(AppWindow::Placas);
}
inline TFormDados *formDados()
{
    return AppWindows::get<TFormDados>(AppWindow::Dados);
}
inline TFormCodigo *formCodigo()
{
    return AppWindows::get<TFormCodigo>(AppWindow::Codigo);
}
inline TFormDownload *formDownload()
{
    return AppWindows::get<TFormDownload>(AppWindow::Download);
}
} // namespace ProgramWindows
