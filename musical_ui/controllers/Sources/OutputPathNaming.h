#pragma once

#include <QString>
#include <QStringList>

namespace brix::qt {

// The name that a new output path asked for as pathName gets among the paths named existingNames:
// pathName itself when no path is named pathName, or pathName followed by one whitespace character
// and a decimal number; otherwise pathName, a space and one more than the highest such number, where
// a path named pathName itself counts as 1 ("Pit", then "Pit 2", "Pit 3" ...). pathName is matched
// literally (brackets, "+", "." have no special meaning), and numbers of any length are compared and
// counted exactly, so the result never equals an existing name of that form.
QString UniqueOutputPathName(const QString& pathName, const QStringList& existingNames);

// A new output path id: a random UUID as text without braces ("1b4e28ba-2fa1-11d2-883f-0016d3cca427").
QString NewOutputPathId();

}  // namespace brix::qt
