#pragma once

#include "Variant.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <memory>

class QWidget;
class TObj;
class TWinBotBtns;
class TWinTbl;

// The modal window in which the user picks one record of an object for a link field: a full
// table window of the object over "ОК" and "Отмена".
//
// Calling order: construct; Init; optionally filter values on WinTbl (the caller's own filters)
// and the Value to open on; Execute; Value when it returned true; free.
class TWinSelVal
{
public:
    // The form belongs to AOwner and is centred over AParentPosition when shown.
    TWinSelVal(QWidget *AOwner, QWidget *AParentPosition);
    virtual ~TWinSelVal();
    TWinSelVal(const TWinSelVal &) = delete;
    TWinSelVal &operator=(const TWinSelVal &) = delete;

    QPointer<QDialog> Form;
    std::unique_ptr<TWinBotBtns> WinBotBtns;
    QPointer<QWidget> ParentPosition;
    // Before Execute, the key of the record the picker opens on (Null: no row is chosen); after
    // OK, the key of the chosen record, Null when no row was chosen.
    Variant Value = Variant::Null();
    std::unique_ptr<TWinTbl> WinTbl;

    // The table of the object: the user's view with an empty ATblName, else the view of that
    // name. The caption is ACapt, or the object's caption when ACapt is empty. Metadata rows are
    // not added, changed or deleted from a picker outside developer mode.
    void Init(TObj *AObj, const QString &ATblName, const QString &ACapt);
    // Opens the table on the row of Value and shows the form modally; true when it closed with OK.
    bool Execute();

    void OkClick();
    // A double click on a row chooses it, as OK does.
    void WinTblDblClick();
};
