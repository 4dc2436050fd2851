// SPDX-License-Identifier: GPL-3.0-or-later
// lumaset-cli --recover: listing crashed sessions and opening one.
#pragma once

#include <QString>

class CLumasetDoc;

// Prints one line per recoverable session in the backup folder (backupDir, or
// the default): folder, time, document path, steps and picture size. Returns
// the exit status.
int ListRecoverableSessions(const QString& backupDir);

// Makes the crashed session in folder the document, with its whole history.
// What was missing or damaged is told in one line on stderr. The session
// folder is left as it is, so the same session can be recovered again.
// False, after a message, when nothing could be restored.
bool OpenRecoveredSession(CLumasetDoc& doc, const QString& folder);
