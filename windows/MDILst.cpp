#include "MDILst.h"

#include "MDITbl.h"

std::function<std::unique_ptr<TMDI>(QMdiArea *AOwner)> TMDIList::CreateConfig;

TMDIList::TMDIList(QMdiArea *AOwner) : TObjectList<TMDI>(true), Owner(AOwner)
{
}

TMDIList::~TMDIList()
{
    // Each table window goes before its form; the forms' reports find the list empty.
    Clear();
}

TMDI *TMDIList::Show(TMDIType AMDIType, TObj *AObj)
{
    for (TMDI *mdi : *this) {
        if (mdi->MDIType == AMDIType && mdi->Obj == AObj) {
            mdi->Show();
            return mdi;
        }
    }
    std::unique_ptr<TMDI> mdi;
    switch (AMDIType) {
    case TMDIType::mtNone:
        mdi = std::make_unique<TMDI>(Owner);
        break;
    case TMDIType::mtObj:
        mdi = std::make_unique<TMDITbl>(Owner, AObj);
        break;
    case TMDIType::mtConfig:
        if (!CreateConfig)
            return nullptr;
        mdi = CreateConfig(Owner);
        break;
    }
    if (!mdi)
        return nullptr;
    mdi->MDIType = AMDIType;
    mdi->Obj = AObj;
    mdi->OnFormDestroy = [this](TMDI *AMDI) { MDIFormDestroy(AMDI); };
    TMDI *made = Add(std::move(mdi));
    // Only a window made whole comes to the front.
    made->Show();
    return made;
}

void TMDIList::MDIFormDestroy(TMDI *AMDI)
{
    const int index = IndexOf(AMDI);
    if (index >= 0)
        Delete(index);
}
