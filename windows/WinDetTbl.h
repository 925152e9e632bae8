#pragma once

#include "WinDet.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class TObj;
class TObjLink;
class TWinTbl;

// A detail pane holding the table window of one detail link, restricted to the card record's
// key. A link for which the user has no table view leaves the pane empty (WinTbl nil), and
// every operation then does nothing.
class TWinDetTbl : public TWinDet
{
public:
    // The table's controls belong to AOwner and stand on AParent (the pane's tab).
    TWinDetTbl(QWidget *AOwner, QWidget *AParent);
    ~TWinDetTbl() override;

    std::unique_ptr<TWinTbl> WinTbl;

    // The table window of the link (the deal links get their own kinds) with the user's view
    // of the link, else the link's default view.
    void Init(TObjLink *AObjLink, int AUserId);

    void SetParentId(int Value) override;
    void Open() override;
    void Close() override;
    void EnableAddBtn() override;
    void Refresh() override;

private:
    TObjLink *ObjLink = nullptr;
    int UserId = 0;
    QPointer<QWidget> Owner;
    QPointer<QWidget> Parent;
};

// The table window of a detail link, chosen by the link's exact name (column DEP_NAME): the
// deal's products ("DealProd"), payments ("DealPaym") and shipments ("DealShip") get table
// windows of their own, any other link the plain one.
std::unique_ptr<TWinTbl> CreateWinTbl(QWidget *AOwner, QWidget *AParent, TObjLink *AObjLink);

// The table window of an object's own list: the payments and the shipments, which belong to
// deals, get the deal's tables, so that one added there is made as one added under its deal;
// any other object the plain one.
std::unique_ptr<TWinTbl> CreateObjWinTbl(QWidget *AOwner, QWidget *AParent, TObj *AObj);
