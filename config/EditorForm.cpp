#include "EditorForm.h"

#include "Application.h"
#include "MsgDlg.h"

#include <QDialog>

QDialog *CreateEditorForm(QWidget *AOwner, QWidget *AParentPosition, const QString &ACaption)
{
    auto *form = new QDialog(AOwner);
    SetFormFont(form);
    form->setWindowTitle(ACaption);
    form->resize(300, 300);
    PositionForm(AParentPosition, form);
    return form;
}
