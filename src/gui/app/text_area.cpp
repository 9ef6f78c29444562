#include "app/text_area.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace valdex {

QPlainTextEdit* MakeReadOnlyTextArea(const QString& objectName, const QString& accessibleName,
                                     QWidget* windowToClose) {
    auto* area = new QPlainTextEdit(windowToClose);
    area->setObjectName(objectName);
    area->setAccessibleName(accessibleName);
    area->setReadOnly(true);
    // The window's system font, 13 pixels high.
    QFont font = area->font();
    font.setPixelSize(13);
    font.setBold(true);
    area->setFont(font);
    area->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* close = new QAction(QStringLiteral("Cerrar"), area);
    close->setObjectName(QStringLiteral("Cerrar1"));
    QObject::connect(close, &QAction::triggered, windowToClose, &QWidget::close);
    area->addAction(close);
    area->setContextMenuPolicy(Qt::ActionsContextMenu);
    return area;
}

void SetTextAreaLines(QPlainTextEdit& area, const QStringList& lines) {
    area.setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList TextAreaLines(const QPlainTextEdit& area) {
    QStringList lines;
    if (area.document()->isEmpty()) return lines;
    for (QTextBlock block = area.document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

QStringList ToLines(const std::vector<std::string>& lines) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        list << QString::fromStdString(line);
    return list;
}

} // namespace valdex
