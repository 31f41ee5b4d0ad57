#pragma once

#include "core/changes/MonthImport.h"
#include "core/files/Dosimeters.h"
#include "core/files/ImportLayouts.h"
#include "core/rules/BadgeDoses.h"

// A month's doses from a dosimetry service's file, read through a saved layout: persons found by name or by
// the service's number, the marks of a value below detection taken as 0, the doses computed from the readings
// of each badge site by how the person wears them, beside the doses the service computed.
namespace velmora {

// A person's row as the review shows it: the readings of each site worn, the doses computed from them and the
// service's own, each as the file or the computation gives its digits.
struct ServiceReviewRow {
    QString person;
    int wearing = 0;
    SiteReadings readings;
    ComputedDoses computed;
    std::array<std::optional<Reading>, 3> service; // effective, lens, skin
    bool differs = false;                          // a service's dose and the computed one differ beyond its last digit
};

struct ServiceImport {
    MonthImport month; // the values taken (the service's where it gives them) and the doubts of any month import
    // The values computed from the readings, by list position, where they differ from the service's.
    std::vector<std::optional<PendingEntry>> computed;
    qsizetype marks = 0;          // cells read as below detection (a blank counted)
    qsizetype otherMonths = 0;    // rows of other months, left
    QStringList otherName;        // rows whose number is recorded for another person than their name: taken by number
    QStringList marksInInternal;  // marks in the internal dose's column: 0 stored, the operator asked to check
    QStringList differing;        // persons whose service doses and computed doses differ beyond the last digit
    QStringList wearings;         // persons wearing more than one badge
    QStringList newNumbers;       // numbers and wearings recorded now, or changed
    QList<Dosimeter> dosimeters;  // the list with what the file taught
    QList<ServiceReviewRow> rows; // every person taken, in the file's order

    bool hasDoubts() const;
};

// Reads the rows of a file named `file` (its bytes) through `layout` for `key`'s month and the registrants in
// list order, with the dosimeters known, a row at a time. Refused at the first of them, with the row and the
// column (ImportCell), when the file's headings are not the layout's, a row has another number of cells, a
// month or a dose cell is no month or dose, or a person is found on two rows.
Result<ServiceImport> ReadServiceImport(const DataDir& dir, const RegistrantList& registrants, QByteArrayView bytes,
                                        const QString& file, const ImportLayout& layout, MonthKey key,
                                        const QList<Dosimeter>& dosimeters);

// The review: the month import's, then the marks, the wearing and the differences.
QString serviceImportReport(const ServiceImport& import, qsizetype registrants, MonthKey key);

// The computed values taken instead of the service's, where they differ.
void takeComputed(ServiceImport& import);

// The saved layout called `name`; UnknownLayout naming the saved ones when there is none.
Result<ImportLayout> FindImportLayout(const DataDir& dir, const QString& name);

} // namespace velmora
