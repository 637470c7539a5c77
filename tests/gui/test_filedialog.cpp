// The file-open dialog of the background picture, the music and the prize
// pictures: "*.jpg" and "*.mp3" find IMG_0001.JPG and SONG.MP3, as they do
// on Windows, and the list of file types shows the description as written.
#include "widgets/filedialog.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList kFiles = {QStringLiteral("IMG_0001.JPG"), QStringLiteral("Photo.Jpg"),
                            QStringLiteral("small.jpg"),    QStringLiteral("SONG.MP3"),
                            QStringLiteral("tune.mp3"),     QStringLiteral("notes.txt"),
                            QStringLiteral("jpg"),          QStringLiteral("pic.jpg.png")};

// The files the dialog's list offers for choosing, in name order.
QStringList offeredFiles(QFileDialog &dialog)
{
    auto *view = dialog.findChild<QListView *>(QStringLiteral("listView"));
    if (!view)
        return {QStringLiteral("<no list>")};
    QStringList names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row) {
        const QModelIndex index = view->model()->index(row, 0, root);
        if (index.flags().testFlag(Qt::ItemIsEnabled))
            names << index.data().toString();
    }
    names.sort();
    return names;
}

} // namespace

class TestFileDialog : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const QString &name : kFiles) {
            QFile file(m_dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write("x") == 1);
        }
    }

    void filters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("shownType");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("pictures") << QStringLiteral("图形文件(*.jpg)|*.jpg") << QStringLiteral("图形文件(*.jpg)")
                                  << QStringList{"IMG_0001.JPG", "Photo.Jpg", "small.jpg"};
        QTest::newRow("music") << QStringLiteral("音乐文件(*.mp3)|*.mp3") << QStringLiteral("音乐文件(*.mp3)")
                               << QStringList{"SONG.MP3", "tune.mp3"};
    }

    // The dialog the program opens, without the platform's own dialog.
    void filters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, shownType);
        QFETCH(QStringList, offered);
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        filedialog::prepare(dialog, filter);
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
        dialog.setDirectory(m_dir.path());
        dialog.show();
        QTRY_COMPARE_WITH_TIMEOUT(offeredFiles(dialog), offered, 10000);
        auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        QCOMPARE(types->currentText(), shownType);
    }

    // A platform's own dialog (GTK, the desktop portal) takes the patterns
    // as they are and, on Linux, tells case apart: the patterns themselves
    // must match any case.
    void patternsMatchAnyCase_data() { filters_data(); }

    void patternsMatchAnyCase()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows matches the patterns whatever the case");
#endif
        QFETCH(QString, filter);
        QFETCH(QStringList, offered);
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        filedialog::prepare(dialog, filter);
        auto *model = dialog.findChild<QFileSystemModel *>();
        QVERIFY(model);
        QStringList matched;
        for (const QString &name : kFiles) {
            for (const QString &pattern : model->nameFilters()) {
                if (QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive).match(name).hasMatch()) {
                    matched << name;
                    break;
                }
            }
        }
        matched.sort();
        QCOMPARE(matched, offered);
    }
};

QTEST_MAIN(TestFileDialog)
#include "test_filedialog.moc"
