#pragma once

#include <QStringList>
#include <QWidget>

namespace velmora {

// What the operator has typed or chosen in a window's fields, against what the window itself last put there:
// the work that leaving the window would lose.
class TypedWork {
public:
    TypedWork() = default;
    // Line edits, combo boxes, spin boxes and check boxes, as they stand now.
    explicit TypedWork(QList<QWidget*> fields);

    // The fields hold what the window put there (shown, stored, or emptied).
    void shown();
    // Whether the operator changed a field since.
    bool held() const;

private:
    QStringList now() const;

    QList<QWidget*> fields;
    QStringList atShown;
};

} // namespace velmora
