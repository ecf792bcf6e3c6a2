// The real window without a display: its fixed layout, look and focus order, how its controls report
// events, the key preview, and a double-click that really switches the hosts file on a temporary drive.

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "hosts_store/hosts_store.h"
#include "main_window/form1_layout.h"
#include "main_window/form1_presenter.h"
#include "shell/home_page.h"
#include "main_window/qt/form1.h"
#include "main_window/qt/form1_widgets.h"
#include "shell/linux/drive_mapping.h"
#include "shell/linux/linux_platform.h"
#include "shell/linux/qt/font_substitutes.h"
#include "tests/support/end_catching_events.h"
#include "tests/support/forwarding_platform.h"
#include "tests/support/temp_directory.h"
#include "tests/support/xdg_environment.h"

using namespace velmora;
using namespace velmora::linux_platform;
using velmora::qt_view::Form1;

namespace {

// Records the window's events in order; consumes Escape only, as the program's key rule does.
class RecordingEvents final : public Form1Events {
public:
    QStringList calls;

    void onListClick() override { calls << "listClick"; }
    void onListDoubleClick() override { calls << "listDoubleClick"; }
    void onCommand1Click() override { calls << "Command1"; }
    void onCommand2Click() override { calls << "Command2"; }
    void onCommand3Click() override { calls << "Command3"; }
    void onCommand4Click() override { calls << "Command4"; }
    void onCommand5Click() override { calls << "Command5"; }
    void onCommand6Click() override { calls << "Command6"; }
    void onPicture1Click() override { calls << "Picture1"; }
    void onLabel1Click() override { calls << "Label1"; }
    bool onKeyPress(int characterCode) override
    {
        calls << QStringLiteral("key %1").arg(characterCode);
        return characterCode == 27;
    }
};

// The real Linux platform for files, with the bell, the boxes and the end of the program recorded instead:
// the real ones would ring the terminal, open a second Qt application or end the test.
class RealFilesPlatform final : public velmora::testing::ForwardingPlatform {
public:
    explicit RealFilesPlatform(const std::string& driveC)
        : ForwardingPlatform(real_)
        , real_(argc_, argv_, DriveMapping(DriveMapping::Roots{driveC, std::nullopt}))
    {
    }

    QStringList recorded;

    int messageBox(const std::string& prompt, int, const std::optional<std::string>&) override
    {
        recorded << QString::fromStdString("box " + prompt);
        return message_answer::kOk;
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override
    {
        return std::string();
    }
    std::string commandLine() override { return {}; }
    void beep() override { recorded << "beep"; }
    [[noreturn]] void endProgram(ExitCode code) override
    {
        recorded << QStringLiteral("end %1").arg(static_cast<int>(code));
        throw testing::ProgramEnded{code};
    }

private:
    int argc_ = 1;
    char program_[8] = "velmora";
    char* arguments_[2] = {program_, nullptr};
    char** argv_ = arguments_;
    LinuxPlatform real_;
};

// The real window over the real presenter and the platform above, started up and shown.
struct StartedWindow {
    explicit StartedWindow(const std::string& driveC)
        : platform(driveC)
        , presenter(platform)
        , events(presenter)
        , window(events)
    {
        presenter.startUp();
        presenter.attachView(window);
    }

    RealFilesPlatform platform;
    Form1Presenter presenter;
    testing::EndCatchingEvents events;
    Form1 window;
};

// A hosts directory on a sandbox drive with `hosts` and its backup, so that start-up needs no box.
std::string PrepareHostsDirectory(const testing::TempDirectory& drive)
{
    const std::string etc = drive / "Windows/System32/drivers/etc";
    std::filesystem::create_directories(etc);
    testing::WriteFile(etc + "/hosts", "127.0.0.1 localhost\r\n");
    testing::WriteFile(etc + "/hosts.Default", "127.0.0.1 localhost\r\n");
    return etc;
}

template <typename T = QWidget>
T* Control(QWidget& form, const char* name)
{
    if (form.objectName() == QLatin1String(name))
        return qobject_cast<T*>(&form);
    return form.findChild<T*>(QString::fromLatin1(name));
}

// The caption as Qt holds it, before "&&" is shown as one ampersand.
QString RawCaption(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return frame->title();
    return widget->windowTitle();
}

QString ShownCaption(QWidget* widget)
{
    QString caption = RawCaption(widget);
    if (qobject_cast<QLabel*>(widget) == nullptr)
        caption.replace(QStringLiteral("&&"), QStringLiteral("&"));
    return caption;
}

QPoint ItemCentre(QListWidget* list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private:
    RecordingEvents events_;
    std::unique_ptr<Form1> form_;

    QListWidget* list() { return Control<QListWidget>(*form_, "List1"); }

    void showActive() { showActive(*form_); }

    static void showActive(Form1& form)
    {
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void init()
    {
        events_.calls.clear();
        form_ = std::make_unique<Form1>(events_);
    }

    void cleanup() { form_.reset(); }

    void windowIsFixedWhiteAndCentredWithoutMinimiseOrMaximise()
    {
        const QSize size(form1_layout::kClientSize.width, form1_layout::kClientSize.height);
        QCOMPARE(form_->objectName(), QStringLiteral("Form1"));
        QCOMPARE(form_->windowTitle(), QString::fromLatin1(form1_layout::kInitialTitle));
        QCOMPARE(form_->minimumSize(), size);
        QCOMPARE(form_->maximumSize(), size);
        QVERIFY(!(form_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(form_->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(form_->autoFillBackground());
        QCOMPARE(form_->palette().color(QPalette::Window), QColor(255, 255, 255));
        showActive();
        QCOMPARE(form_->size(), size);
        const QPoint offCentre = form_->geometry().center() - form_->screen()->availableGeometry().center();
        // Within the frame's border: the window is placed before the desktop tells how wide that is.
        QVERIFY2(qAbs(offCentre.x()) <= 3 && qAbs(offCentre.y()) <= 3, "centred on the screen at its first show");
    }

    void everyControlIsWhereTheLayoutPutsItWithItsLook_data()
    {
        QTest::addColumn<int>("id");
        for (const form1_layout::Control& control : form1_layout::kControls)
            QTest::addRow("%s", control.name) << int(control.id);
    }

    // Each control of the layout table: its container and place, caption, tooltip, font (and the installed
    // face that stands in for it) and colours, as the table gives them.
    void everyControlIsWhereTheLayoutPutsItWithItsLook()
    {
        QFETCH(int, id);
        const form1_layout::Control& layout = form1_layout::ControlOf(form1_layout::ControlId(id));
        showActive();
        QWidget* control = Control(*form_, layout.name);
        QVERIFY(control);

        QWidget* container = layout.inFrame1 ? Control(*form_, "Frame1") : form_.get();
        QCOMPARE(control->parentWidget(), container);
        const form1_layout::Box& box = layout.box;
        QCOMPARE(control->geometry(), QRect(box.left, box.top, box.width(), box.height()));
        QCOMPARE(control->mapTo(form_.get(), QPoint(0, 0)), container->mapTo(form_.get(), QPoint(box.left, box.top)));

        const QString caption = layout.id == form1_layout::kLabel1 ? QString::fromStdString(HomePageHostName())
                                                                   : QString::fromLatin1(layout.caption ? layout.caption : "");
        if (layout.kind != form1_layout::ControlKind::List && layout.kind != form1_layout::ControlKind::Picture) {
            QCOMPARE(RawCaption(control), caption);
            QVERIFY2(QKeySequence::mnemonic(RawCaption(control)).isEmpty(), "no access key");
        }
        QCOMPARE(control->toolTip(), QString::fromLatin1(layout.tooltip ? layout.tooltip : ""));

        if (layout.font != form1_layout::FontRole::None) {
            const form1_layout::Font& font = form1_layout::FontOf(layout.font);
            QCOMPARE(control->font().family(), QString::fromLatin1(font.face));
            QCOMPARE(control->font().pointSizeF(), font.points);
            QCOMPARE(int(control->font().weight()), font.weight);
            QCOMPARE(control->font().underline(), font.underline);
            const auto substitute = std::find_if(kFontSubstitutes.begin(), kFontSubstitutes.end(),
                                                 [&](const FontSubstitute& s) { return qstrcmp(s.requested, font.face) == 0; });
            QVERIFY(substitute != kFontSubstitutes.end());
            QCOMPARE(QFontInfo(control->font()).family(), QString::fromLatin1(substitute->installed));
        }

        const QPalette palette = control->palette();
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            QCOMPARE(palette.color(QPalette::Button), qt_view::QtColour(layout.face));
            QCOMPARE(palette.color(QPalette::ButtonText), qt_view::QtColour(layout.text));
            // The face really shows its colour, whatever style the desktop has.
            button->setEnabled(true);
            const QImage face = button->grab().toImage();
            const QColor inside = face.pixelColor(5, face.height() / 2);
            const QColor colour = qt_view::QtColour(layout.face);
            QVERIFY2(qAbs(inside.red() - colour.red()) <= 16 && qAbs(inside.green() - colour.green()) <= 16 &&
                         qAbs(inside.blue() - colour.blue()) <= 16,
                     qPrintable(inside.name()));
        } else {
            if (layout.text != form1_layout::kNoColour)
                QCOMPARE(palette.color(QPalette::WindowText), qt_view::QtColour(layout.text));
            if (layout.face != form1_layout::kNoColour)
                QCOMPARE(palette.color(QPalette::Window), qt_view::QtColour(layout.face));
            else if (qobject_cast<QLabel*>(control))
                QVERIFY2(!control->autoFillBackground(), "the label's background is transparent");
        }
    }

    void focusStartsInTheListAndFollowsTheTabOrder()
    {
        showActive();
        QCOMPARE(QApplication::focusWidget(), list());
        QStringList stops;
        QWidget* widget = list();
        do {
            if (widget->window() == form_.get() && (widget->focusPolicy() & Qt::TabFocus))
                stops << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != list());
        QCOMPARE(stops, QStringList({"List1", "Command4", "Command1", "Command6", "Command5", "Command3", "Command2"}));
    }

    void initialState()
    {
        showActive();
        QCOMPARE(list()->count(), 0);
        QCOMPARE(form_->listIndex(), -1);
        for (const char* name : {"Command3", "Command2", "Command5", "Command6"})
            QVERIFY2(!Control(*form_, name)->isEnabled(), name);
        for (const char* name : {"Command1", "Command4", "List1", "Picture1", "Label1"})
            QVERIFY2(Control(*form_, name)->isEnabled(), name);
        for (const char* name : {"Picture1", "ActiveHostLabel", "Frame1", "Label1"})
            QVERIFY2(Control(*form_, name)->isVisible(), name);
        QVERIFY(Control<QLabel>(*form_, "Picture1")->pixmap().isNull());
        QCOMPARE(list()->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(!list()->isSortingEnabled());
    }

    void theIconIsOneThirtyTwoPixelImageOfAtMost256ColoursAndThePictureShowsIt()
    {
        const QImage icon(QStringLiteral(":/velmora/velmora-32.png"));
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.format(), QImage::Format_Indexed8);
        QVERIFY(icon.colorCount() <= 256);
        QVERIFY(!form_->windowIcon().isNull());

        form_->showWindowIconInPicture();
        const QPixmap shown = Control<QLabel>(*form_, "Picture1")->pixmap();
        QCOMPARE(shown.size(), QSize(32, 32));
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32),
                 icon.convertToFormat(QImage::Format_ARGB32));
    }

    void listOperationsRaiseTheClickOnlyWhenSelecting()
    {
        form_->addListEntry("hosts.a");
        form_->addListEntry("HOSTS.b");
        form_->addListEntry("hosts.c");
        QCOMPARE(events_.calls, QStringList());
        QCOMPARE(form_->listCount(), 3);
        QCOMPARE(form_->listEntry(1), std::string("HOSTS.b"));
        QCOMPARE(form_->listEntry(-1), std::string());
        QCOMPARE(form_->listEntry(3), std::string());

        form_->selectListEntry(1);
        QCOMPARE(events_.calls, QStringList({"listClick"}));
        QCOMPARE(form_->listIndex(), 1);

        form_->clearList();
        QCOMPARE(events_.calls, QStringList({"listClick"}));
        QCOMPARE(form_->listIndex(), -1);
        QCOMPARE(form_->listCount(), 0);
    }

    void aListEntryKeepsItsOwnBytes()
    {
        const std::string latin1Name = "hosts.b\xfcro";  // not valid UTF-8
        form_->addListEntry(latin1Name);
        QCOMPARE(form_->listEntry(0), latin1Name);
    }

    void userClicksAndDoubleClicksInTheList()
    {
        for (const char* entry : {"hosts.a", "hosts.b"})
            form_->addListEntry(entry);
        showActive();
        QWidget* area = list()->viewport();

        QTest::mouseClick(area, Qt::LeftButton, {}, ItemCentre(list(), 1));
        QCOMPARE(events_.calls, QStringList({"listClick"}));
        QCOMPARE(form_->listIndex(), 1);

        QTest::mouseDClick(area, Qt::LeftButton, {}, ItemCentre(list(), 1));
        QTest::mouseRelease(area, Qt::LeftButton, {}, ItemCentre(list(), 1));
        QCOMPARE(events_.calls, QStringList({"listClick", "listDoubleClick"}));

        events_.calls.clear();
        QTest::mouseDClick(area, Qt::RightButton, {}, ItemCentre(list(), 1));
        QTest::mouseRelease(area, Qt::RightButton, {}, ItemCentre(list(), 1));
        QCOMPARE(events_.calls, QStringList());
    }

    void buttonsLabelAndPictureReportTheirClicks()
    {
        for (VariantButton button :
             {VariantButton::Command3, VariantButton::Command2, VariantButton::Command5, VariantButton::Command6})
            form_->setVariantButtonEnabled(button, true);
        showActive();
        const QStringList names{"Command1", "Command2", "Command3", "Command4", "Command5", "Command6",
                                "Picture1", "Label1"};
        for (const QString& name : names)
            QTest::mouseClick(Control(*form_, qPrintable(name)), Qt::LeftButton);
        QCOMPARE(events_.calls, names);

        events_.calls.clear();
        form_->setVariantButtonEnabled(VariantButton::Command5, false);
        QTest::mouseClick(Control(*form_, "Command5"), Qt::LeftButton);
        QTest::mouseClick(Control(*form_, "Label1"), Qt::RightButton);
        QCOMPARE(events_.calls, QStringList());
    }

    void aDoubleClickOnThePictureOrTheLinkIsOneClick()
    {
        showActive();
        for (const QString control : {"Picture1", "Label1"}) {
            events_.calls.clear();
            QWidget* clicked = Control(*form_, qPrintable(control));
            // Through the window, as the desktop delivers it: press, release, press, release, of which Qt
            // makes the double-click. A click well after it counts again.
            const QPoint at = clicked->mapTo(form_.get(), clicked->rect().center());
            QTest::mouseDClick(form_->windowHandle(), Qt::LeftButton, {}, at, QTest::mouseDoubleClickInterval * 2);
            QCOMPARE(events_.calls, QStringList({control}));
            QTest::mouseClick(form_->windowHandle(), Qt::LeftButton, {}, at, QTest::mouseDoubleClickInterval * 2);
            QCOMPARE(events_.calls, QStringList({control, control}));
        }
    }

    void theUserCannotTakeTheSelectionAway()
    {
        for (const char* entry : {"hosts.a", "hosts.b"})
            form_->addListEntry(entry);
        showActive();
        QWidget* area = list()->viewport();
        const QPoint blank(area->width() / 2, area->height() - 5);
        QVERIFY(!list()->indexAt(blank).isValid());
        const int later = QTest::mouseDoubleClickInterval * 2;  // no double-click with the click before
        const struct {
            const char* gesture;
            std::function<void()> make;
            int index;  // selected afterwards; a change is one click on the list
        } cases[] = {
            {"click in the blank area", [&] { QTest::mouseClick(area, Qt::LeftButton, {}, blank, later); }, 1},
            {"Ctrl+click on the selected entry",
             [&] { QTest::mouseClick(area, Qt::LeftButton, Qt::ControlModifier, ItemCentre(list(), 1), later); }, 1},
            {"Ctrl+Space on the selected entry", [&] { QTest::keyClick(list(), Qt::Key_Space, Qt::ControlModifier); }, 1},
            {"drag into the blank area",
             [&] {
                 QTest::mousePress(area, Qt::LeftButton, {}, ItemCentre(list(), 1), later);
                 QTest::mouseMove(area, blank);
                 QTest::mouseRelease(area, Qt::LeftButton, {}, blank);
             },
             1},
            {"Ctrl+click on another entry selects it",
             [&] { QTest::mouseClick(area, Qt::LeftButton, Qt::ControlModifier, ItemCentre(list(), 0), later); }, 0},
        };
        for (const auto& c : cases) {
            QTest::mouseClick(area, Qt::LeftButton, {}, ItemCentre(list(), 1), later);
            QCOMPARE(form_->listIndex(), 1);
            events_.calls.clear();
            c.make();
            QVERIFY2(form_->listIndex() == c.index && list()->selectedItems().size() == 1, c.gesture);
            // The key rule sees the Space too; only the list's own events count here.
            QVERIFY2(events_.calls.filter("list") == (c.index == 1 ? QStringList() : QStringList({"listClick"})),
                     c.gesture);
        }
    }

    void escapeReachesTheKeyRuleFromAnyControl_data()
    {
        QTest::addColumn<QString>("focused");
        for (const char* name : {"List1", "Command1", "Command4", "Command3", "Command2", "Command6", "Command5"})
            QTest::addRow("%s", name) << name;
    }

    void escapeReachesTheKeyRuleFromAnyControl()
    {
        QFETCH(QString, focused);
        for (VariantButton button :
             {VariantButton::Command3, VariantButton::Command2, VariantButton::Command5, VariantButton::Command6})
            form_->setVariantButtonEnabled(button, true);
        showActive();
        QWidget* control = Control(*form_, qPrintable(focused));
        control->setFocus();
        QCOMPARE(QApplication::focusWidget(), control);

        QTest::keyClick(control, Qt::Key_Escape);
        QCOMPARE(events_.calls, QStringList({"key 27"}));
        // A key the rule does not consume is offered once, even where Qt passes it on to the parents.
        QTest::keyClick(control, Qt::Key_Q);
        QCOMPARE(events_.calls, QStringList({"key 27", "key 113"}));
    }

    void otherKeysKeepTheirEffectInTheList()
    {
        for (const char* entry : {"hosts.a", "hosts.b", "hosts.c"})
            form_->addListEntry(entry);
        form_->selectListEntry(0);
        showActive();
        events_.calls.clear();

        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(form_->listIndex(), 1);
        QCOMPARE(events_.calls, QStringList({"listClick"}));
        QTest::keyClick(list(), Qt::Key_End);
        QCOMPARE(form_->listIndex(), 2);
    }

    void textsFromTheLogicAreShownAsTheyAre()
    {
        form_->setFrameCaption("R&D :");
        auto* frame = Control<QGroupBox>(*form_, "Frame1");
        QCOMPARE(ShownCaption(frame), QStringLiteral("R&D :"));
        QVERIFY(QKeySequence::mnemonic(frame->title()).isEmpty());

        auto* heading = Control<QLabel>(*form_, "ActiveHostLabel");
        form_->setActiveHostLabelCaption("hosts.<b>x</b> - Activated!");
        QCOMPARE(heading->text(), QStringLiteral("hosts.<b>x</b> - Activated!"));
        QCOMPARE(heading->textFormat(), Qt::PlainText);
    }

    void aLongVariantNameInTheFrameEndsInAnEllipsis()
    {
        auto* frame = dynamic_cast<qt_view::CaptionedFrame*>(Control<QGroupBox>(*form_, "Frame1"));
        QVERIFY(frame);
        form_->setFrameCaption("work :");
        QCOMPARE(frame->shownCaption(), QStringLiteral("work :"));

        // Cut between whole letters, as the list cuts its entries, and within the frame's line.
        const QString caption = "staging-with-every-blocklist-of-the-office-network :";
        form_->setFrameCaption(caption.toStdString());
        const QString drawn = frame->shownCaption();
        QVERIFY2(drawn.endsWith(QChar(0x2026)) && caption.startsWith(drawn.chopped(1)), qPrintable(drawn));
        QVERIFY(QFontMetrics(frame->font()).horizontalAdvance(drawn) <= frame->width() - 12);
    }

    void theLinkColourComesInTheClassicBlueGreenRedOrder()
    {
        form_->setLinkColour(0xFF8080);
        QCOMPARE(Control(*form_, "Label1")->palette().color(QPalette::WindowText), QColor(128, 128, 255));
    }

    void aDoubleClickOnAnEntrySwitchesTheHostsFileOnADrive()
    {
        testing::TempDirectory drive;
        const std::string etc = PrepareHostsDirectory(drive);
        testing::WriteFile(etc + "/hosts.work", "10.0.0.1 intranet\r10.0.0.2 mail\n");

        StartedWindow started(drive.path());
        RealFilesPlatform& platform = started.platform;
        Form1& window = started.window;
        showActive(window);
        QCOMPARE(window.listEntry(1), std::string("hosts.work"));

        auto* entries = Control<QListWidget>(window, "List1");
        QWidget* area = entries->viewport();
        QTest::mouseClick(area, Qt::LeftButton, {}, ItemCentre(entries, 1));
        QCOMPARE(Control<QGroupBox>(window, "Frame1")->title(), QStringLiteral("work :"));
        QTest::mouseDClick(area, Qt::LeftButton, {}, ItemCentre(entries, 1));
        QTest::mouseRelease(area, Qt::LeftButton, {}, ItemCentre(entries, 1));

        QCOMPARE(testing::ReadFile(etc + "/hosts"), std::string("10.0.0.1 intranet\r\n10.0.0.2 mail\n\r\n"));
        QCOMPARE(Control<QLabel>(window, "ActiveHostLabel")->text(), QStringLiteral("hosts.work - Activated!"));
        QCOMPARE(platform.recorded, QStringList({"beep"}));
        QStringList left;
        for (const auto& file : std::filesystem::directory_iterator(etc))
            left << QString::fromStdString(file.path().filename().string());
        left.sort();
        QCOMPARE(left, QStringList({"hosts", "hosts.Default", "hosts.work"}));
    }

    void clickingTheLinkOpensTheHomePageInTheDesktopsBrowser()
    {
        testing::XdgEnvironment xdg;
        const std::string browser = xdg.addRecordingProgram("browser");
        xdg.setDefault("text/html", xdg.addApplication("browser", browser + " %u", "text/html;"));
        xdg.applyToThisProcess();
        testing::TempDirectory drive;
        PrepareHostsDirectory(drive);

        StartedWindow started(drive.path());
        RealFilesPlatform& platform = started.platform;
        Form1& window = started.window;
        showActive(window);
        auto* link = Control<QLabel>(window, "Label1");
        QTest::mouseClick(link, Qt::LeftButton);

        QCOMPARE(xdg.waitForRecord("browser"), std::vector<std::string>{HomePageUrl()});
        QVERIFY(link->isVisible());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(128, 128, 255));
        QVERIFY(!std::filesystem::exists(drive / "DelMEX00001.html"));
        QVERIFY(platform.recorded.isEmpty());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
