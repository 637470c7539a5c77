// The shared dialogs: message box, input box, file dialog filters, the
// title font dialog, and Qt's Chinese button texts.

#include "gui/support_modal.h"
#include "widgets/filedialog.h"
#include "widgets/fontdialog.h"
#include "widgets/inputbox.h"
#include "mainwindow/mainlayout.h"
#include "widgets/messagebox.h"
#include "widgets/translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// The faces scripts/deps.sh installs (fonts-noto-cjk); the design faces are
// mapped onto the serif one.
const QStringList kInstalledCjkFaces{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                                     QStringLiteral("Noto Sans Mono CJK SC")};

QPushButton *okButtonOf(FontColourDialog *dialog)
{
    auto *box = dialog->findChild<QDialogButtonBox *>(QString(), Qt::FindDirectChildrenOnly);
    return box ? box->button(QDialogButtonBox::Ok) : nullptr;
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(installChineseTranslations(*qApp));
    }

    void filterConversion_data()
    {
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("qt");
        QTest::newRow("picture") << "图形文件(*.jpg)|*.jpg" << "图形文件(*.jpg)";
        QTest::newRow("music") << "音乐文件(*.mp3)|*.mp3" << "音乐文件(*.mp3)";
        QTest::newRow("bare description") << "Pictures|*.jpg" << "Pictures (*.jpg)";
        QTest::newRow("two patterns") << "Pictures|*.jpg;*.jpeg" << "Pictures (*.jpg *.jpeg)";
        QTest::newRow("description with semicolons")
            << "图片(*.jpg;*.png)|*.jpg;*.png" << "图片(*.jpg;*.png) (*.jpg *.png)";
        QTest::newRow("description names other patterns") << "Images(*.bmp)|*.jpg" << "Images(*.bmp) (*.jpg)";
        QTest::newRow("two entries") << "A|*.a|B|*.b" << "A (*.a);;B (*.b)";
        QTest::newRow("all files") << "所有文件|*.*" << "所有文件 (*)";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("description without pattern") << "A|*.a|B" << "A (*.a)";
        QTest::newRow("empty pattern dropped") << "A||B|*.b" << "B (*.b)";
        QTest::newRow("empty description") << "|*.jpg" << "*.jpg (*.jpg)";
    }

    void filterConversion()
    {
        QFETCH(QString, design);
        QFETCH(QString, qt);
        QCOMPARE(filedialog::toQtFilter(design), qt);
    }

    // Qt's own file dialog must read the patterns back out of the converted
    // filter, which is the point of converting it.
    void filterPatternsReachQt_data()
    {
        QTest::addColumn<QString>("design");
        QTest::addColumn<QStringList>("patterns");
        QTest::newRow("picture") << "图形文件(*.jpg)|*.jpg" << QStringList{"*.jpg"};
        QTest::newRow("two patterns") << "图片(*.jpg;*.png)|*.jpg;*.png" << QStringList{"*.jpg", "*.png"};
        QTest::newRow("other patterns in description") << "Images(*.bmp)|*.jpg" << QStringList{"*.jpg"};
    }

    void filterPatternsReachQt()
    {
        QFETCH(QString, design);
        QFETCH(QStringList, patterns);
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setNameFilter(filedialog::toQtFilter(design));
        auto *model = dialog.findChild<QFileSystemModel *>();
        QVERIFY(model);
        QCOMPARE(model->nameFilters(), patterns);
    }

    void fileDialogSeam()
    {
        filedialog::Seam seam;
        seam.queueChoice(QStringLiteral("a/b.jpg"));
        seam.queueCancel();
        QCOMPARE(filedialog::openFile(QStringLiteral("图形文件(*.jpg)|*.jpg")), QStringLiteral("a/b.jpg"));
        QCOMPARE(filedialog::openFile(QStringLiteral("音乐文件(*.mp3)|*.mp3")), QString());
        QCOMPARE(filedialog::openFile(QStringLiteral("x|*.x")), QString()); // queue empty: cancel
        QCOMPARE(seam.filters(), (QStringList{"图形文件(*.jpg)|*.jpg", "音乐文件(*.mp3)|*.mp3", "x|*.x"}));
    }

    void messageSeamRecordsAndAnswers()
    {
        messagebox::Seam seam;
        seam.queueAnswers({false, true});
        QVERIFY(messagebox::show(QStringLiteral("一")));                     // OK only: takes no answer
        QVERIFY(!messagebox::confirm(QStringLiteral("二"), QStringLiteral("问")));
        QVERIFY(messagebox::show(QStringLiteral("三"), QStringLiteral("Lunora信息提示"),
                                 messagebox::Buttons::Ok, messagebox::Icon::Information));
        QVERIFY(messagebox::confirm(QStringLiteral("四"), QStringLiteral("问")));
        QVERIFY(!messagebox::confirm(QStringLiteral("五"), QStringLiteral("问"))); // queue empty
        QCOMPARE(seam.pendingAnswers(), 0);

        const QList<messagebox::Shown> &shown = seam.shown();
        QCOMPARE(seam.texts(), (QStringList{"一", "二", "三", "四", "五"}));
        QCOMPARE(shown[0].caption, QStringLiteral("信息："));
        QCOMPARE(shown[0].buttons, messagebox::Buttons::Ok);
        QCOMPARE(shown[0].icon, messagebox::Icon::None);
        QCOMPARE(shown[1].caption, QStringLiteral("问"));
        QCOMPARE(shown[1].buttons, messagebox::Buttons::OkCancel);
        QCOMPARE(shown[2].caption, QStringLiteral("Lunora信息提示"));
        QCOMPARE(shown[2].icon, messagebox::Icon::Information);
    }

    void nestedSeamsRestoreTheOuterOne()
    {
        messagebox::Seam outer;
        {
            messagebox::Seam inner;
            messagebox::inform(QStringLiteral("inner"));
            QCOMPARE(inner.texts(), QStringList{"inner"});
        }
        messagebox::inform(QStringLiteral("outer"));
        QCOMPARE(outer.texts(), QStringList{"outer"});
    }

    void realMessageBox_data()
    {
        QTest::addColumn<bool>("withCancel");
        QTest::addColumn<bool>("pressOk");
        QTest::newRow("ok only") << false << true;
        QTest::newRow("confirm ok") << true << true;
        QTest::newRow("confirm cancel") << true << false;
    }

    // The box itself: no owner, modal for the program, default caption,
    // Chinese button texts, and the answer of the pressed button.
    void realMessageBox()
    {
        QFETCH(bool, withCancel);
        QFETCH(bool, pressOk);
        QString title;
        QStringList buttonTexts;
        bool ownerless = false;
        Qt::WindowModality modality = Qt::NonModal;
        ModalAnswer modal;
        modal.expect<QMessageBox>([&](QMessageBox *box) {
            title = box->windowTitle();
            ownerless = box->parentWidget() == nullptr;
            modality = box->windowModality();
            for (QAbstractButton *b : box->buttons())
                buttonTexts << b->text();
            box->button(pressOk ? QMessageBox::Ok : QMessageBox::Cancel)->click();
        });
        const bool answer = withCancel ? messagebox::confirm(QStringLiteral("确定吗"), QString())
                                       : messagebox::show(QStringLiteral("完成"));
        QVERIFY2(modal.answered(), modal.failure().constData());
        QCOMPARE(answer, pressOk);
        QCOMPARE(title, QStringLiteral("信息："));
        QVERIFY(ownerless);
        QCOMPARE(modality, Qt::ApplicationModal);
        buttonTexts.sort();
        QStringList expected{QStringLiteral("确定")};
        if (withCancel)
            expected << QStringLiteral("取消");
        expected.sort();
        QCOMPARE(buttonTexts, expected);
    }

    void inputDialogLayout_data()
    {
        QTest::addColumn<bool>("masked");
        QTest::newRow("plain") << false;
        QTest::newRow("masked") << true;
    }

    void inputDialogLayout()
    {
        QFETCH(bool, masked);
        inputbox::InputDialog dialog(QStringLiteral("请输入密码"), QStringLiteral("标题"),
                                     masked ? inputbox::Echo::Masked : inputbox::Echo::Plain,
                                     QStringLiteral("起始"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("标题"));
        QCOMPARE(dialog.promptLabel()->text(), QStringLiteral("请输入密码"));
        QCOMPARE(dialog.entry()->text(), QStringLiteral("起始"));
        QCOMPARE(dialog.okButton()->text(), QStringLiteral("确认输入(&O)"));
        QCOMPARE(dialog.cancelButton()->text(), QStringLiteral("取消(&C)"));
        QCOMPARE(dialog.entry()->echoMode(), masked ? QLineEdit::Password : QLineEdit::Normal);
        if (masked) {
            QLineEdit *entry = dialog.entry();
            QCOMPARE(entry->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, entry),
                     int('*'));
        }
    }

    void realInputBox_data()
    {
        QTest::addColumn<bool>("pressOk");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }

    void realInputBox()
    {
        QFETCH(bool, pressOk);
        ModalAnswer modal;
        modal.expect<inputbox::InputDialog>([&](inputbox::InputDialog *dialog) {
            QTest::keyClicks(dialog->entry(), QStringLiteral("abc"));
            (pressOk ? dialog->okButton() : dialog->cancelButton())->click();
        });
        const inputbox::Result result = inputbox::ask(QStringLiteral("p"), QStringLiteral("c"),
                                                      inputbox::Echo::Plain, QStringLiteral("x"));
        QVERIFY2(modal.answered(), modal.failure().constData());
        QCOMPARE(result.ok, pressOk);
        QCOMPARE(result.text, pressOk ? QStringLiteral("xabc") : QString());
    }

    void inputSeam()
    {
        inputbox::Seam seam;
        seam.queueOk(QString());
        seam.queueCancel();
        seam.queueOk(QStringLiteral("密码"));
        const inputbox::Result first = inputbox::ask(QStringLiteral("p1"), QStringLiteral("c1"));
        const inputbox::Result second = inputbox::ask(QStringLiteral("p2"), QStringLiteral("c2"),
                                                      inputbox::Echo::Masked);
        const inputbox::Result third = inputbox::ask(QStringLiteral("p3"), QStringLiteral("c3"),
                                                     inputbox::Echo::Plain, QStringLiteral("i"));
        const inputbox::Result fourth = inputbox::ask(QStringLiteral("p4"), QStringLiteral("c4"));
        QVERIFY(first.ok);
        QVERIFY(first.text.isEmpty());
        QVERIFY(!second.ok);
        QVERIFY(third.ok);
        QCOMPARE(third.text, QStringLiteral("密码"));
        QVERIFY(!fourth.ok); // queue empty: cancel
        QCOMPARE(seam.asked().size(), 4);
        QCOMPARE(seam.asked()[1].echo, inputbox::Echo::Masked);
        QCOMPARE(seam.asked()[2].prompt, QStringLiteral("p3"));
        QCOMPARE(seam.asked()[2].caption, QStringLiteral("c3"));
        QCOMPARE(seam.asked()[2].initial, QStringLiteral("i"));
    }

    // The dialog keeps its last confirmed choice, shared by every caller.
    void fontDialogRemembersConfirmedChoice()
    {
        QFont design(QStringLiteral("宋体"));
        design.setPointSize(30);
        const FontChoice initial{design, QColor(255, 255, 0)};
        QFont chosenFont(QStringLiteral("黑体"));
        chosenFont.setPointSize(20);
        chosenFont.setItalic(true);
        chosenFont.setUnderline(true);
        const FontChoice chosen{chosenFont, QColor(255, 0, 0)};

        FontDialog dialog(initial);
        FontDialog::Seam seam;
        seam.queueCancel();
        seam.queueOk(chosen);
        seam.queueCancel();
        QVERIFY(!dialog.ask());
        QCOMPARE(dialog.selection(), initial);
        const std::optional<FontChoice> answer = dialog.ask();
        QVERIFY(answer);
        QCOMPARE(*answer, chosen);
        QVERIFY(!dialog.ask());
        QCOMPARE(dialog.selection(), chosen);
        QCOMPARE(seam.openedWith(), (QList<FontChoice>{initial, initial, chosen}));
    }

    // Confirmed unchanged, the real dialog under Qt's Chinese texts returns
    // exactly the font it opened with: a design face under its own name, not
    // the installed face it is shown as, and size, weight and all effects.
    void fontDialogConfirmedUnchangedKeepsTheFont_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("effects"); // italic, underline and strike-out
        QTest::newRow("main title design") << "宋体" << 50 << true << false;
        QTest::newRow("subtitle design, effects") << "宋体" << 30 << true << true;
        QTest::newRow("centre caption design") << "隶书" << 30 << false << false;
        for (const QString &face : kInstalledCjkFaces) {
            QTest::addRow("%s bold", qPrintable(face)) << face << 24 << true << false;
            QTest::addRow("%s effects", qPrintable(face)) << face << 36 << false << true;
        }
    }

    void fontDialogConfirmedUnchangedKeepsTheFont()
    {
        QFETCH(QString, face);
        QFETCH(int, points);
        QFETCH(bool, bold);
        QFETCH(bool, effects);
        for (const QString &needed : kInstalledCjkFaces)
            QVERIFY2(QFontDatabase::families().contains(needed),
                     qPrintable(needed + QStringLiteral(" is not installed: run scripts/deps.sh (fonts-noto-cjk)")));
        installFontSubstitutes();
        QFont font(face);
        font.setPointSize(points);
        font.setBold(bold);
        font.setItalic(effects);
        font.setUnderline(effects);
        font.setStrikeOut(effects);
        const FontChoice opened{font, QColor(0, 0, 128)};

        FontDialog dialog(opened);
        QString shownFace;
        bool shownBold = false;
        ModalAnswer modal;
        modal.expect<FontColourDialog>([&](FontColourDialog *open) {
            shownFace = open->fontPage()->currentFont().family();
            shownBold = open->fontPage()->currentFont().bold();
            okButtonOf(open)->click();
        });
        const std::optional<FontChoice> answer = dialog.ask();
        QVERIFY2(modal.answered(), modal.failure().constData());
        QVERIFY(answer);
        QCOMPARE(answer->font.family(), face);
        QCOMPARE(answer->font, font);
        QCOMPARE(answer->colour, opened.colour);
        // The page shows an installed face: the design faces as the serif CJK face.
        QCOMPARE(shownFace, kInstalledCjkFaces.contains(face) ? face : kInstalledCjkFaces.first());
        QCOMPARE(shownBold, bold); // every installed CJK face has a bold style
    }

    // What the operator changes comes from the page; the rest stays as it was
    // opened, so a new size keeps the design face's name and its bold.
    void fontDialogTakesOnlyWhatWasChanged()
    {
        installFontSubstitutes();
        QFont design(QStringLiteral("宋体"));
        design.setPointSize(50);
        design.setBold(true);
        FontColourDialog dialog({design, QColor(Qt::red)});
        QVERIFY(!dialog.fontPage()->isWindow());
        QVERIFY(dialog.fontPage()->testOption(QFontDialog::NoButtons));
        QFont resized = dialog.fontPage()->currentFont();
        resized.setPointSize(72);
        dialog.fontPage()->setCurrentFont(resized);
        dialog.setColour(QColor(1, 2, 3));
        QFont expected = design;
        expected.setPointSize(72);
        QCOMPARE(dialog.choice().font, expected);
        QCOMPARE(dialog.choice().colour, QColor(1, 2, 3));

        QFont other = dialog.fontPage()->currentFont();
        other.setFamily(kInstalledCjkFaces.last());
        dialog.fontPage()->setCurrentFont(other);
        QCOMPARE(dialog.choice().font.family(), kInstalledCjkFaces.last());
        QVERIFY(dialog.choice().font.bold());
    }

    // Enter and Esc typed in the font page close the whole dialog, the way
    // its OK and Cancel do, and never just the embedded page.
    void fontPageKeysCloseTheDialog_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }

    void fontPageKeysCloseTheDialog()
    {
        QFETCH(int, key);
        QFETCH(int, result);
        FontColourDialog dialog({QFont(), QColor(Qt::red)});
        dialog.setResult(-1);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *entry = dialog.fontPage()->findChild<QLineEdit *>();
        QVERIFY(entry);
        QTest::keyClick(entry, Qt::Key(key));
        QCOMPARE(dialog.result(), result);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.fontPage()->isHidden());
    }

    void standardButtonsReadChinese()
    {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
