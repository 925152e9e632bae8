#pragma once

#include "CodeTables.h"
#include "ObjectList.h"
#include "Variant.h"

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class TAtrItem;
class TCtrlTree;
class TIBSQL;
class QTabWidget;
class TWinCtrlTree;

using TWinCtrlTreeEvent = std::function<void(TWinCtrlTree *Sender)>;

// One control of a card, built from one node of the card's control tree: the control of the
// node's type, placed at the stored position and size, with its caption label, bound to the
// item of its field in the card's record editor. It owns the wrappers of its child nodes (the
// tab sheets of a page control, the controls on a tab sheet) in tree order.
//
// Control and item keep each other up to date. The item pushes every value into the control
// unless the change came from the control itself; the control writes what the user changed back
// into the item only while the item is not busy with a load, a default or that very write, so
// loading a record never writes back and the user's typing is never echoed into its own edit.
//
// The widgets belong to the owner given at construction (the card's form); the wrapper frees
// them only when the designer deletes the node.
class TWinCtrlTree : public TObjectList<TWinCtrlTree>
{
public:
    // For a root node AParent is the control that hosts the tree and no control is made.
    TWinCtrlTree(QWidget *AOwner, QWidget *AParent, TCtrlTree *ACtrlTree);
    ~TWinCtrlTree() override;

    bool NoOnChange = false;   // set by SetValueNoOnChange while it sets the value
    std::unique_ptr<TIBSQL> IBSQLS;   // a statement a subclass may make; freed with the node
    TCtrlTree *CtrlTree = nullptr;
    QPointer<QWidget> WinControl;
    QPointer<QLabel> LabelControl;
    TWinCtrlTree *ParentWinCtrlTree = nullptr;
    // After a user change has been written into the item.
    TWinCtrlTreeEvent OnChange;
    TAtrItem *AtrItem = nullptr;

    TCtrlType CtrlType() const { return FCtrlType; }
    // The window the node's dialogs belong to: the card's form, else the window around the control.
    QWidget *Owner() const { return FOwner ? FOwner : WinControl->window(); }

    Variant Value() { return GetValue(); }
    virtual QString GetSelTblName();
    virtual Variant GetValue();
    virtual void SetValue(const Variant &AValue);

    // The tab's own caption for a tab sheet, else the label's.
    QString Caption() const;
    void SetCaption(const QString &ACaption);
    // The button of a buttoned edit.
    bool ShowButton() const;
    void SetShowButton(bool AShow);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool AReadOnly);

    void SetValueNoOnChange(const Variant &AValue);
    // Binds the node to its field's item, or unbinds it (nil): from then on only the bound
    // item's changes reach the control.
    void Bind(TAtrItem *AAtrItem);
    // The item's change, to be shown in the control.
    void AtrItemChange(TAtrItem *AAtrItem);
    // The control's change event: what the user changed goes into the item. An edit's text that
    // is no value of its type stays in the edit and goes nowhere: a text on its way to a value
    // (a lone sign or separator) silently, any other with one error box until the text changes
    // back to a value.
    void OnWinControlChange();
    // Refuses an edit that shows a text its item did not take: the edit is focused and the error
    // names its field and the text.
    void CheckInput();
    // Brings the tab sheets of the control to the front, then focuses it.
    void SetFocus();
    void ShowParentTabs();

protected:
    // The object the control's signals and event filters live in: with it they go when the node
    // goes, whatever becomes of the widgets.
    QObject *Context() const { return FContext.get(); }
    [[noreturn]] void RaiseUnknownType(const QString &AFunc) const;

    bool FReadOnly = false;

private:
    void CreateControl(QWidget *AParent);
    // A string edit takes no more characters than its field's column holds.
    void LimitLength();
    // The control's value; none while an edit shows a text that is no value.
    std::optional<Variant> ReadInput();
    // Shows the item's value as it will be written, the user's text replaced without writing it back.
    void ShowItemValue();
    void PlaceControl();
    void CreateLabel(QWidget *AParent);
    void ConnectChange();
    // The edit types with their conversions: the control's type, not the field's, decides.
    TFldType EditFldType() const;
    // The page control around a tab sheet; nil for other nodes' parents.
    QTabWidget *ParentPageControl() const;

    // Why the edit's text is not its item's value; empty while it is.
    QString FInputError;
    // FInputError has been shown to the user.
    bool FInputReported = false;
    QWidget *FOwner = nullptr;
    TCtrlType FCtrlType = TCtrlType::ctNone;
    std::unique_ptr<QObject> FContext;
};
