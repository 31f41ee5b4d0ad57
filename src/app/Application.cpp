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
            [this]() -> OtherFacilityWindow& { return otherFacilityWindow(); }},
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
        entry = std::make_unique<Form2>(state, dataDir, dialogs, form3(), form6(), otherFacilityWindow());
        QObject::connect(entry.get(), &Form2::returnedToMenu, &menu, &Form1::returnToMenu);
        QObject::connect(entry.get(), &Form2::registrantRemoved, entry.get(), [this](const QString& name) {
            if (dialogs.confirmYesNo(QStringLiteral("%1さんの離職時の線量記録（本人に渡す書類と、次の事業所が"
                                                    "取り込むCSVファイル）を作りますか？")
                                         .arg(name)))
                giveLeavingRecord(dataDir, name, dialogs, printer, clock);
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
        correction = std::make_unique<Form6>(state, dataDir, dialogs);
    return *correction;
}

TotalsWindow& Application::totalsWindow()
{
    if (!totals) {
        totals = std::make_unique<TotalsWindow>(dataDir, dialogs, printer, clock);
        QObject::connect(totals.get(), &TotalsWindow::returnedToMenu, &menu, &Form1::returnToMenu);
        QObject::connect(totals.get(), &TotalsWindow::additionsWanted, &menu, &Form1::openAdditions);
    }
    return *totals;
}

OtherFacilityWindow& Application::otherFacilityWindow()
{
    if (!additions) {
        additions = std::make_unique<OtherFacilityWindow>(state, dataDir, dialogs);
        QObject::connect(additions.get(), &OtherFacilityWindow::closed, &menu, [this] {
            menu.additionsClosed();
            // The totals shown count what was changed.
            if (totals && totals->isVisible())
                totals->gather();
        });
    }
    return *additions;
}

} // namespace velmora
