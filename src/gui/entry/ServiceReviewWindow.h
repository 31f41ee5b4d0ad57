#pragma once

#include "core/changes/ServiceImport.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace velmora {

// The review of a dosimetry service's file before its doses are taken: every person with the wearing, the
// readings of each site the file has, the doses computed from them and the service's own doses, a row whose
// two differ marked. 「次へ」 goes on to the questions of the import; キャンセル takes nothing.
class ServiceReviewWindow : public QDialog {
    Q_OBJECT
public:
    ServiceReviewWindow(const ServiceImport& import, const QString& month, QWidget* parent = nullptr);

    QLabel* Summary;         // how many persons, how many differ
    QTableWidget* Doses;     // a row per person, in the file's order
    QPushButton* NextButton; // 次へ
    QPushButton* CancelButton;
};

} // namespace velmora
