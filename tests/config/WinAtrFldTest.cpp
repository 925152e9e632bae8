#include "CardWidgets.h"
#include "ConfFixture.h"
#include "ObjLink.h"

namespace {

// The controls of the field card that follow the type and the summing link, read-only or not.
QString Editable(QWidget *card)
{
    QStringList editable;
    for (const QString caption : {"Размер", "Внешний объект", "Правило удаления", "Суммируемая связь",
                                  "Суммируемое поле", "Формула"})
        if (QLineEdit *edit = Labelled(card, caption)) {
            // A picker's edit takes no typing: its button says whether it may be used.
            auto *picker = dynamic_cast<TButtonedEdit *>(edit);
            if (picker ? picker->ShowButton() : !edit->isReadOnly())
                editable << caption;
        }
    return editable.join(", ");
}

using WinAtrFldTest = ConfFixture;

// A new field's card starts with every control that follows the type read-only, then enables
// what its type allows; a summing link enables the summed field.
TEST_F(WinAtrFldTest, TheFieldCardFollowsTheTypeAndTheSummingLink)
{
    ClickRow(*conf->WinTblObj, "PRODUCT");
    QStringList seen;
    {
        BoxSeen question;
        ModalScript script{
            [&](QWidget *card) { seen << Editable(card), Pick(card, "Тип поля"); },
            [](QWidget *picker) { PickRow(picker, "Строка"); },
            [&](QWidget *card) { seen << Editable(card), Pick(card, "Тип поля"); },
            [](QWidget *picker) { PickRow(picker, "Число (2 знака)"); },
            [&](QWidget *card) { seen << Editable(card), Pick(card, "Суммируемая связь"); },
            [](QWidget *picker) { PickRow(picker, "Product-DealProd"); },
            [&](QWidget *card) { seen << Editable(card), ClickButton(card, "Отмена"); },
            AnswerBox(question, "&Да")};
        Press(*conf->WinTblFld, TBtnType::btAdd);
    }
    EXPECT_EQ(seen, QStringList({"", "Размер, Формула", "Суммируемая связь, Формула",
                                   "Суммируемая связь, Суммируемое поле"}));
}

} // namespace
