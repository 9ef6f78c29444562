#pragma once
// The context-help viewer: a small window that shows one topic at a time.

#include <QWidget>

class QTextBrowser;

namespace valdex {

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    void ShowTopic(int context);
    int CurrentContext() const { return context_; }
    QString CurrentText() const;

private:
    QTextBrowser* browser_;
    int context_ = 0;
};

} // namespace valdex
