#pragma once

#include <QLabel>

// The public mode's line at the bottom edge of the main window: the
// commitment the audience photographs before the draws, and the check of the
// history's last line after them.
class PublicCaption : public QLabel
{
    Q_OBJECT
public:
    explicit PublicCaption(QWidget *window);

    // commitment and check: lowercase hex; their first 16 digits are shown.
    void show(const QByteArray &commitment, const QByteArray &check);

    static QString textFor(const QByteArray &commitment, const QByteArray &check);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();
};
