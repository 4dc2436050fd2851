// SPDX-License-Identifier: GPL-3.0-or-later
// The in-memory editing session of the command tests.
#include "testing/edit_session.h"

#include <QGuiApplication>

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "lumaset-test";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv); // lives for the whole test program
}

EditSession::EditSession(std::unique_ptr<Bitmap> image) {
    doc.m_nWidth = int(image->GetWidth());
    doc.m_nHeight = int(image->GetHeight());
    doc.OnNewDocument();
    doc.SetImage(std::move(image));
    doc.PushBackup(true);
    doc.SetModifiedFlag(false);
}

CommandResult EditSession::run(int commandId, const Params& values) {
    return ExecuteCommand(context, *FindCommand(commandId), values);
}
