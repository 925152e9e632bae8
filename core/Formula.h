#pragma once

#include "CodeTables.h"
#include "SObj.h"

#include <memory>

class TFld;
class TFldList;

// One node of a computed field's formula: a row of FRMLTREE. A field node reads FldValue
// (reached along Path from the formula's record); a function node applies Func to its
// children; any other node is the constant Value.
class TFormulaTree : public TSObj
{
public:
    TFormulaTree();   // from the repository's description of FRMLTREE
    ~TFormulaTree() override;

    std::unique_ptr<TFldList> Path;                   // link fields, first link first
    TObjectList<TFormulaTree> FormulaTreeList{true};  // the operands, in tree order
    TObjectList<TFormulaTree> &Children() { return FormulaTreeList; }

    int Id() const { return GetInteger(QStringLiteral("FRMLTREE_ID")); }
    void SetId(int v) { SetValue(QStringLiteral("FRMLTREE_ID"), v); }
    int Lft() const { return GetInteger(QStringLiteral("FRMLTREE_LFT")); }
    void SetLft(int v) { SetValue(QStringLiteral("FRMLTREE_LFT"), v); }
    int Rgt() const { return GetInteger(QStringLiteral("FRMLTREE_RGT")); }
    void SetRgt(int v) { SetValue(QStringLiteral("FRMLTREE_RGT"), v); }
    Variant FldValueId() const { return GetVariant(QStringLiteral("FLD_ID_VALUE")); }
    TFld *FldValue() const { return FFldValue; }
    void SetFldValue(TFld *AFld);
    Variant FuncId() const { return GetVariant(QStringLiteral("FRMLFUNC_ID")); }
    void SetFuncId(const Variant &v) { SetValue(QStringLiteral("FRMLFUNC_ID"), v); }
    TFormulaFunc Func() const;
    void SetFunc(TFormulaFunc v);
    Variant Value() const { return GetVariant(QStringLiteral("FRMLTREE_VALUE")); }
    void SetValue(const Variant &v) { TSObj::SetValue(QStringLiteral("FRMLTREE_VALUE"), v); }
    bool PathHave() const { return GetBoolean(QStringLiteral("FRMLTREE_PATHHAVE")); }
    void SetPathHave(bool v) { TSObj::SetValue(QStringLiteral("FRMLTREE_PATHHAVE"), v); }

    // The node's text: a field's path of captions, a function's caption (AFull false) or
    // whole expression (AFull true), a constant's value.
    QString Text(bool AFull) const;

private:
    using TSObj::SetValue;
    QString FieldText() const;
    QString FunctionText(bool AFull) const;

    TFld *FFldValue = nullptr;
};

// The formula of one computed field; empty when the field has none.
class TFormula
{
public:
    TFormula() = default;
    ~TFormula() { Clear(); }
    TFormula(const TFormula &) = delete;
    TFormula &operator=(const TFormula &) = delete;

    std::unique_ptr<TFormulaTree> FormulaTreeRoot;

    void Clear() { FormulaTreeRoot.reset(); }
    // A deep copy of AFormula's tree: new nodes, the same fields.
    void Assign(const TFormula &AFormula);
    QString Text() const;
};
