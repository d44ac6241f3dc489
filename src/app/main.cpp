// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/startup.h"

int main(int argc, char *argv[])
{
    return Startup::run(argc, argv);
}
