#include "gui/platform/PrinterPage.h"

namespace velmora {

void setUpLandscapeA4(QPrinter& printer)
{
    printer.setResolution(PrintResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
}

} // namespace velmora
