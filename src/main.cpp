#include "barcode/dm_Barcode1.h"
#include "core/DM_Sqlite1.h"
#include "core/StopSignals.h"
#include "core/tdm.h"
#include "planning/dm_Planner1.h"
#include "ui/WindowsMainUnit1.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumora"));
    QApplication::setApplicationVersion(QStringLiteral(LUMORA_VERSION_TEXT));
    // Installed first: a signal during start-up is handled once the event loop runs.
    installStopSignalHandler(&app, [] {
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });

    // The modules in their order: the local-database module already works through Tdm.
    Tdm tdm(&app);
    TDM_Sqlite sqlite(&app);
    if (!sqlite.DataModuleCreate()) {
        const QString message = sqlite.lastError();
        std::fprintf(stderr, "%s\n", qPrintable(message));
        const QString platform = QGuiApplication::platformName();
        if (platform != u"offscreen" && platform != u"minimal")
            QMessageBox::critical(nullptr, QStringLiteral("Lumora"), message);
        return 1;
    }
    Tdm_barcode barcode(&app);
    TdmPlanner planner(&app);
    TWindowsForm window;
    window.show();
    return app.exec();
}
