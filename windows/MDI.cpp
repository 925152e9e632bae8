#include "MDI.h"

#include <QMdiArea>

TMDIForm::TMDIForm() = default;

TMDIForm::~TMDIForm()
{
    // Runs before the frame's controls are destroyed; the handler may free its window object.
    if (OnDestroy) {
        const std::function<void()> handler = std::move(OnDestroy);
        OnDestroy = nullptr;
        handler();
    }
}

TMDI::TMDI(QMdiArea *AOwner)
{
    Form = new TMDIForm;
    // Closing a child frees it.
    Form->setAttribute(Qt::WA_DeleteOnClose);
    Form->setWidget(new QWidget);
    Form->OnDestroy = [this] { FormDestroy(); };
    AOwner->addSubWindow(Form);
    // Like the platform's default placement of a child: most of the frame, not the child's
    // minimal size hint.
    const QSize area = AOwner->viewport()->size();
    if (area.width() > 0 && area.height() > 0)
        Form->resize(area.width() * 3 / 4, area.height() * 3 / 4);
    Form->show();
}

TMDI::~TMDI()
{
    if (Form) {
        // Freed by its object: nobody needs to hear about it any more.
        Form->OnDestroy = nullptr;
        delete Form;
    }
}

void TMDI::FormDestroy()
{
    Form = nullptr;
    // The handler may free this object: nothing may follow the call.
    if (OnFormDestroy)
        OnFormDestroy(this);
}

void TMDI::Show()
{
    if (!Form)
        return;
    Form->show();
    Form->raise();
    if (QMdiArea *area = Form->mdiArea())
        area->setActiveSubWindow(Form);
}

QWidget *TMDI::Client() const
{
    return Form ? Form->widget() : nullptr;
}
