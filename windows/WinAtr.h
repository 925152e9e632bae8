#pragma once

#include "Variant.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class TAtr;
class TCard;
class TCtrlTree;
class TFld;
class TObjLink;
class TWinAtr;
class TWinCtrlTree;

// The attribute panel's events. Nothing in the panel raises them; the card hooks them.
using TWinAtrAfterPost = std::function<void(TWinAtr *Sender, bool ANewCard, int AId)>;
using TWinAtrBeforePost = std::function<void(TWinAtr *Sender, bool ANewCard, bool &ASkipPost)>;
using TWinAtrBeforeCommit = std::function<void(TWinAtr *Sender, bool &DoAction)>;

// The upper part of every card: the card's control tree turned into live controls on a parent
// control, each field control bound to its item in one record editor. Controls are built before
// any record is there; the values arrive with RecId (a record to change) or InitDefaultValues
// (a new one), which also decide which controls are read-only.
class TWinAtr
{
public:
    // The controls belong to AOwner (the card's form) and stand on AParent.
    TWinAtr(QWidget *AOwner, QWidget *AParent);
    virtual ~TWinAtr();
    TWinAtr(const TWinAtr &) = delete;
    TWinAtr &operator=(const TWinAtr &) = delete;

    QPointer<QWidget> Owner;
    QPointer<QWidget> Parent;
    // Nil for a card without control rows: the panel stays empty.
    std::unique_ptr<TWinCtrlTree> RootWinCtrlTree;
    TCard *Card = nullptr;   // not owned
    std::unique_ptr<TAtr> Atr;
    TWinAtrAfterPost OnAfterPost;
    TWinAtrBeforePost OnBeforePost;
    TWinAtrBeforeCommit OnBeforeCommit;

    Variant RecId() const;
    // Loads the record into the controls, then applies the read-only flags for changing.
    virtual void SetRecId(const Variant &Value);
    // A link field's control gets the picker; any other the control of its type.
    virtual std::unique_ptr<TWinCtrlTree> CreateWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree);
    // The record editor; the metadata panels make theirs here.
    virtual std::unique_ptr<TAtr> CreateAtr();
    // Checks and writes the record; a failed field check focuses its control first.
    virtual void Post();
    // Refuses a record while a control shows text its item did not take, that control focused.
    void CheckInput();
    // Focuses the first control in tab order that takes input; false when there is none.
    bool FocusFirstInput();
    // A new record with its defaults, its link field along AObjLink set to AParentId, then the
    // read-only flags for adding.
    virtual void InitDefaultValues(TObjLink *AObjLink, const Variant &AParentId);

    // Builds the controls of the card's tree. The record editor is made here rather than in the
    // constructor, so that a subclass's own editor is the one made.
    void Init(TCard *ACard);
    // The control of ACtrlTree under AParentWinCtrlTree, with the controls below it when it is a
    // page control or a tab sheet.
    TWinCtrlTree *CreateControls(TWinCtrlTree *AParentWinCtrlTree, TCtrlTree *ACtrlTree);
    // Re-reads the record's summing fields after its detail rows changed.
    void RefreshArgFlieds();

    // The first control in pre-order of that node, field, or field column name; nil when none.
    TWinCtrlTree *GetWinCtrlTreeByCtrlTree(const TCtrlTree *ACtrlTree) const;
    TWinCtrlTree *GetWinCtrlTreeByFld(const TFld *AFld) const;
    TWinCtrlTree *GetWinCtrlTreeByFldName(const QString &AName) const;
    // Frees the control with its label and the controls below it; their items are no longer
    // told about changes. The root stays.
    void DeleteWinCtrlTree(TWinCtrlTree *AWinCtrlTree);
    // Every control but the root read-only as the card's mode says: the adding flags for a new
    // record, the changing ones otherwise. A field control without a field is always read-only.
    // A required link that no master filled stays open on a new record: nobody else can fill it.
    void ApplyReadOnly();

private:
    TWinCtrlTree *Find(const std::function<bool(const TWinCtrlTree *)> &AWhich) const;
};
