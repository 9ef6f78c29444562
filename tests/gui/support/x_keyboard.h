#pragma once
// Real key events for window tests on an X server (Xvfb): each key goes
// through the server with the XTEST extension, so the application receives
// it exactly as from a keyboard, and the real input focus decides where it
// lands. A watcher answers the message boxes that the keys bring up, with
// a real key too, and remembers their texts.

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QtTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

// Xlib's macros clash with Qt's names wherever this header stands among the
// includes.
#undef None
#undef Bool
#undef Status
#undef True
#undef False
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef CursorShape
#undef Expose
#undef Unsorted

namespace valdex::testing {

class XKeyboard {
public:
    XKeyboard() : display_(XOpenDisplay(nullptr)) {}
    ~XKeyboard() {
        if (display_) XCloseDisplay(display_);
    }
    XKeyboard(const XKeyboard&) = delete;
    XKeyboard& operator=(const XKeyboard&) = delete;

    bool Ready() const { return display_ != nullptr; }

    // One chord such as "ctrl+Next", "Return" or "shift+Tab" (X keysym
    // names), pressed and released; then the application handles it.
    void Press(const QString& chord, int settleMs = 60) {
        const QStringList parts = chord.split(QLatin1Char('+'));
        QList<KeyCode> codes;
        for (const QString& part : parts)
            codes << Code(ModifierName(part));
        for (KeyCode code : codes)
            XTestFakeKeyEvent(display_, code, 1, 0);
        for (auto it = codes.crbegin(); it != codes.crend(); ++it)
            XTestFakeKeyEvent(display_, *it, 0, 0);
        XSync(display_, 0);
        QTest::qWait(settleMs);
    }

    // A click of the left button at `pos` of `widget`, moving the pointer there.
    void Click(QWidget* widget, QPoint pos, int settleMs = 80) {
        const QPoint global = widget->mapToGlobal(pos);
        XTestFakeMotionEvent(display_, -1, global.x(), global.y(), 0);
        XTestFakeButtonEvent(display_, 1, 1, 0);
        XTestFakeButtonEvent(display_, 1, 0, 0);
        XSync(display_, 0);
        QTest::qWait(settleMs);
    }

    // Plain text, one key a character (digits, letters, '.', ',', '-').
    void Type(const QString& text) {
        for (QChar c : text)
            Press(CharacterKey(c), 20);
        QTest::qWait(40);
    }

private:
    static QString ModifierName(const QString& part) {
        if (part == QLatin1String("ctrl")) return QStringLiteral("Control_L");
        if (part == QLatin1String("shift")) return QStringLiteral("Shift_L");
        if (part == QLatin1String("alt")) return QStringLiteral("Alt_L");
        return part;
    }
    static QString CharacterKey(QChar c) {
        switch (c.unicode()) {
        case '.':
            return QStringLiteral("period");
        case ',':
            return QStringLiteral("comma");
        case '-':
            return QStringLiteral("minus");
        case ' ':
            return QStringLiteral("space");
        default:
            return c.isUpper() ? QStringLiteral("shift+") + c : QString(c);
        }
    }
    KeyCode Code(const QString& name) const {
        const KeySym sym = XStringToKeysym(name.toLatin1().constData());
        return XKeysymToKeycode(display_, sym);
    }

    Display* display_;
};

// Answers every message box that comes up with real keys, once the box
// holds the input focus: the next of `keys`, or Return when none is left,
// one key every 500 ms while the same box stays up (a loaded machine may take
// that long to close it). Keeps each box's text
// once, and the keys that reached a box that then stayed up.
class MessageWatcher {
public:
    explicit MessageWatcher(XKeyboard& keyboard) : keyboard_(keyboard) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    QStringList texts;
    QStringList keys;        // answers to give, in order
    QStringList keptBoxOpen; // keys after which the same box was still up

private:
    void Poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (box != seen_) {
            seen_ = box;
            texts << box->text();
            lastKey_.clear();
        } else if (!lastKey_.isEmpty() && clock_.elapsed() < 500) {
            return;
        }
        if (QApplication::activeWindow() != box) return; // not yet focused
        if (!lastKey_.isEmpty()) keptBoxOpen << lastKey_;
        lastKey_ = keys.isEmpty() ? QStringLiteral("Return") : keys.takeFirst();
        clock_.start();
        keyboard_.Press(lastKey_, 0);
    }

    XKeyboard& keyboard_;
    QTimer timer_;
    QPointer<QMessageBox> seen_;
    QString lastKey_;
    QElapsedTimer clock_;
};

} // namespace valdex::testing
