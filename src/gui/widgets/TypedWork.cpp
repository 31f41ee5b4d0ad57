#include "gui/widgets/TypedWork.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

namespace velmora {

TypedWork::TypedWork(QList<QWidget*> watched) : fields(std::move(watched))
{
    shown();
}

void TypedWork::shown()
{
    atShown = now();
}

bool TypedWork::held() const
{
    return now() != atShown;
}

QStringList TypedWork::now() const
{
    QStringList values;
    for (const QWidget* field : fields) {
        if (const auto* line = qobject_cast<const QLineEdit*>(field))
            values << line->text();
        else if (const auto* combo = qobject_cast<const QComboBox*>(field))
            values << QString::number(combo->currentIndex());
        else if (const auto* spin = qobject_cast<const QSpinBox*>(field))
            values << QString::number(spin->value());
        else if (const auto* button = qobject_cast<const QAbstractButton*>(field))
            values << QString::number(button->isChecked());
    }
    return values;
}

} // namespace velmora
