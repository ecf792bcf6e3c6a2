#include "main_window/qt/form1.h"

#include <QApplication>
#include <QGroupBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <iterator>
#include <utility>

#include "main_window/qt/form1_widgets.h"
#include "main_window/qt/qt_text.h"
#include "shell/home_page.h"

// Outside any namespace, as Qt's resource initialisation demands. The icon lives in a static library, so
// nothing would otherwise keep the linker from dropping it.
static void InitialiseVelmoraResources()
{
    Q_INIT_RESOURCE(velmora);
}

namespace velmora::qt_view {

namespace {

constexpr char kInitialTitle[] = "Velmora 1.0";
constexpr char kWindowIcon[] = ":/velmora/velmora-32.png";
constexpr int kWindowIconSize = 32;
constexpr int kEscape = 27;

QFont MakeFont(const char* family, double pointSize, QFont::Weight weight, bool underline = false)
{
    QFont font{QString::fromLatin1(family)};
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    font.setUnderline(underline);
    return font;
}

// Qt turns "&x" into an access key; no caption of this window has one, so every ampersand is shown as it is.
QString WithoutAccessKeys(const QString& caption)
{
    QString escaped = caption;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return escaped;
}

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// Every event handler of the logic guards itself; this boundary makes sure that nothing unwinds into Qt
// even so, since Qt cannot pass an exception through its event loop.
template <typename Call>
auto Forward(Call&& call) noexcept
{
    return call();
}

// The character a key press types, as the key rule sees it; -1 for a key that types none.
int CharacterCodeOf(const QKeyEvent& event)
{
    const QString text = event.text();
    if (text.size() == 1)
        return text.front().unicode();
    return event.key() == Qt::Key_Escape ? kEscape : -1;
}

}  // namespace

Form1::Form1(Form1Events& events)
    : events_(events)
{
    InitialiseVelmoraResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kInitialTitle));
    {
        QImageReader reader(QString::fromLatin1(kWindowIcon), "png");
        reader.setAutoDetectImageFormat(false);
        setWindowIcon(QIcon(QPixmap::fromImage(reader.read())));
    }
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(495, 309);
    // The window draws no text of its own; its font is the one its controls without a font of their own
    // measure with, so that no further face has to be loaded for them.
    setFont(MakeFont("MS Sans Serif", 8.25, QFont::Normal));
    SetColour(this, QPalette::Window, kWhite);
    setAutoFillBackground(true);

    createControls();
    connectEvents();
    setFocusOrder();
    list1_->setFocus();
    // Key preview and the list's double-click: the window sees the events of all its controls first.
    qApp->installEventFilter(this);
}

Form1::~Form1()
{
    // Taking the controls down must not reach the logic: the list reports the loss of its selection.
    qApp->removeEventFilter(this);
    list1_->disconnect(this);
}

namespace {

// The six buttons, in focus order (as `controls` below lists them): where each sits (on the window or in Frame1), its caption, tooltip and
// face colour.
struct ButtonLayout {
    bool inFrame;
    const char* name;
    const char* caption;
    const char* toolTip;
    const QColor& face;
    QRect geometry;
};

const ButtonLayout kButtons[] = {
    {false, "Command4", "Show current 'Hosts' File ", "View the current active Windows Hosts - File",
     kWhite, {16, 232, 185, 33}},
    {false, "Command1", "+  Create New",
     "Creaty a new Hosts-Copy, based on the current active 'Hosts' - File", kWhite, {16, 192, 185, 33}},
    {true, "Command6", "Add Line >>", "Add one line to the selected Hosts - Entry from the list",
     kWhite, {24, 168, 105, 33}},
    {true, "Command5", "Delete", "Delete the selected Hosts - Entry from the list", kLightOrange,
     {136, 168, 97, 33}},
    {true, "Command3", " Create Desktop Shortcut..",
     "Create a Desktop-Shortcut for the current selected Hosts - Entry from the list", kWhite, {24, 40, 209, 41}},
    {true, "Command2", " View & Edit  (Notepad)", "View Selected Host-File in the Notepad", kWhite,
     {24, 112, 209, 41}},
};

void Place(QWidget* widget, const char* name, QRect geometry)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
}

}  // namespace

void Form1::createControls()
{
    list1_ = new SingleSelectionList(this);
    Place(list1_, "List1", {20, 60, 185, 130});
    list1_->setSortingEnabled(false);
    list1_->setUniformItemSizes(true);
    list1_->setToolTip(QStringLiteral("Double-Click to activate selected Host"));
    list1_->setFont(MakeFont("Arial Rounded MT Bold", 12, QFont::Normal));

    activeHostLabel_ = new QLabel(QStringLiteral("Windows Host Switcher"), this);
    Place(activeHostLabel_, "ActiveHostLabel", {72, 8, 401, 25});
    activeHostLabel_->setTextFormat(Qt::PlainText);
    activeHostLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    activeHostLabel_->setFont(MakeFont("Arial Black", 12, QFont::Black));
    SetColour(activeHostLabel_, QPalette::WindowText, kGrey);

    picture1_ = new ClickableLabel(this, [this] { Forward([&] { events_.onPicture1Click(); }); });
    Place(picture1_, "Picture1", {8, 8, 49, 33});
    picture1_->setAlignment(Qt::AlignCenter);
    SetColour(picture1_, QPalette::Window, kWhite);
    picture1_->setAutoFillBackground(true);

    label1_ = new ClickableLabel(this, [this] { Forward([&] { events_.onLabel1Click(); }); });
    Place(label1_, "Label1", {368, 280, 113, 17});
    label1_->setTextFormat(Qt::PlainText);
    label1_->setText(QString::fromStdString(HomePageHostName()));
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label1_->setFont(MakeFont("MS Sans Serif", 8.25, QFont::Bold, true));
    label1_->setCursor(Qt::PointingHandCursor);
    SetColour(label1_, QPalette::WindowText, kTeal);

    frame1_ = new CaptionedFrame(QStringLiteral("Nothing selected"), this);
    Place(frame1_, "Frame1", {224, 48, 257, 217});
    frame1_->setFont(MakeFont("Arial Narrow", 18, QFont::Bold));
    SetColour(frame1_, QPalette::WindowText, kDarkTeal);
    SetColour(frame1_, QPalette::Window, kWhite);

    QPushButton** const controls[] = {&command4_, &command1_, &command6_, &command5_, &command3_, &command2_};
    static_assert(std::size(controls) == std::size(kButtons));
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const ButtonLayout& layout = kButtons[i];
        auto* button = new GraphicalButton(WithoutAccessKeys(QString::fromLatin1(layout.caption)),
                                           layout.inFrame ? static_cast<QWidget*>(frame1_) : this);
        Place(button, layout.name, layout.geometry);
        button->setToolTip(QString::fromLatin1(layout.toolTip));
        button->setFont(MakeFont("Arial", 9.75, QFont::Bold));
        SetColour(button, QPalette::Button, layout.face);
        // The faces are fixed light colours, so the caption is fixed too: a dark desktop theme would
        // otherwise write light text on them.
        SetColour(button, QPalette::ButtonText, kBlack);
        *controls[i] = button;
    }
    for (QPushButton* button : {command3_, command2_, command6_, command5_})
        button->setEnabled(false);
}

void Form1::connectEvents()
{
    // Any change of the selection by the user is a click on the list, by mouse or by keyboard. A double-click
    // reaches the event filter; anywhere in the list's area it counts, as the handler reads the selection.
    connect(list1_, &QListWidget::itemSelectionChanged, this, [this] { Forward([&] { events_.onListClick(); }); });

    const std::pair<QPushButton*, void (Form1Events::*)()> clicks[] = {
        {command1_, &Form1Events::onCommand1Click}, {command2_, &Form1Events::onCommand2Click},
        {command3_, &Form1Events::onCommand3Click}, {command4_, &Form1Events::onCommand4Click},
        {command5_, &Form1Events::onCommand5Click}, {command6_, &Form1Events::onCommand6Click},
    };
    for (const auto& [button, handler] : clicks)
        connect(button, &QPushButton::clicked, this, [this, handler = handler] { Forward([&] { (events_.*handler)(); }); });
}

void Form1::setFocusOrder()
{
    // Only these take the keyboard focus: the labels and the picture are not stops, and Frame1 passes the
    // focus on to its buttons.
    QWidget* const order[] = {list1_, command4_, command1_, command6_, command5_, command3_, command2_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    QWidget* const noStops[] = {picture1_, activeHostLabel_, label1_, frame1_};
    for (QWidget* widget : noStops)
        widget->setFocusPolicy(Qt::NoFocus);
}

void Form1::show()
{
    if (!shownBefore_) {
        shownBefore_ = true;
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QWidget::show();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return offerKeyPress(watched, static_cast<const QKeyEvent&>(*event));
    case QEvent::MouseButtonDblClick:
        if (watched == list1_->viewport() && static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton)
            Forward([&] { events_.onListDoubleClick(); });
        return false;
    default:
        return false;
    }
}

bool Form1::offerKeyPress(QObject* receiver, const QKeyEvent& event)
{
    // Qt offers an unconsumed key to the focused control's parents too; the key rule sees it only once, on
    // its way to the control that has the focus in this window.
    QWidget* focused = focusWidget() ? focusWidget() : this;
    if (receiver != focused)
        return false;
    const int code = CharacterCodeOf(event);
    if (code < 0)
        return false;
    return Forward([&] { return events_.onKeyPress(code); });
}

void Form1::setCaption(const std::string& caption)
{
    setWindowTitle(ToQString(caption));
}

void Form1::showWindowIconInPicture()
{
    picture1_->setPixmap(windowIcon().pixmap(QSize(kWindowIconSize, kWindowIconSize)));
}

int Form1::listIndex() const
{
    const QList<QListWidgetItem*> selected = list1_->selectedItems();
    return selected.isEmpty() ? -1 : list1_->row(selected.front());
}

std::string Form1::listEntry(int index) const
{
    const QListWidgetItem* item = list1_->item(index);
    // The entry's own bytes: a name that is not valid text in the locale must still name its file.
    return item ? item->data(Qt::UserRole).toByteArray().toStdString() : std::string();
}

int Form1::listCount() const
{
    return list1_->count();
}

void Form1::selectListEntry(int index)
{
    {
        const QSignalBlocker quiet(list1_);
        list1_->setCurrentRow(index >= 0 && index < list1_->count() ? index : -1);
    }
    Forward([&] { events_.onListClick(); });
}

void Form1::clearList()
{
    const QSignalBlocker quiet(list1_);
    list1_->clear();
}

void Form1::addListEntry(const std::string& entry)
{
    const QSignalBlocker quiet(list1_);
    auto* item = new QListWidgetItem(ToQString(entry));
    item->setData(Qt::UserRole, QByteArray::fromStdString(entry));
    list1_->addItem(item);
}

void Form1::setFrameCaption(const std::string& caption)
{
    frame1_->setTitle(WithoutAccessKeys(ToQString(caption)));
}

QPushButton* Form1::variantButton(VariantButton button) const
{
    switch (button) {
    case VariantButton::Command3:
        return command3_;
    case VariantButton::Command2:
        return command2_;
    case VariantButton::Command5:
        return command5_;
    case VariantButton::Command6:
        return command6_;
    }
    return command3_;
}

void Form1::setVariantButtonEnabled(VariantButton button, bool enabled)
{
    variantButton(button)->setEnabled(enabled);
}

bool Form1::isVariantButtonEnabled(VariantButton button) const
{
    return variantButton(button)->isEnabled();
}

void Form1::setActiveHostLabelCaption(const std::string& caption)
{
    activeHostLabel_->setText(ToQString(caption));
}

void Form1::setActiveHostLabelVisible(bool visible)
{
    activeHostLabel_->setVisible(visible);
}

void Form1::setLinkColour(std::uint32_t bgr)
{
    SetColour(label1_, QPalette::WindowText, QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
}

void Form1::setLinkVisible(bool visible)
{
    label1_->setVisible(visible);
}

}  // namespace velmora::qt_view
