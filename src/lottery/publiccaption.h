#pragma once

#include <QLabel>

// The public mode's line at the bottom of the main window, for the audience
// to photograph: the next draw's number, the commitment on the record and
// the check of the history's last line. Updated at every line written.
class PublicCaption : public QLabel
{
    Q_OBJECT
public:
    // Its text is this many pixels high, so that a photograph from the
    // hall can read it on a 1920 × 1080 projection.
    static constexpr int kTextPixels = 34;

    explicit PublicCaption(QWidget *window);

    // n: the next draw's number; commitment (empty: none on the record) and
    // check: lowercase hex, their first 16 digits shown.
    void show(qint64 n, const QByteArray &commitment, const QByteArray &check);

    static QString textFor(qint64 n, const QByteArray &commitment, const QByteArray &check);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();
};
