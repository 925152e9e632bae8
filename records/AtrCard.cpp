#include "AtrCard.h"

#include "Main.h"
#include "NewRow.h"
#include "Obj.h"

#include <QRandomGenerator>

void TAtrCard::SetDefaultValues(TObjLink *AObjLink, const Variant &AParentId)
{
    TAtr::SetDefaultValues(AObjLink, AParentId);
    // One of the widths 240, 248 ... 320, so new cards do not open exactly over each other.
    const int width = (int(QRandomGenerator::global()->bounded(11)) + 30) * 8;
    GetAddByFldName(QStringLiteral("CARD_WIDTH"))->InitValue(width, true);
    GetAddByFldName(QStringLiteral("CARD_HEIGHTATR"))->InitValue(200, true);
    GetAddByFldName(QStringLiteral("CARD_HEIGHTDET"))->InitValue(200, true);
}

void TAtrCard::Post()
{
    TAtr::Post();
    if (!FNew)
        return;
    TAtr root;
    root.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("CTRLTREE")));
    PostNewRow(root, {{QStringLiteral("CARD_ID"), FRecId},
                      {QStringLiteral("CTRLTRTP_ID"), DB->CtrlTreeTypeToCode(TCtrlType::ctRoot)},
                      {QStringLiteral("CTRLTREE_LFT"), 1},
                      {QStringLiteral("CTRLTREE_RGT"), 2}});
}
