#include "Application.h"
#include "MDIConf.h"
#include "MainFo.h"

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Платформа Korvenix"));
    TMDIList::CreateConfig = [](QMdiArea *AOwner) { return std::make_unique<TMDIConfig>(AOwner); };
    TMainForm mainForm;
    mainForm.show();
    return app.exec();
}
