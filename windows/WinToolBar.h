#pragma once

#include "ObjectList.h"

#include <QPointer>
#include <QToolBar>
#include <QString>
#include <functional>

class QAction;

class QToolButton;
class QWidget;
class TWinToolBar;

// Roles of tool-bar buttons, so that a window finds its buttons by what they do.
enum class TBtnType { btAdd, btEdit, btDel, btReopen, btClose, btSave, btOther };

// A click handler of a button built in code.
using TClickEvent = std::function<void()>;

// One text button of a tool bar, typed by its role. A button can be locked disabled: the value
// picker and the deal windows switch a table window's own buttons off for good.
class TWinToolBtn
{
public:
    explicit TWinToolBtn(TWinToolBar *AWinToolBar);
    ~TWinToolBtn();
    TWinToolBtn(const TWinToolBtn &) = delete;
    TWinToolBtn &operator=(const TWinToolBtn &) = delete;

    // While set, assignments to Enabled are ignored. Setting it changes nothing by itself, so
    // callers set it once the window has disabled its buttons.
    bool AlwaysDisable = false;

    bool Enabled() const;
    void SetEnabled(bool AEnabled);
    bool Visible() const;
    void SetVisible(bool AVisible);

    TBtnType BtnType() const { return FBtnType; }
    QString Caption() const;
    // The button widget the tool bar made for it (nil once the tool bar is gone).
    QToolButton *Widget() const;

private:
    friend class TWinToolBar;

    QPointer<QAction> Btn;   // owned by the tool bar control
    TBtnType FBtnType = TBtnType::btOther;
    // Kept apart from the action, which counts itself disabled while it is hidden.
    bool FEnabled = true;
    QPointer<QToolBar> FToolBar;
};

// The tool bar of text buttons at the top of a table or an editor; it owns its buttons.
class TWinToolBar : public TObjectList<TWinToolBtn>
{
public:
    // The bar docks at the top of AParent and sizes itself to its buttons.
    explicit TWinToolBar(QWidget *AParent);
    ~TWinToolBar() override;

    // Appends a button after the existing ones.
    TWinToolBtn *AddBtn(TBtnType ABtnType, const QString &ACapt, TClickEvent AOnClick);
    // The first button of the role in adding order, or nil.
    TWinToolBtn *GetByBtnType(TBtnType ABtnType) const;

    QToolBar *Bar() const { return ToolBar; }

private:
    friend class TWinToolBtn;

    QPointer<QToolBar> ToolBar;
};
