#include "app/status_panels.h"

#include <QHBoxLayout>
#include <QLabel>

namespace valdex {

namespace {

QLabel* MakePanel(const QString& name, const QString& accessibleName, QWidget* parent) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(name);
    // The name a screen reader reads is the panel's text ("Modificado", the
    // hint); what the panel is goes in the description.
    panel->setAccessibleDescription(accessibleName);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setIndent(4);
    return panel;
}

} // namespace

StatusPanels::StatusPanels(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Panel1"));
    setFixedHeight(33);
    statusLine_ = MakePanel(QStringLiteral("StatusLine"), QStringLiteral("Línea de estado"), this);
    statusLine_->setFixedWidth(336);
    paneld_ = MakePanel(QStringLiteral("Paneld"), QStringLiteral("Ayuda"), this);
    paneld_->setText(QStringLiteral("F1 <Ayuda>"));
    estado_ = MakePanel(QStringLiteral("estado"), QStringLiteral("Estado del archivo"), this);
    estado_->setFixedWidth(132);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 3, 2, 3);
    layout->setSpacing(2);
    layout->addWidget(statusLine_);
    layout->addWidget(paneld_, 1);
    layout->addWidget(estado_);
}

} // namespace valdex
