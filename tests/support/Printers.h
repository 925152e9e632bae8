#pragma once

// What a failed check prints: texts as texts (gtest would list a QString's characters as
// numbers), values with their type. Every suite includes this, mostly through the fixtures.

#include "Variant.h"

#include <QString>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const Variant &value, std::ostream *os)
{
    *os << VarDebugText(value).toStdString();
}
