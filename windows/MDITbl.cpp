#include "MDITbl.h"

#include "Main.h"
#include "WinDetTbl.h"
#include "WinTbl.h"

TMDITbl::TMDITbl(QMdiArea *AOwner, TObj *AObj) : TMDI(AOwner)
{
    Form->setWindowTitle(AObj->Capt2());
    WinTbl = CreateObjWinTbl(Client(), Client(), AObj);
    WinTbl->InitByUser(AObj, nullptr, DB->CurrentUserId, true);
    WinTbl->SetAlign(TAlign::alClient);
    WinTbl->Open();
}

TMDITbl::~TMDITbl()
{
    // The table window goes while the form's controls still exist.
    WinTbl.reset();
}
