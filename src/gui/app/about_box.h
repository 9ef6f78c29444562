#pragma once
// The about box (the design's TAboutBox): product name and picture; each "Acerca..."
// creates and shows another one, not modally.

#include <QDialog>

namespace valdex {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 33;
    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace valdex
