#pragma once

#include "core/files/DataDir.h"
#include "core/model/Result.h"
#include "core/session/SharedState.h"

// The changes of the registrant list: registering a new person, removing a registrant and restoring a
// removed one. Each either completes or leaves the files as they were, and updates the shared list. None
// writes anything once another PC has taken the entry lock over (LockLost).
namespace velmora {

// Why `name` cannot be registered beside the `known` names (registrants and removed persons): it differs
// from one of them only in the case of its letters, and Windows, whose file names ignore case, would
// take the two for one file. Nothing when it can.
std::optional<Failure> nameCaseProblem(const QStringList& known, const QString& name);

// Stores the next registration number, creates the person's file and adds the name at the end of
// "登録者名.txt". A failure before the name is listed removes the new file again.
Status RegisterNewPerson(const DataDir& dir, SharedState& state, const PersonalHeader& header);

// Adds a name whose file exists but that stands on neither list (a registration cut short after its
// file was made) at the end of the registrant list, with the file as it is.
Status ListUnlistedPerson(const DataDir& dir, SharedState& state, const QString& name);

// Moves a listed name to "登録抹消.txt"; the personal file stays untouched.
Status RemoveRegistrant(const DataDir& dir, SharedState& state, const QString& name);

// Moves a removed name back to the end of the registrant list with its old file; a name that is listed
// already (a removal or restore cut short) only leaves the removed list.
Status RestoreRegistrant(const DataDir& dir, SharedState& state, const QString& name);

} // namespace velmora
