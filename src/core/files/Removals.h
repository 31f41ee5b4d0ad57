#pragma once

#include "core/model/Result.h"

// What the program removes: only what it made, and never through a link. A folder it fills (a backup
// generation, a yearly archive) carries a mark from the moment it is made until it is whole, and a whole
// one its manifest; a file it makes carries a name of its own (a temporary file, the lock). Anything else
// found under such a name — a link, a FIFO, a folder of a user's — is named and left as it was.
namespace velmora {

inline const QString UnfinishedFolderMark = QStringLiteral(".velmora-unfinished");

// Makes the folder `folder` (where its parent stands and nothing at its name), marked as the program's own.
Status makeMarkedFolder(const QString& folder);

// Takes the mark off a folder filled whole, before it takes its final name.
Status unmarkFolder(const QString& folder);

// Removes a folder the program made: a real folder that is marked, holds a manifest or no file at all, with
// nothing but files and folders below it. Nothing at its name is no fault; a stranger is left alone: NotMadeHere.
Status removeOwnFolder(const QString& folder);

// Removes a file the program made, where a file stands at its name; a link or anything else there is left
// alone: NotMadeHere. Nothing at its name is no fault.
Status removeOwnFile(const QString& path);

} // namespace velmora
