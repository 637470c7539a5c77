#pragma once

#include <QString>

// A setting that stays in effect for this run although config.a did not take
// it. The first failure of each kind tells the operator, in the words the
// prize settings use ("…保存失败，只在本次运行中有效！…"); later failures of
// the same kind say nothing more, since the operator already knows the
// folder cannot be written. Each kind has one owner, which lives as long as
// the run.
class UnsavedNotice
{
public:
    // what: the setting, as the message names it, e.g. "显示设置".
    explicit UnsavedNotice(const QString &what);

    // Tells the operator when saved is false, the first time only.
    void check(bool saved);

    QString text() const { return m_text; }

private:
    QString m_text;
    bool m_told = false;
};
