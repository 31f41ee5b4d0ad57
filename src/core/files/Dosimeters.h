#pragma once

#include "core/files/DataDir.h"
#include "core/files/RecordLists.h"
#include "core/model/Result.h"

#include <QHash>
#include <optional>

// The personal dosimeters of the workers as the dosimetry service knows them, in the list file 「線量計.txt」:
// for each person the service's personal number, and how the badges are worn, which decides how the doses are
// computed from the readings of each site. Keyed by the person's name, as the personal files are.
namespace velmora {

// How a person wears the dosimeters: always one badge at the chest (the abdomen for a woman who may become
// pregnant); a second outside the protective apron at the neck, a ring, a dosimeter near the eye besides.
enum Wearing : int {
    OneBadge = 0,
    NeckBadge = 1,    // two badges with the apron: one under it at the trunk, one outside at the neck
    Ring = 2,         // a ring dosimeter on the hand most exposed
    EyeDosimeter = 4, // a dosimeter near the eye (Hp(3))
    AllWearing = NeckBadge | Ring | EyeDosimeter,
};

// "1個", "2個（防護衣）・指・眼": what the review and the history show of a wearing.
QString wearingText(int wearing);

struct Dosimeter {
    QString name;
    QString serviceNumber; // the service's personal number, "" while none is known
    int wearing = OneBadge;
    bool operator==(const Dosimeter&) const = default;
};

inline size_t qHash(const Dosimeter& d, size_t seed = 0)
{
    return qHashMulti(seed, d.name, d.serviceNumber, d.wearing);
}

// What a stored dosimeter cannot hold (the field at fault, 0 the name).
std::optional<FieldProblem> storedDosimeterProblem(const Dosimeter& dosimeter);

constexpr qsizetype MostDosimeters = 100'000;
constexpr qint64 LargestDosimetersFile = qint64(8) << 20;

// The list; a missing file is an empty list, a damaged one fails with its line.
Result<QList<Dosimeter>> ReadDosimeters(const DataDir& dir);
Result<QList<Dosimeter>> parseDosimeters(QByteArrayView content);
// Replaces the list file with the whole list through the store's writer; ListFull beyond its bounds.
Status WriteDosimeters(const DataDir& dir, const QList<Dosimeter>& dosimeters);

} // namespace velmora
