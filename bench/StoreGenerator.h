#pragma once

#include "core/files/DataDir.h"
#include "core/model/Result.h"

// Writes stores of realistic data through the store's own writers: Japanese names, affiliations and job
// types, one record a month from April 1985 on for every registrant, most external doses "Ｍ" (0) and
// internal doses in the exponent range.
namespace velmora {

struct StoreSize {
    int registrants = 1000;
    int months = 500;
    int firstMonth = 198504; // the key of the first month
    bool history = false;    // the change history of it all: each registration and each month saved
};

// Creates the store in an empty directory; the months are also recorded in "既入力.txt", and, when asked,
// every registration and month saved in "変更履歴.txt" as the program records them.
Status generateStore(const DataDir& dir, const StoreSize& size);

// The month key `offset` months after `first`.
qint64 monthAfter(qint64 first, int offset);

} // namespace velmora
