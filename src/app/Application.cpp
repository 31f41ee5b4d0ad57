#include "Application.h"

#include "platform/Twips.h"
#include "totals/LeavingRecordOutput.h"

namespace velmora {

Application::Application(const QString& dataRoot, Dialogs& messageBoxes, const Clock& systemClock,
                         Printer& systemPrinter)
    : dataDir(dataRoot), dialogs(messageBoxes), clock(systemClock), printer(systemPrinter),
      menu(state, dataDir, dialogs,
           {[this]() -> Form2& { return form2(); }, [this]() -> Form4& { return form4(); },
            [this]() -> Form7& { return form7(); }, [this]() -> Form8& { return form8(); }})
{
}

void Application::start()
{
    showAndActivate(&menu);
}

Form2& Application::form2()
{
    if (!entry) {
        entry = std::make_unique<Form2>(state, dataDir, dialogs, form3(), form6(), form8());
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

Form7& Application::form7()
{
    if (!totals) {
        totals = std::make_unique<Form7>(dataDir, dialogs, printer, clock);
        QObject::connect(totals.get(), &Form7::returnedToMenu, &menu, &Form1::returnToMenu);
        QObject::connect(totals.get(), &Form7::additionsWanted, &menu, &Form1::openAdditions);
    }
    return *totals;
}

Form8& Application::form8()
{
    if (!additions) {
        additions = std::make_unique<Form8>(state, dataDir, dialogs);
        QObject::connect(additions.get(), &Form8::closed, &menu, [this] {
            menu.additionsClosed();
            // The totals shown count what was changed.
            if (totals && totals->isVisible())
                totals->gatherAgain();
        });
    }
    return *additions;
}

} // namespace velmora
