#include "shell/run.h"

#include <commctrl.h>
#include <objbase.h>

#include "shell/app_module.h"
#include "shell/main_frame.h"
#include "shell/message_loop.h"

namespace quillon {

int StartupShowCommand() noexcept {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

int Run(int showCommand) {
    CMessageLoop loop;
    AppModule().AddMessageLoop(&loop);

    int result = 0;
    {
        CMainFrame frame;
        if (frame.CreateEx()) {
            ::ShowWindow(frame.Window(), showCommand);
            result = loop.Run();
        }
        AppModule().RemoveMessageLoop();
    }  // the frame object goes here, and with it the toolbar's image list
    return result;
}

int RunApplication(HINSTANCE instance, int showCommand) {
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES;
    ::InitCommonControlsEx(&controls);
    AppModule().Init(instance);

    const int result = Run(showCommand);

    AppModule().Term();
    ::CoUninitialize();
    return result;
}

}  // namespace quillon
