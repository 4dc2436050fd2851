// SPDX-License-Identifier: GPL-3.0-or-later
// Lossless conversion between file-name bytes and QString.
#include "core/file_names.h"

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not one.
int utf8Length(const QByteArray& s, qsizetype i) {
    const auto b = [&](qsizetype k) { return k < s.size() ? quint8(s[k]) : 0; };
    const quint8 c = b(i);
    auto cont = [&](qsizetype k) { return (b(k) & 0xC0) == 0x80; };
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const quint8 c1 = b(i + 1);
        if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0))
            return 0; // overlong or a surrogate
        return cont(i + 1) && cont(i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const quint8 c1 = b(i + 1);
        if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) return 0;
        return cont(i + 1) && cont(i + 2) && cont(i + 3) ? 4 : 0;
    }
    return 0;
}

} // namespace

QString DecodeFileName(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    qsizetype run = 0; // start of the valid bytes not yet appended
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int n = utf8Length(bytes, i);
        if (n > 0) {
            i += n;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + run, i - run);
        name += QChar(char16_t(0xDC00 + quint8(bytes[i])));
        run = ++i;
    }
    name += QString::fromUtf8(bytes.constData() + run, i - run);
    return name;
}

QByteArray EncodeFileName(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype run = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool escaped =
            c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !name[i - 1].isHighSurrogate());
        if (!escaped) continue;
        bytes += QStringView(name).mid(run, i - run).toUtf8();
        bytes += char(c - 0xDC00);
        run = i + 1;
    }
    bytes += QStringView(name).mid(run).toUtf8();
    return bytes;
}
