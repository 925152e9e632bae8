#pragma once

#include <QString>

class QDialog;
class QWidget;

// The small modal window of a configurator editor: 300 × 300 pixels, captioned, owned by AOwner
// and centred over AParentPosition, kept on the screen.
QDialog *CreateEditorForm(QWidget *AOwner, QWidget *AParentPosition, const QString &ACaption);
