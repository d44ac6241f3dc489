// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole files for tests: reading one to compare, writing one as a fixture.

#include <QByteArray>
#include <QString>

// The file's bytes, or "<missing>" when it cannot be read, so that a comparison shows why.
QByteArray readFile(const QString &path);
// Writes bytes as the whole file; false when it cannot.
[[nodiscard]] bool writeFile(const QString &path, const QByteArray &bytes);
