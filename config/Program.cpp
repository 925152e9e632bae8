#include "Program.h"

#include "MDIConf.h"
#include "MDILst.h"

void PrepareApplication()
{
    // No application display name: Qt would add it to the title of every window, every box and
    // card. The main window's caption carries the program's name, and it stands for the program.
    TMDIList::CreateConfig = [](QMdiArea *AOwner) { return std::make_unique<TMDIConfig>(AOwner); };
}
