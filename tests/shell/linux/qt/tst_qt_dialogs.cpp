// The program's boxes as Qt builds them: buttons, default button, icon, title and line breaks.

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "main_window/variant_file_commands.h"
#include "shell/linux/qt/qt_dialogs.h"
#include "shell/platform.h"

using namespace velmora;
using namespace velmora::linux_platform;

class TestQtDialogs : public QObject {
    Q_OBJECT

private slots:
    void messageBoxFollowsTheStyleValue_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("icon");
        QTest::addRow("0 OK") << 0 << int(QMessageBox::Ok) << int(QMessageBox::Ok) << int(QMessageBox::NoIcon);
        QTest::addRow("4 Yes/No") << 4 << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::Yes)
                                  << int(QMessageBox::NoIcon);
        QTest::addRow("16 stop") << 16 << int(QMessageBox::Ok) << int(QMessageBox::Ok) << int(QMessageBox::Critical);
        QTest::addRow("64 information") << 64 << int(QMessageBox::Ok) << int(QMessageBox::Ok)
                                        << int(QMessageBox::Information);
        QTest::addRow("4+64") << 68 << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::Yes)
                              << int(QMessageBox::Information);
        QTest::addRow("4+256 No default") << 260 << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::No)
                                          << int(QMessageBox::NoIcon);
        QTest::addRow("0+256 OK alone") << 256 << int(QMessageBox::Ok) << int(QMessageBox::Ok)
                                        << int(QMessageBox::NoIcon);
    }

    void messageBoxFollowsTheStyleValue()
    {
        QFETCH(int, style);
        QFETCH(int, buttons);
        QFETCH(int, defaultButton);
        QFETCH(int, icon);
        const auto box = BuildMessageBox("a", style, "t");
        QCOMPARE(int(box->standardButtons()), buttons);
        QCOMPARE(int(box->standardButton(box->defaultButton())), defaultButton);
        QCOMPARE(int(box->icon()), icon);
    }

    void messageBoxBreaksLinesAtCarriageReturnAndShowsPlainText()
    {
        const auto box = BuildMessageBox("File not found: \rC:\\x <b>", 16, "Host-File not found!");
        QCOMPARE(box->text(), QStringLiteral("File not found: \nC:\\x <b>"));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->windowTitle(), QStringLiteral("Host-File not found!"));
    }

    void messageBoxAnswersWithTheClassicValues()
    {
        QCOMPARE(answerWith(QMessageBox::No, 4), message_answer::kNo);
        QCOMPARE(answerWith(QMessageBox::Yes, 4), message_answer::kYes);
        QCOMPARE(answerWith(QMessageBox::Ok, 0), message_answer::kOk);
        QCOMPARE(answerWithEscape(4), message_answer::kNo);
        QCOMPARE(answerWithReturn(4), message_answer::kYes);
        QCOMPARE(answerWithReturn(260), message_answer::kNo);
    }

    void theInvalidNameBoxShowsEachSentenceOnALineOfItsOwn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("forbidden characters") << "work<2>";
        QTest::addRow("blanks only") << "";
    }

    void theInvalidNameBoxShowsEachSentenceOnALineOfItsOwn()
    {
        QFETCH(QString, name);
        const std::string problem = ProblemWithNewVariantName(name.toStdString());
        const auto box = BuildMessageBox(problem, message_style::kStopIcon, "Invalid Name");
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        // Every line fits the width the box gave its text, so the box wraps none of them.
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        QVERIFY(lines.size() >= 2);
        for (const QString& line : lines)
            QVERIFY2(label->fontMetrics().horizontalAdvance(line) <= label->contentsRect().width(), qPrintable(line));
        box->close();
    }

    void inputBoxGivesTheFieldOrEmptyTextOnCancel()
    {
        const auto dialog = BuildInputBox("Enter Name for the new Hosts-File", "Enter Name", "NewHostFile");
        QCOMPARE(dialog->textValue(), QStringLiteral("NewHostFile"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Enter Name"));
        QCOMPARE(dialog->labelText(), QStringLiteral("Enter Name for the new Hosts-File"));

        QTimer::singleShot(0, [] {
            auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (input) {
                input->setTextValue(QStringLiteral("Grüße work"));
                input->accept();
            }
        });
        QCOMPARE(QString::fromStdString(ShowInputBox("p", "t", "d")), QStringLiteral("Grüße work"));

        QTimer::singleShot(0, [] {
            if (auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget()))
                input->reject();
        });
        QCOMPARE(ShowInputBox("p", "t", "d"), std::string());
    }

private:
    static int answerWith(QMessageBox::StandardButton button, int style)
    {
        QTimer::singleShot(0, [button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(button)->click();
        });
        return ShowMessageBox("question", style, "t");
    }

    static int answerWithReturn(int style)
    {
        QTimer::singleShot(0, [] {
            if (auto* box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Return);
        });
        return ShowMessageBox("question", style, "t");
    }

    static int answerWithEscape(int style)
    {
        QTimer::singleShot(0, [] {
            if (auto* box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Escape);
        });
        return ShowMessageBox("question", style, "t");
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qt_dialogs.moc"
