#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTreeWidget>
#include <memory>

class TObj;
class TObjValue;
class TTemplFldList;
class TWinBotBtns;
class TWinToolBar;

// The modal list editor of an object's value-template fields: each line one field reached from
// the object along a path of link fields, read as "A>B>Field"; fields are added through the field
// chooser and deleted after a question. The caller fills TemplFldList, a working copy, sets Obj
// and Templ, the template's text, and takes the list back when Execute gives true. OK refuses a
// list of fields that the text does not take.
class TWinObjTempl
{
public:
    // The window belongs to AOwner, is centred over AParentPosition and captioned ACaption.
    TWinObjTempl(QWidget *AOwner, QWidget *AParentPosition, const QString &ACaption);
    ~TWinObjTempl();
    TWinObjTempl(const TWinObjTempl &) = delete;
    TWinObjTempl &operator=(const TWinObjTempl &) = delete;

    QPointer<QDialog> Form;
    // One line per template field, in the order of TemplFldList.
    QPointer<QTreeWidget> vt;
    std::unique_ptr<TWinBotBtns> WinBotBtns;
    std::unique_ptr<TWinToolBar> WinToolBar;
    TObj *Obj = nullptr;
    std::unique_ptr<TTemplFldList> TemplFldList;
    // The text whose "%s" the fields fill.
    QString Templ;

    // Lists the fields and shows the window modally; true when it was closed with OK.
    bool Execute();
    // "Добавить": a field picked in the field chooser becomes the last one.
    void btAddClick();
    // "Удалить": the focused field goes once the question is answered yes.
    void btDelClick();

    // OK: the fields and the text must agree. A new object has no fields to choose; its card's
    // own OK judges its text.
    void OkClick();

private:
    void AddNode(const TObjValue &AValue);
};
