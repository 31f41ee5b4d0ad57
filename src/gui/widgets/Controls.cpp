#include "gui/widgets/Controls.h"

#include "gui/platform/Fonts.h"
#include "gui/widgets/Twips.h"

#include <QFrame>
#include <QHeaderView>

namespace velmora {
namespace {

template <class Control> Control* place(Control* control, const QString& name, int left, int top, int width, int height)
{
    control->setObjectName(name);
    placeTwips(control, left, top, width, height);
    return control;
}

} // namespace

QTableWidget* makeRowTable(QWidget* window, const QString& name, const QStringList& headings)
{
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()), window);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setFont(systemFont(GothicFont, 9));
    table->horizontalHeader()->setFont(table->font());
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setTabKeyNavigation(false);
    return table;
}

QLineEdit* makeField(QWidget* window, const QString& name, int width)
{
    auto* field = new QLineEdit(window);
    field->setObjectName(name);
    if (width > 0)
        field->setFixedWidth(width);
    return field;
}

void fillRow(QTableWidget* table, int row, const QStringList& cells, int firstNumber, int lastNumber)
{
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        if (column >= firstNumber && column <= lastNumber)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, column, item);
    }
}

QLabel* makeLabel(QWidget* window, const QString& name, const QString& caption, int left, int top, int width,
                  int height)
{
    return place(new QLabel(caption, window), name, left, top, width, height);
}

QLineEdit* makeTextBox(QWidget* window, const QString& name, int left, int top, int width, int height)
{
    return place(new QLineEdit(window), name, left, top, width, height);
}

QListWidget* makeList(QWidget* window, const QString& name, int left, int top, int width, int height)
{
    return place(new QListWidget(window), name, left, top, width, height);
}

CommandButton* makeButton(QWidget* window, const QString& name, const QString& caption, int left, int top, int width,
                          int height)
{
    return place(new CommandButton(name, caption, window), name, left, top, width, height);
}

void moveFocusTo(QWidget* control)
{
    control->setFocus(Qt::TabFocusReason);
    if (auto* field = qobject_cast<QLineEdit*>(control))
        field->selectAll();
}

void makeRectangle(QWidget* window, int left, int top, int width, int height, const QColor& color)
{
    auto* rectangle = new QFrame(window);
    rectangle->setFrameShape(QFrame::Box);
    rectangle->setFrameShadow(QFrame::Plain);
    QPalette palette = rectangle->palette();
    palette.setColor(QPalette::WindowText, color);
    rectangle->setPalette(palette);
    placeTwips(rectangle, left, top, width, height);
    rectangle->lower();
}

void moveOnEnter(QLineEdit* field, QWidget* next, bool onlyWhenFilled)
{
    QObject::connect(field, &QLineEdit::returnPressed, next, [field, next, onlyWhenFilled] {
        if (!onlyWhenFilled || !field->text().isEmpty())
            moveFocusTo(next);
    });
}

void setBackground(QWidget* control, const QColor& color)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::Window, color);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

} // namespace velmora
