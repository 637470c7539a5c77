#pragma once

// Answers a real modal dialog from inside its event loop: a zero timer set
// before the dialog opens fires from inside exec(), so nothing waits or
// polls. A dialog of another kind, or none, is recorded and closed at once,
// so the test fails at its next check instead of hanging until it is killed.

#include <QApplication>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

class ModalAnswer
{
public:
    template <typename Dialog>
    void expect(std::function<void(Dialog *)> answer)
    {
        m_answered = false;
        m_failure.clear();
        QTimer::singleShot(0, qApp, [this, answer] {
            QWidget *open = QApplication::activeModalWidget();
            if (auto *dialog = qobject_cast<Dialog *>(open)) {
                m_answered = true;
                answer(dialog);
                return;
            }
            m_failure = open ? QStringLiteral("a %1 opened instead").arg(QString::fromLatin1(open->metaObject()->className()))
                             : QStringLiteral("no dialog opened");
            if (open)
                open->close();
        });
    }

    bool answered() const { return m_answered; }
    // Why the dialog was not answered, for QVERIFY2.
    QByteArray failure() const { return m_failure.toUtf8(); }

private:
    bool m_answered = false;
    QString m_failure;
};
