#pragma once

#include "Variant.h"

#include <QFrame>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>

class TCard;
class TObj;
class TObjLink;
class TSplitterBar;
class TWinAtr;
class TWinBotBtns;
class TWinCard;
class TWinDetBook;

// The card's events before a post and before a commit, passed on from its attribute panel.
using TBeforePost = std::function<void(TWinCard *Sender, bool ANewCard, bool &ASkipPost)>;
using TBeforeAction = std::function<void(TWinCard *Sender, bool &DoAction)>;

// The record card: a form built from one card of an object, with the attribute panel on top,
// the detail tables of the user's detail book below it when the object has them, and "ОК" and
// "Отмена" at the bottom. A card without a parent is a modal dialog that OK posts and commits; a card with
// a parent (the designer's live preview) is a form inside the parent that posts nothing.
//
// Calling order: construct; one of the Init operations (which builds the form); then
// InitDefaultValues for a new record or RecId for an existing one; ShowModalCard; free.
class TWinCard
{
public:
    // AParentPosition: the control a modal card is centred over; AParent: the host of an
    // embedded card, nil for a modal one. The form belongs to AOwner.
    TWinCard(QWidget *AOwner, QWidget *AParentPosition, QWidget *AParent);
    virtual ~TWinCard();
    TWinCard(const TWinCard &) = delete;
    TWinCard &operator=(const TWinCard &) = delete;

    QPointer<QWidget> Parent;
    QPointer<QWidget> ParentPosition;
    std::unique_ptr<TWinBotBtns> WinBotBtns;
    QPointer<QWidget> Owner;
    // Hosts the detail tables; nil for a card without them.
    QPointer<QFrame> DetPanel;
    int UserId = 0;
    // A dialog for a modal card, a frame with a caption of its own for an embedded one.
    QPointer<QWidget> Form;
    QPointer<QFrame> AtrPanel;
    std::unique_ptr<TCard> Card;
    std::unique_ptr<TWinAtr> WinAtr;
    // Nil for a card without detail tables.
    std::unique_ptr<TWinDetBook> WinDetBook;
    TBeforePost OnBeforePost;
    TBeforeAction OnBeforeCommit;
    // OK closes the card without writing anything (a card that only collects values).
    bool NoPost = false;

    Variant RecId() const;
    // Loads the record and opens its detail tables on its key.
    void SetRecId(const Variant &Value);
    // Sizes of the inner areas, in pixels.
    int Width() const;
    void SetWidth(int AValue);
    int Height() const;
    void SetHeight(int AValue);
    int HeightAtr() const;
    void SetHeightAtr(int AValue);
    // Without a detail part: the height stored with the card.
    int HeightDet() const;
    // Draws an embedded card's caption active or inactive.
    void SetActiveForm(bool AActive);

    void InitById(int ACardId);
    void InitByName(TObj *AObj, const QString &ACardName);
    // The card the user chose for the object, else its default card.
    void InitByUser(TObj *AObj, int AUserId);
    // The modal result: mrOk after a successful OK.
    int ShowModalCard();

    // OK: posts and commits the record in one write transaction. A failure before the commit
    // is rolled back and keeps the card open with the user's values.
    virtual void OkClick();
    virtual void CreateWinAtr();
    // Builds WinDetBook on DetPanel: the user's detail book of the card's object.
    virtual void CreateWinDetBook();
    virtual void Commit();
    // A new record, its link field along AObjLink set to AParentId.
    virtual void InitDefaultValues(TObjLink *AObjLink, const Variant &AParentId);

    // Cancel of a modal card with changes asks "Отменить изменения?" first.
    void CancelClick();
    // Before a detail record is added: a record that is still new is posted and committed first,
    // and its detail tables open on its key.
    void WinDetBookNewRecord();
    // After the detail rows changed: the record's summing fields are read again.
    void WinDetBookAfterChange();
    // Whether the detail rows changed while the card was open: the record's totals may have
    // changed with them, whatever the card's own result.
    bool DetailsChanged() const { return FDetailsChanged; }

    // Resizing moves the inner size in steps of 8 pixels from the size the card was given; the
    // arguments come back snapped, and the result says whether that changes the current size.
    bool FormCanResize(int &NewWidth, int &NewHeight) const;
    // Dragging the splitter moves the attribute area's height in steps of 8; the result refuses a
    // drag that stays within the current step.
    bool SplitterCanResize(int &NewSize) const;

protected:
    // The area inside the form that holds the panels and the buttons.
    QWidget *Client() const;
    // Shows the detail tables of the master record with this key.
    void OpenWinDetBook(const Variant &AParentId);

private:
    void CreateForm();
    void CreateDetArea();
    bool Embedded() const { return Parent != nullptr; }
    QSize FormExtra() const;
    bool SizedByWindowManager() const;
    void FormResized();
    void PostAndCommit();
    // After a failure that came once the record was committed: the card shows the saved record,
    // so that another OK changes it instead of adding it again.
    void KeepCommittedRecord(const std::exception_ptr &AError);

    QPointer<TSplitterBar> Splitter;
    QSize FOwnSize;   // the inner size the card last gave itself
    bool FSnapping = false;
    bool FDetailsChanged = false;
};
