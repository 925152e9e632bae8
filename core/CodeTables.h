#pragma once

#include <QString>
#include <initializer_list>
#include <vector>

// The kinds the metadata speaks of. Member order is fixed; the first member of each stands
// for "none" and corresponds to a Null code. Every other member has a code name that the
// matching code table's name column carries, which gives the member its database id.

enum class TFldType { ftNone, ftPK, ftString, ftFK, ftInt, ftBoolean, ftNum182, ftNum183, ftNum184, ftDate,
                      ftFormula, ftObjTempl };
enum class TFKRule { fkNone, fkNoAction, fkCascade, fkSetNull };
enum class TFormulaFunc { ffNone, ffAdd, ffDed, ffMul, ffDiv, ffRate, ffCurD, ffCurU, ffParId };
enum class TFilterTreeType { fttNone, fttAnd, fttOr, fttEqual, fttGreater, fttLess, fttEmpty, fttContaining,
                             fttBetween, fttIn, fttExist };
enum class TCtrlType { ctNone, ctRoot, ctPageControl, ctTabSheet, ctEditStr, ctEditInt, ctEditNum182,
                       ctEditNum183, ctEditNum184, ctEditObj, ctDateEdit, ctBoolean, ctFormula, ctObjTempl };

// Entries of the name tables that the connection object fills at creation.
struct TFldTypeRec { int Id = 0; QString Name; TFldType FldType = TFldType::ftNone; QString Capt; };
struct TFKRuleRec { int Id = 0; QString Name; TFKRule FKRule = TFKRule::fkNone; };
struct TFormulaFuncRec { int Id = 0; QString Name; TFormulaFunc FormulaFunc = TFormulaFunc::ffNone; QString Capt; };
struct TFilterTreeTypeRec { int Id = 0; QString Name; TFilterTreeType FilterTreeType = TFilterTreeType::fttNone; QString Capt; };
struct TCtrlTypeRec { int Id = 0; QString Name; TCtrlType CtrlType = TCtrlType::ctNone; QString Capt; };

// A constant set of enumeration members.
template <typename E>
class TEnumSet
{
public:
    constexpr TEnumSet(std::initializer_list<E> members)
    {
        for (E m : members)
            FBits |= Bit(m);
    }
    // Every member from `first` through `last` in enumeration order.
    static constexpr TEnumSet Range(E first, E last)
    {
        TEnumSet s({});
        for (int i = int(first); i <= int(last); ++i)
            s.FBits |= Bit(E(i));
        return s;
    }
    constexpr TEnumSet operator+(TEnumSet other) const
    {
        TEnumSet s({});
        s.FBits = FBits | other.FBits;
        return s;
    }
    constexpr bool Contains(E m) const { return (FBits & Bit(m)) != 0; }

private:
    static constexpr unsigned long long Bit(E m) { return 1ULL << unsigned(m); }
    unsigned long long FBits = 0;
};

using TFldTypes = TEnumSet<TFldType>;
using TCtrlTypes = TEnumSet<TCtrlType>;

// Which field types may carry a formula, be summing fields, are set not-null or default 0 on a
// type change, have a size.
extern const TFldTypes FldTypesFormula;
extern const TFldTypes FldTypesAgr;
extern const TFldTypes FldTypesNotNull;
extern const TFldTypes FldTypesDef0;
extern const TFldTypes FldTypesSize;
// Which control types are placed at their own position, have width or height buttons in the
// card designer, take width or height from their node, have a label, read-only boxes, a field.
extern const TCtrlTypes CtrlTypesPos;
extern const TCtrlTypes CtrlTypesConfWidth;
extern const TCtrlTypes CtrlTypesWidth;
extern const TCtrlTypes CtrlTypesConfHeight;
extern const TCtrlTypes CtrlTypesHeight;
extern const TCtrlTypes CtrlTypesLabel;
extern const TCtrlTypes CtrlTypesRO;
extern const TCtrlTypes CtrlTypesFld;
