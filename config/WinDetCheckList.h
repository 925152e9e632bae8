#pragma once

#include "Align.h"
#include "ObjectList.h"
#include "Variant.h"

#include <QFrame>
#include <QPointer>
#include <QTreeWidget>
#include <memory>

class TObj;
class TObjLink;
class TWinToolBar;

// One line of the detail check list: a detail link of the object.
class TCheckItem
{
public:
    explicit TCheckItem(TObjLink *AObjLink) : ObjLink(AObjLink) {}

    TObjLink *ObjLink;
};

// The detail links of an object, each a check box, ticked for the links of one detail book;
// "Сохранить" replaces the book's links by the ticked ones in one write transaction. A line per
// link in which the object is the master and whose detail flag is set, read by the second
// caption of its detail object. The items are the lines, in the order of the tree.
class TWinDetCheckList : public TObjectList<TCheckItem>
{
public:
    // A panel on AParent with a tool bar and the list.
    explicit TWinDetCheckList(QWidget *AParent);
    ~TWinDetCheckList() override;

    std::unique_ptr<TWinToolBar> WinToolBar;
    QPointer<QTreeWidget> vt;

    TObj *Obj() const { return FObj; }
    // Lists the object's detail links, unticked (nil: none). The book stays chosen; set
    // DetBookId again to tick its links.
    void SetObj(TObj *AObj);
    Variant DetBookId() const { return FDetBookId; }
    // Ticks the book's links; Null unticks all and leaves nothing to tick or save.
    void SetDetBookId(const Variant &AValue);
    // Writes the ticked links as the book's links.
    void Save();

    void SetAlign(TAlign AAlign);

private:
    void SetCheckSupport(bool ACheckSupport);
    void TickStoredLinks();
    void UpdateSaveBtn();

    QPointer<QFrame> Panel;
    TObj *FObj = nullptr;
    Variant FDetBookId = Variant::Null();
};
