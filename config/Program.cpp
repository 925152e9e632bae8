#include "Program.h"

#include "MDIConf.h"
#include "MDILst.h"

#include <QApplication>

void PrepareApplication()
{
    // The program's title is its application name, not its display name: Qt adds a display name
    // to every window's own caption, but gives the name only to a window that has no caption,
    // such as an information box, which would otherwise show the executable's file name.
    QApplication::setApplicationName(QStringLiteral("Платформа Korvenix"));
    TMDIList::CreateConfig = [](QMdiArea *AOwner) { return std::make_unique<TMDIConfig>(AOwner); };
}
