#include "Application.h"
#include "MainFo.h"
#include "Program.h"

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    PrepareApplication();
    TMainForm mainForm;
    mainForm.show();
    return app.exec();
}
