#pragma once
// The toolbar strip (SpeedBar): 33 pixels high, its buttons at fixed x
// positions, each with a drawn two-state glyph, the short hint as tooltip and
// the long hint for the status line.

#include <QHash>
#include <QWidget>

class QToolButton;

namespace valdex {

class SpeedBar : public QWidget {
    Q_OBJECT
public:
    explicit SpeedBar(QWidget* parent = nullptr);

    // By object name: spdnuevo, spdabrir, spdguardar, spdprint, spdprint1,
    // spdclose, spdexit, spdmosaico, spdcascada, spdcontenido.
    QToolButton* Button(const QString& name) const { return buttons_.value(name); }
    QList<QToolButton*> Buttons() const { return buttons_.values(); }

private:
    QHash<QString, QToolButton*> buttons_;
};

} // namespace valdex
