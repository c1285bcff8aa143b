// Starts the viewer: the application, the interface language and the main window.
#include "mainwindow.h"
#include "translation.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    installInterfaceTranslator();

    int result;
    {
        MainWindow window;
        window.show();
        result = application.exec();
    } // the window writes its settings here, while the application object still exists
    return result;
}
