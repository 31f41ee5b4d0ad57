#pragma once

#include "gui/widgets/CommandButton.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>

// Controls of the windows, each carrying its member name as objectName and placed by its twips.
namespace velmora {

inline const QColor LightCyan(192, 255, 255);

QLabel* makeLabel(QWidget* window, const QString& name, const QString& caption, int left, int top, int width,
                  int height);
QLineEdit* makeTextBox(QWidget* window, const QString& name, int left, int top, int width, int height);
QListWidget* makeList(QWidget* window, const QString& name, int left, int top, int width, int height);
CommandButton* makeButton(QWidget* window, const QString& name, const QString& caption, int left, int top, int width,
                          int height);

// A table of rows chosen whole, one at a time, not edited in place, with its column headings; and a text field
// of a fixed width (0: as wide as its layout gives) — the controls of the windows laid out by layouts.
QTableWidget* makeRowTable(QWidget* window, const QString& name, const QStringList& headings);
QLineEdit* makeField(QWidget* window, const QString& name, int width = 0);
// Fills a row of such a table; the columns from `firstNumber` to `lastNumber` aligned right.
void fillRow(QTableWidget* table, int row, const QStringList& cells, int firstNumber, int lastNumber);

void setBackground(QWidget* control, const QColor& color);

// A plain rectangle outline that groups controls, drawn behind them.
void makeRectangle(QWidget* window, int left, int top, int width, int height, const QColor& color = Qt::black);

// Enter in `field` moves the focus to `next`: always, or only when the field is not empty.
void moveOnEnter(QLineEdit* field, QWidget* next, bool onlyWhenFilled);

// Moves the focus along an Enter chain as Tab would: a text box's content is selected, so that typing
// replaces a default such as "―".
void moveFocusTo(QWidget* control);

} // namespace velmora
