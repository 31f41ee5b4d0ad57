#include "Application.h"

#include "platform/Twips.h"

namespace velmora {

Application::Application(const QString& dataRoot, Dialogs& dialogs)
    : dataDir(dataRoot), form1(state, dataDir, dialogs, form2, form4)
{
}

void Application::start()
{
    showAndActivate(&form1);
}

} // namespace velmora
