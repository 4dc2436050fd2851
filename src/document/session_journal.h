// SPDX-License-Identifier: GPL-3.0-or-later
// The journal kept beside the undo backups, and reading a crashed session back.
//
// The journal names the backup file of every history step, with the picture's
// size and format, the history position, the document's path and its modified
// flag. It is replaced atomically whenever the history changes and names only
// backups that are complete on disk, so after a crash or a kill the folder
// holds everything needed to rebuild the document and its history.
#pragma once

#include "core/bitmap.h"

#include <QDateTime>
#include <QString>
#include <vector>

inline constexpr char kJournalName[] = "Lumaset.journal";

struct JournalStep {
    QString file; // the backup file's name inside the session folder
    int width = 0;
    int height = 0;
    PixelFormat format = 0;
};

struct SessionJournal {
    QString documentPath; // empty for a picture never opened or saved
    bool modified = false;
    int position = 0; // 1 = the first step
    std::vector<JournalStep> steps;
};

// The journal as text.
QByteArray FormatJournal(const SessionJournal& journal);
// Reads text written by FormatJournal. A journal cut short keeps the steps read
// up to the cut; error says what was wrong (empty when the text is whole).
SessionJournal ParseJournal(const QByteArray& text, QString* error);
// Replaces folder's journal: a temporary file, flushed to disk, renamed over
// the old one. False when it could not be written.
bool WriteJournalFile(const QString& folder, const SessionJournal& journal);

// What a session folder holds, checked: only steps whose files are present and
// readable at the recorded size are kept, and the position moves to the latest
// intact step at or before the recorded one.
struct InspectedSession {
    QString folder;
    QDateTime time;      // when the journal was last written
    SessionJournal kept; // the intact steps; position 0 when none is left
    int recordedSteps = 0;
    int recordedPosition = 0;
    QString problem; // one line on what was missing or damaged; empty when all is intact
};
InspectedSession InspectSession(const QString& folder);

// The session folders in and under base that hold a journal and whose program
// has ended (their lock can be taken), newest first; except is left out.
std::vector<InspectedSession> FindRecoverableSessions(const QString& base,
                                                      const QString& except = {});

// True when a running program holds folder's lock.
bool SessionInUse(const QString& folder);

// Removes a session's files (journal, backups, lock) and the folder when it is
// then empty; other programs' folders inside it are kept.
void RemoveSessionFiles(const QString& folder);
