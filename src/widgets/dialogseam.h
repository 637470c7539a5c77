#pragma once

#include <QList>
#include <optional>
#include <utility>

// What the test seams of the program's modal dialogs, and of its own modal
// windows (modalwindow.h), share: the one way tests answer anything modal.
// While a seam exists its dialog never appears: every call is recorded and
// answered from a queue, where nullopt (or an empty queue) stands for
// Cancel. Seams nest; the newest one answers.
//
// Derived is the seam class itself, so that each dialog has its own active
// seam; Record is what one call is recorded as; Answer is what OK gives.
template <typename Derived, typename Record, typename Answer>
class DialogSeam
{
public:
    DialogSeam(const DialogSeam &) = delete;
    DialogSeam &operator=(const DialogSeam &) = delete;

    void queueCancel() { m_answers << std::nullopt; }
    int pendingAnswers() const { return int(m_answers.size()); }

    // Used by the dialog's own function; not for tests.
    static Derived *active() { return s_active; }
    void record(const Record &call) { m_records << call; }
    std::optional<Answer> nextAnswer()
    {
        return m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
    }
    std::optional<Answer> answer(const Record &call)
    {
        record(call);
        return nextAnswer();
    }

protected:
    DialogSeam()
        : m_previous(s_active)
    {
        s_active = static_cast<Derived *>(this);
    }
    ~DialogSeam() { s_active = m_previous; }

    void queue(Answer answer) { m_answers << std::optional<Answer>(std::move(answer)); }

    QList<Record> m_records;

private:
    QList<std::optional<Answer>> m_answers;
    Derived *m_previous;
    static inline Derived *s_active = nullptr;
};
