#pragma once
// The about box (TAboutBox): product name and picture; each "Acerca..."
// creates and shows another one, not modally.

#include <QDialog>

namespace valdex {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 33;
    explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace valdex
