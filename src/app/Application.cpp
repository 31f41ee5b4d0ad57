#include "Application.h"

#include "platform/Twips.h"

namespace velmora {

Application::Application(const QString& dataRoot, Dialogs& messageBoxes, const Clock& systemClock,
                         Printer& systemPrinter)
    : dataDir(dataRoot), dialogs(messageBoxes), clock(systemClock), printer(systemPrinter),
      menu(state, dataDir, dialogs,
           {[this]() -> Form2& { return form2(); }, [this]() -> Form4& { return form4(); },
            [this]() -> Form7& { return form7(); }})
{
}

void Application::start()
{
    showAndActivate(&menu);
}

Form2& Application::form2()
{
    if (!entry) {
        entry = std::make_unique<Form2>(state, dataDir, dialogs, form3(), form6());
        QObject::connect(entry.get(), &Form2::returnedToMenu, &menu, &Form1::returnToMenu);
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
    }
    return *totals;
}

} // namespace velmora
