#include "core/files/ChangeWords.h"

#include "core/files/NumberForms.h"

namespace velmora {

QString changeField(QStringView name, const QString& value)
{
    return name.toString() + QLatin1Char(' ') + (value.isEmpty() ? NoComment : value);
}

QList<std::pair<QString, QString>> correctableFields(const PersonalHeader& header)
{
    return {{QStringLiteral("性別"), header.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女")},
            {QStringLiteral("生年月日"), plainForm(header.dateOfBirth)},
            {QStringLiteral("所属"), header.affiliation},
            {QStringLiteral("職種"), header.jobType},
            {QStringLiteral("登録年月日"), header.registrationDate},
            {QStringLiteral("過去の被曝"),
             header.pastExposureFlag == 0 ? QStringLiteral("なし") : plainForm(header.pastDose)}};
}

QString monthValues(const MonthlyRecord& record)
{
    return QStringList{changeField(u"実効", plainForm(record.effective)),
                       changeField(u"水晶体", plainForm(record.lens)), changeField(u"皮膚", plainForm(record.skin)),
                       changeField(u"内部", plainForm(record.internal)), changeField(u"備考", record.comment)}
        .join(ChangeWordSeparator);
}

QString headerValues(const PersonalHeader& header)
{
    QStringList fields{changeField(u"登録番号", plainForm(header.registrationNumber))};
    for (const auto& [name, value] : correctableFields(header))
        fields << changeField(name, value);
    return fields.join(ChangeWordSeparator);
}

QString otherDoseValues(const OtherFacilityDose& dose)
{
    return QStringList{changeField(u"施設", dose.facility),
                       changeField(u"期間", QStringLiteral("%1～%2").arg(dose.from).arg(dose.to)),
                       changeField(u"実効", plainForm(dose.effective)),
                       changeField(u"水晶体", plainForm(dose.lens)),
                       changeField(u"皮膚", plainForm(dose.skin)),
                       changeField(u"内部", plainForm(dose.internal)),
                       changeField(u"備考", dose.note)}
        .join(ChangeWordSeparator);
}

QString declarationValues(const Declaration& declaration)
{
    const QString until = declaration.to == 0 ? QString() : QString::number(declaration.to);
    return QStringList{changeField(u"種別", declarationKindText(declaration.kind)),
                       changeField(u"期間", QStringLiteral("%1～%2").arg(declaration.from).arg(until)),
                       changeField(u"備考", declaration.note)}
        .join(ChangeWordSeparator);
}

QString examinationValues(const Examination& examination)
{
    static const QString results[] = {QStringLiteral("省略"), QStringLiteral("所見なし"), QStringLiteral("所見あり")};
    QStringList fields{changeField(u"実施日", QString::number(examination.day)),
                       changeField(u"種別", examinationKindText(examination.kind))};
    for (int item = 0; item < ExaminationItems; ++item)
        fields << changeField(examinationItemText(item),
                              results[static_cast<int>(examination.items[static_cast<size_t>(item)])]);
    fields << changeField(u"医師の指示", examination.instructed ? QStringLiteral("あり") : QStringLiteral("なし"));
    return fields.join(ChangeWordSeparator);
}

QString dosimeterValues(const Dosimeter& dosimeter)
{
    return changeField(u"測定番号", dosimeter.serviceNumber) + ChangeWordSeparator +
           changeField(u"装着", wearingText(dosimeter.wearing));
}

QString facilityValues(const Facility& facility)
{
    return QStringList{changeField(u"事業所名", facility.name), changeField(u"責任者の職名", facility.responsibleTitle),
                       changeField(u"責任者の氏名", facility.responsibleName)}
        .join(ChangeWordSeparator);
}

} // namespace velmora
