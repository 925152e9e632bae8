#pragma once

#include "ObjectList.h"
#include "WinDet.h"

#include <QPointer>
#include <QTabWidget>
#include <QWidget>
#include <memory>

class TDetBook;
class TObj;

// The detail part of a card: a page control 8 pixels inside the card's detail panel, one tab
// per link of the user's detail book, each holding the table of the link's child object
// restricted to the card record's key. It owns its panes.
//
// Calling order: construct; Init (a book without links builds nothing, and the card drops it);
// then ParentId and Open once the card's record has a key.
class TWinDetBook : public TObjectList<TWinDet>
{
public:
    // The controls belong to AOwner (the card's form) and stand on AParent (its detail panel).
    TWinDetBook(QWidget *AOwner, QWidget *AParent);
    ~TWinDetBook() override;

    std::unique_ptr<TDetBook> DetBook;
    // Fired with the pane as Sender.
    TDetEvent OnNewRecord;
    TDetEvent OnAfterChange;

    // Every pane's master key, read by the next Open.
    void SetParentId(int Value);
    // The page control's; a book without links has none, and these do nothing or give 0.
    void SetEnabled(bool AEnabled);
    int Top() const;
    int Height() const;

    // Fills DetBook's links: the user's detail book of the object, else its default one; none
    // leaves the list empty.
    virtual void LoadDetBook(int AUserId, TObj *AObj);
    // Loads the links, then builds a tab and a pane for each.
    virtual void Init(TObj *AObj, int AUserId);

    void Open();
    void Close();
    void EnableAddBtn();

protected:
    QPointer<QWidget> Parent;

private:
    void DetNewRecord(TWinDet *Sender);
    void DetAfterChange(TWinDet *Sender);

    QPointer<QWidget> Owner;
    int UserId = 0;
    QPointer<QTabWidget> pc;   // nil while the book has no links
};
