#include "Program.h"

#include "MDIConf.h"
#include "MDILst.h"

#include <QApplication>

void PrepareApplication()
{
    QApplication::setApplicationDisplayName(QStringLiteral("Платформа Korvenix"));
    TMDIList::CreateConfig = [](QMdiArea *AOwner) { return std::make_unique<TMDIConfig>(AOwner); };
}
