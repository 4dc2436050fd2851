// SPDX-License-Identifier: GPL-3.0-or-later
// File names as the system's bytes, carried in QString without loss.
#pragma once

#include <QByteArray>
#include <QString>

// A name as the system gives it, decoded as UTF-8; each byte that is not part
// of valid UTF-8 is kept as a lone surrogate U+DC80..U+DCFF, so a name in
// another encoding (Latin-1 "lat\xe9.jpg") comes back byte for byte.
QString DecodeFileName(const QByteArray& bytes);
// The bytes of a name made by DecodeFileName (or any other QString).
QByteArray EncodeFileName(const QString& name);
