#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace velmora {

// The month of a monthly record: year × 100 + month (April 2005 is 200504), compared as a number.
using MonthKey = qint64;

// The text a user sees for "no comment".
inline const QString NoComment = QStringLiteral("―");

// The nine header lines of a personal dose file. Number lines are held as read, so that a rewrite
// gives them back unchanged.
struct PersonalHeader {
    double registrationNumber = 0;
    QString name;
    double sexCode = 0;     // 0 male, any other value female
    double dateOfBirth = 0; // yyyymmdd
    QString affiliation;
    QString jobType;
    double pastExposureFlag = 0; // 1: past dose recorded
    double pastDose = 0;
    QString registrationDate; // MM-DD-YYYY as registered
    bool operator==(const PersonalHeader&) const = default;
};

// The six lines of one saved month.
struct MonthlyRecord {
    MonthKey key = 0;
    double effective = 0; // external effective dose, mSv
    double lens = 0;      // lens of the eye, mSv
    double skin = 0;      // skin, mSv
    double internal = 0;  // internal effective dose, mSv
    QString comment = NoComment;
    bool operator==(const MonthlyRecord&) const = default;
};

// A whole personal dose file: the header and every record in file order.
struct PersonalFile {
    PersonalHeader header;
    QList<MonthlyRecord> records;
    QByteArray fingerprint = {}; // of the bytes read, when the whole file was read (ReadPersonalFile)
};

// The registrants in list order, as "登録者名.txt" holds them.
struct RegistrantList {
    static constexpr qsizetype Capacity = 1000;
    QStringList names;
    qsizetype count() const { return names.size(); }
};

} // namespace velmora
