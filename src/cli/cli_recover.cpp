// SPDX-License-Identifier: GPL-3.0-or-later
// Lists and opens the sessions the crash-recovery journal kept.
#include "cli/cli_recover.h"

#include "cli/cli_host.h"
#include "document/lumaset_doc.h"
#include "document/session_journal.h"

#include <QFileInfo>
#include <cstdio>

namespace {

// The picture size and depth at the session's position.
QString pictureOf(const SessionJournal& journal) {
    if (journal.position < 1) return QStringLiteral("nothing to restore");
    const JournalStep& step = journal.steps[std::size_t(journal.position - 1)];
    return QStringLiteral("%1 x %2 %3-bit")
        .arg(step.width)
        .arg(step.height)
        .arg(BytesPerPixel(step.format) * 8);
}

} // namespace

int ListRecoverableSessions(const QString& backupDir) {
    // Taking the folder moves a session its last owner left in it aside.
    BackupStore store(backupDir);
    if (!store.error().isEmpty()) {
        PrintError("backup folder " + store.folder() + ": " + store.error());
        return 1;
    }
    const auto sessions = FindRecoverableSessions(store.base(), store.folder());
    if (sessions.empty()) std::fprintf(stderr, "lumaset-cli: no session to recover\n");
    for (const InspectedSession& s : sessions) {
        const SessionJournal& j = s.kept;
        QString line =
            QStringLiteral("%1\t%2\t%3\tstep %4 of %5\t%6")
                .arg(s.folder, s.time.toString(Qt::ISODate),
                     j.documentPath.isEmpty() ? QStringLiteral("(new picture)") : j.documentPath)
                .arg(j.position)
                .arg(j.steps.size())
                .arg(pictureOf(j));
        if (!s.problem.isEmpty()) line += "\t(" + s.problem + ")";
        std::printf("%s\n", line.toLocal8Bit().constData());
    }
    return 0;
}

bool OpenRecoveredSession(CLumasetDoc& doc, const QString& folder) {
    // The folder this run took may be the one a crashed session was just
    // moved out of.
    const bool ours = QFileInfo(folder).absoluteFilePath() ==
                      QFileInfo(doc.backups().folder()).absoluteFilePath();
    const QString moved = doc.backups().movedSession();
    const QString source = ours && !moved.isEmpty() ? moved : folder;
    if (!QFileInfo(source).isDir()) {
        PrintError(folder + ": no such session folder");
        return false;
    }
    if (ours && moved.isEmpty()) {
        PrintError(folder + ": no session to recover (see --recover)");
        return false;
    }
    if (SessionInUse(source)) {
        PrintError(folder + ": the session belongs to a running program");
        return false;
    }
    const InspectedSession session = InspectSession(source);
    QString problem;
    const bool ok = doc.RestoreSession(session, &problem);
    if (!session.problem.isEmpty())
        problem = session.problem + (problem.isEmpty() ? "" : "; " + problem);
    if (!ok) {
        PrintError(source + ": nothing could be restored (" + problem + ")");
        return false;
    }
    if (!problem.isEmpty())
        PrintError(QStringLiteral("%1: %2; restored step %3 of %4")
                       .arg(source, problem)
                       .arg(doc.GetHistoryPos())
                       .arg(doc.GetHistoryCount()));
    return true;
}
