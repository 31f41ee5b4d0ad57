#include "app/Application.h"

#include "gui/totals/LeavingRecordOutput.h"
#include "gui/widgets/Twips.h"

namespace velmora {

Application::Application(const QString& dataRoot, Dialogs& messageBoxes, const Clock& systemClock,
                         Printer& systemPrinter, QSettings& settings)
    : dataDir(dataRoot), dialogs(messageBoxes), clock(systemClock), printer(systemPrinter), places(settings),
      menu(state, dataDir, dialogs,
           {[this]() -> Form2& { return form2(); }, [this]() -> Form4& { return form4(); },
            [this]() -> TotalsWindow& { return totalsWindow(); },
            [this]() -> OtherFacilityWindow& { return otherFacilityWindow(); },
            [this]() -> ExaminationWindow& { return examinationWindow(); }},
           settings, clock)
{
}

void Application::start()
{
    showAndActivate(&menu);
}

Form2& Application::form2()
{
    if (!entry) {
        entry = std::make_unique<Form2>(state, dataDir, dialogs,
                                        EntryWindowsBeside{[this] {
                                                               if (!form3().openForRegistration())
                                                                   return false;
                                                               showAndActivate(&form3());
                                                               form3().Text2->setFocus();
                                                               return true;
                                                           },
                                                           [this](const ShownPerson& person) {
                                                               if (!form6().openFor(person))
                                                                   return false;
                                                               showAndActivate(&form6());
                                                               form6().Text10->setFocus();
                                                               return true;
                                                           },
                                                           [this](const QString& name) {
                                                               if (!otherFacilityWindow().openFor(name, true))
                                                                   return false;
                                                               showAndActivate(&otherFacilityWindow());
                                                               return true;
                                                           },
                                                           [this] {
                                                               return (registration && registration->isVisible()) ||
                                                                      (correction && correction->isVisible());
                                                           }});
        QObject::connect(&form3(), &Form3::returnedToEntry, entry.get(), &Form2::returnFromRegistration);
        QObject::connect(&form6(), &Form6::corrected, entry.get(), &Form2::showCorrected);
        QObject::connect(&form6(), &Form6::returnedToEntry, entry.get(), [this] { showAndActivate(entry.get()); });
        QObject::connect(entry.get(), &Form2::returnedToMenu, &menu, &Form1::returnToMenu);
        QObject::connect(entry.get(), &Form2::registrantRemoved, entry.get(), [this](const QString& name) {
            if (dialogs.confirmYesNo(QStringLiteral("%1さんの離職時の線量記録（本人に渡す書類と、次の事業所が"
                                                    "取り込むCSVファイル）を作りますか？")
                                         .arg(name)))
                offerLeavingRecord(name);
        });
    }
    return *entry;
}

Form3& Application::form3()
{
    if (!registration)
        registration = std::make_unique<Form3>(state, dataDir, dialogs, clock);
    return *registration;
}

Form4& Application::form4()
{
    if (!search) {
        search = std::make_unique<Form4>(state, dataDir, dialogs, printer);
        QObject::connect(search.get(), &Form4::returnedToMenu, &menu, &Form1::returnToMenu);
    }
    return *search;
}

Form6& Application::form6()
{
    if (!correction)
        correction = std::make_unique<Form6>(state, dataDir, dialogs, clock);
    return *correction;
}

TotalsWindow& Application::totalsWindow()
{
    if (!totals) {
        totals = std::make_unique<TotalsWindow>(dataDir, dialogs, printer, clock);
        QObject::connect(totals.get(), &TotalsWindow::returnedToMenu, &menu, &Form1::returnToMenu);
        QObject::connect(totals.get(), &TotalsWindow::additionsWanted, &menu, &Form1::openAdditions);
        QObject::connect(totals.get(), &TotalsWindow::examinationsWanted, &menu, &Form1::openExaminations);
        QObject::connect(totals.get(), &TotalsWindow::historyWanted, totals.get(), [this] { historyWindow().open(); });
        // The change history goes with the totals it was opened from.
        QObject::connect(totals.get(), &TotalsWindow::returnedToMenu, totals.get(), [this] {
            if (history)
                history->hide();
        });
    }
    return *totals;
}

ExaminationWindow& Application::examinationWindow()
{
    if (!examinations) {
        examinations = std::make_unique<ExaminationWindow>(state, dataDir, dialogs, printer, clock);
        QObject::connect(examinations.get(), &ExaminationWindow::closed, &menu,
                         [this] { menu.windowOfTotalsClosed(); });
    }
    return *examinations;
}

void Application::offerLeavingRecord(const QString& name)
{
    if (const auto facility = ReadFacility(dataDir); facility && facility->name.isEmpty()) {
        if (!dialogs.confirmYesNo(QStringLiteral("離職時の線量記録には事業所名が要りますが、まだ設定されていません。"
                                                 "「他施設・申告」で事業所名を設定しますか？\n"
                                                 "閉じると、%1さんの離職時の線量記録に戻ります。")
                                      .arg(name)))
            return;
        OtherFacilityWindow& window = otherFacilityWindow();
        if (!window.openFor(name, true))
            return;
        showAndActivate(&window);
        window.FacilityNameBox->setFocus();
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = QObject::connect(&window, &OtherFacilityWindow::closed, &window, [this, name, once] {
            QObject::disconnect(*once);
            offerLeavingRecord(name);
        });
        return;
    }
    giveLeavingRecord(dataDir, name, dialogs, printer, clock);
}

ChangeHistoryWindow& Application::historyWindow()
{
    if (!history)
        history = std::make_unique<ChangeHistoryWindow>(dataDir, dialogs, printer, clock);
    return *history;
}

OtherFacilityWindow& Application::otherFacilityWindow()
{
    if (!additions) {
        additions = std::make_unique<OtherFacilityWindow>(state, dataDir, dialogs);
        QObject::connect(additions.get(), &OtherFacilityWindow::closed, &menu, [this] {
            menu.windowOfTotalsClosed();
            // The totals shown count what was changed.
            if (totals && totals->isVisible())
                totals->gather();
        });
    }
    return *additions;
}

} // namespace velmora
