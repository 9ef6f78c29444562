#pragma once
// The topics of the context help, by help context number. Number 0 is the
// contents page that links to every other topic.

#include <QList>
#include <QString>

namespace valdex {

struct HelpTopic {
    int context;
    QString title;
    QString body; // rich text
};

// Every topic, contents first.
const QList<HelpTopic>& HelpTopics();
// The topic of a context number; the contents for an unknown number.
const HelpTopic& FindHelpTopic(int context);
// Title and body as one rich-text page; links read "topic:<number>".
QString HelpTopicPage(int context);

} // namespace valdex
