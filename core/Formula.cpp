#include "Formula.h"

#include "Fld.h"
#include "Func.h"
#include "Main.h"
#include "Obj.h"

#include <QStringList>

TFormulaTree::TFormulaTree() : Path(std::make_unique<TFldList>(false))
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("FRMLTREE")));
}

TFormulaTree::~TFormulaTree() = default;

void TFormulaTree::SetFldValue(TFld *AFld)
{
    FFldValue = AFld;
    TSObj::SetValue(QStringLiteral("FLD_ID_VALUE"), AFld->Id());
}

TFormulaFunc TFormulaTree::Func() const
{
    return DB->CodeToFormulaFunc(FuncId());
}

void TFormulaTree::SetFunc(TFormulaFunc v)
{
    SetFuncId(DB->FormulaFuncToCode(v));
}

QString TFormulaTree::FieldText() const
{
    QString text;
    for (TFld *link : *Path)
        text += link->Capt() + QLatin1Char('>');
    return text + FFldValue->Capt();
}

QString TFormulaTree::FunctionText(bool AFull) const
{
    const TFormulaFunc func = Func();
    const QString caption = DB->FormulaFuncToCapt(func);
    if (!AFull || FormulaTreeList.Count() == 0)
        return caption;
    QStringList parts;
    for (TFormulaTree *child : FormulaTreeList) {
        QString part = child->Text(true);
        // A sum or difference inside a product or quotient keeps its own precedence.
        const bool bracket = (func == TFormulaFunc::ffMul || func == TFormulaFunc::ffDiv) &&
                             !child->FldValue() &&
                             (child->Func() == TFormulaFunc::ffAdd || child->Func() == TFormulaFunc::ffDed);
        parts << (bracket ? Format(QStringLiteral("(%s)"), {part}) : part);
    }
    switch (func) {
    case TFormulaFunc::ffAdd:
        return parts.join(QStringLiteral(" + "));
    case TFormulaFunc::ffDed:
        return parts.join(QStringLiteral(" - "));
    case TFormulaFunc::ffMul:
        return parts.join(QStringLiteral(" * "));
    case TFormulaFunc::ffDiv:
        return parts.join(QStringLiteral(" / "));
    case TFormulaFunc::ffRate:
        return caption + QLatin1Char('(') + parts.join(QLatin1Char(';')) + QLatin1Char(')');
    default:
        throw ExceptionPos(Format(QStringLiteral("TFormulaTree.Text: Неизвестная функция \"%s\"."), {caption}));
    }
}

QString TFormulaTree::Text(bool AFull) const
{
    if (FFldValue)
        return FieldText();
    if (Func() != TFormulaFunc::ffNone)
        return FunctionText(AFull);
    const Variant value = Value();
    return value.isEmptyOrNull() ? QString() : value.toString();
}

namespace {

std::unique_ptr<TFormulaTree> CopyNode(const TFormulaTree &source)
{
    auto copy = std::make_unique<TFormulaTree>();
    copy->CopyDataFrom(source);
    if (source.FldValue())
        copy->SetFldValue(source.FldValue());
    copy->Path->Assign(*source.Path);
    for (const TFormulaTree *child : source.FormulaTreeList)
        copy->FormulaTreeList.Add(CopyNode(*child));
    return copy;
}

} // namespace

void TFormula::Assign(const TFormula &AFormula)
{
    Clear();
    if (AFormula.FormulaTreeRoot)
        FormulaTreeRoot = CopyNode(*AFormula.FormulaTreeRoot);
}

QString TFormula::Text() const
{
    return FormulaTreeRoot ? FormulaTreeRoot->Text(true) : QString();
}
