# Fails when the core library refers to anything of Qt GUI, Widgets or PrintSupport.
# Usage: cmake -DLIBRARY=libvelmora_core.a -P CoreLinksQtCoreOnly.cmake
execute_process(COMMAND nm -C --undefined-only "${LIBRARY}" OUTPUT_VARIABLE undefined COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "Q(Widget|Painter|GuiApplication|Application|Printer|PrinterInfo|Image|Pixmap|Font|FontMetrics|Color|Pen|Brush|Palette)[^A-Za-z][^\n]*" gui "${undefined}")
if(gui)
    list(JOIN gui "\n  " found)
    message(FATAL_ERROR "velmora_core refers to the GUI:\n  ${found}")
endif()
