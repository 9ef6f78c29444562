#pragma once
// A hint "short|long": the tooltip shows the short part, the status line the
// long one; without "|" the whole text is both.

#include <QString>

namespace valdex {

struct Hint {
    QString shortPart;
    QString longPart;
};

inline Hint SplitHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    if (bar < 0) return {hint, hint};
    return {hint.left(bar), hint.mid(bar + 1)};
}

} // namespace valdex
