#pragma once
// The status strip (Panel1): 33 pixels high with three sunken panels,
// StatusLine (336 pixels, the long hint), Paneld ("F1 <Ayuda>") and estado
// (132 pixels, the modified mark).

#include <QWidget>

class QLabel;

namespace valdex {

class StatusPanels : public QWidget {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);

    QLabel* StatusLine() const { return statusLine_; }
    QLabel* Paneld() const { return paneld_; }
    QLabel* estado() const { return estado_; }

private:
    QLabel* statusLine_;
    QLabel* paneld_;
    QLabel* estado_;
};

} // namespace valdex
