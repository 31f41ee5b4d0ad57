#include "Application.h"

#include "platform/Twips.h"

namespace velmora {

Application::Application(const QString& dataRoot, Dialogs& dialogs, const Clock& clock, Printer& printer)
    : dataDir(dataRoot), form3(state, dataDir, dialogs, clock), form6(state, dataDir, dialogs),
      form2(state, dataDir, dialogs, form3, form6), form4(state, dataDir, dialogs, printer),
      form7(dataDir, dialogs, printer, clock), form1(state, dataDir, dialogs, form2, form4, form7)
{
}

void Application::start()
{
    showAndActivate(&form1);
}

} // namespace velmora
