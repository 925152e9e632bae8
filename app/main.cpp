#include "Application.h"
#include "MainFo.h"

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Платформа Korvenix"));
    TMainForm mainForm;
    mainForm.show();
    return app.exec();
}
