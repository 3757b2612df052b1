#include "common/glformat.h"
#include "stage/olmwindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    setDefaultGlFormat();
    QApplication application(argc, argv);
    olmWindow window(nullptr, nullptr, Qt::Window);
    window.show();
    const int result = application.exec();
    keepGlDriverLoaded();
    return result;
}
