#include "main_window/qt/form1.h"

#include <QApplication>
#include <QGroupBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <functional>
#include <utility>

#include "shell/home_page.h"
#include "shell/linux/qt/qt_text.h"

// Outside any namespace, as Qt's resource initialisation demands. The icon lives in a static library, so
// nothing would otherwise keep the linker from dropping it.
static void InitialiseVelmoraResources()
{
    Q_INIT_RESOURCE(velmora);
}

namespace velmora::linux_platform {

namespace {

constexpr char kInitialTitle[] = "Velmora 1.0";
constexpr char kWindowIcon[] = ":/velmora/velmora-32.png";
constexpr int kWindowIconSize = 32;
constexpr int kEscape = 27;

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kGrey(128, 128, 128);
const QColor kDarkTeal(0, 64, 64);
const QColor kTeal(0, 128, 128);
const QColor kLightOrange(255, 224, 192);
const QColor kButtonBorder(128, 128, 128);
const QColor kDisabledBorder(192, 192, 192);
const QColor kDisabledText(160, 160, 160);
const QColor kFrameLine(160, 160, 160);

// A label that reports a click of the left button: pressed and released over it.
class ClickableLabel final : public QLabel {
public:
    ClickableLabel(QWidget* parent, std::function<void()> onClick)
        : QLabel(parent)
        , onClick_(std::move(onClick))
    {
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        pressed_ = event->button() == Qt::LeftButton;
        QLabel::mousePressEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        pressed_ = false;
        QLabel::mouseReleaseEvent(event);
        if (click)
            onClick_();
    }

private:
    std::function<void()> onClick_;
    bool pressed_ = false;
};

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

// A push button in the graphical style: a flat face in its own colour (the palette's Button), whatever
// the desktop's style would make of it, with a thin border that shows hover, focus and a disabled state.
class GraphicalButton final : public QPushButton {
public:
    GraphicalButton(const QString& caption, QWidget* parent)
        : QPushButton(caption, parent)
    {
        setAttribute(Qt::WA_Hover);
        setAutoDefault(false);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect outline = rect().adjusted(0, 0, -1, -1);
        const QColor face = palette().color(QPalette::Button);
        painter.fillRect(rect(), isDown() ? face.darker(112) : face);

        QColor border = kButtonBorder;
        if (!isEnabled())
            border = kDisabledBorder;
        else if (hasFocus())
            border = kDarkTeal;
        else if (underMouse())
            border = kTeal;
        painter.setPen(border);
        painter.drawRect(outline);
        if (hasFocus() && isEnabled())
            painter.drawRect(outline.adjusted(1, 1, -1, -1));

        painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : kDisabledText);
        const QRect textArea = isDown() ? rect().translated(1, 1) : rect();
        // The caption holds no access key: "&&" is drawn as one ampersand.
        painter.drawText(textArea, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }
};

// A captioned frame as a plain line around the area, its caption on the line at the top left, in the
// palette's WindowText over the palette's Window; the same on every desktop.
class CaptionedFrame final : public QGroupBox {
public:
    CaptionedFrame(const QString& caption, QWidget* parent)
        : QGroupBox(caption, parent)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const int lineY = metrics.height() / 2;
        painter.setPen(kFrameLine);
        painter.drawRect(QRect(0, lineY, width() - 1, height() - 1 - lineY));

        QString caption = title();
        caption.replace(QStringLiteral("&&"), QStringLiteral("&"));
        const int captionWidth = qMin(metrics.horizontalAdvance(caption) + 2 * kCaptionPadding, width() - 2 * kCaptionLeft);
        const QRect captionArea(kCaptionLeft, 0, captionWidth, metrics.height());
        painter.fillRect(captionArea, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(captionArea.adjusted(kCaptionPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, caption);
    }

private:
    static constexpr int kCaptionLeft = 6;
    static constexpr int kCaptionPadding = 2;
};

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

void Form1::createControls()
{
    auto place = [](QWidget* widget, const char* name, int left, int top, int width, int height) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(left, top, width, height);
    };
    auto makeButton = [&](QWidget* parent, const char* name, const char* caption, const char* toolTip,
                          const QColor& face, QRect geometry) {
        auto* button = new GraphicalButton(WithoutAccessKeys(QString::fromLatin1(caption)), parent);
        place(button, name, geometry.x(), geometry.y(), geometry.width(), geometry.height());
        button->setToolTip(QString::fromLatin1(toolTip));
        button->setFont(MakeFont("Arial", 9.75, QFont::Bold));
        SetColour(button, QPalette::Button, face);
        // The faces are fixed light colours, so the caption is fixed too: a dark desktop theme would
        // otherwise write light text on them.
        SetColour(button, QPalette::ButtonText, kBlack);
        return button;
    };

    // Created in focus order, so that the chain needs little mending afterwards.
    list1_ = new QListWidget(this);
    place(list1_, "List1", 20, 60, 185, 130);
    list1_->setSelectionMode(QAbstractItemView::SingleSelection);
    list1_->setSortingEnabled(false);
    list1_->setUniformItemSizes(true);
    list1_->setToolTip(QStringLiteral("Double-Click to activate selected Host"));
    list1_->setFont(MakeFont("Arial Rounded MT Bold", 12, QFont::Normal));

    command4_ = makeButton(this, "Command4", "Show current 'Hosts' File ",
                           "View the current active Windows Hosts - File", kWhite, {16, 232, 185, 33});
    command1_ = makeButton(this, "Command1", "+  Create New",
                           "Creaty a new Hosts-Copy, based on the current active 'Hosts' - File", kWhite,
                           {16, 192, 185, 33});

    activeHostLabel_ = new QLabel(QStringLiteral("Windows Host Switcher"), this);
    place(activeHostLabel_, "ActiveHostLabel", 72, 8, 401, 25);
    activeHostLabel_->setTextFormat(Qt::PlainText);
    activeHostLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    activeHostLabel_->setFont(MakeFont("Arial Black", 12, QFont::Black));
    SetColour(activeHostLabel_, QPalette::WindowText, kGrey);

    picture1_ = new ClickableLabel(this, [this] { Forward([&] { events_.onPicture1Click(); }); });
    place(picture1_, "Picture1", 8, 8, 49, 33);
    picture1_->setAlignment(Qt::AlignCenter);
    SetColour(picture1_, QPalette::Window, kWhite);
    picture1_->setAutoFillBackground(true);

    label1_ = new ClickableLabel(this, [this] { Forward([&] { events_.onLabel1Click(); }); });
    place(label1_, "Label1", 368, 280, 113, 17);
    label1_->setTextFormat(Qt::PlainText);
    label1_->setText(QString::fromStdString(HomePageHostName()));
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label1_->setFont(MakeFont("MS Sans Serif", 8.25, QFont::Bold, true));
    label1_->setCursor(Qt::PointingHandCursor);
    SetColour(label1_, QPalette::WindowText, kTeal);

    frame1_ = new CaptionedFrame(QStringLiteral("Nothing selected"), this);
    place(frame1_, "Frame1", 224, 48, 257, 217);
    frame1_->setFont(MakeFont("Arial Narrow", 18, QFont::Bold));
    SetColour(frame1_, QPalette::WindowText, kDarkTeal);
    SetColour(frame1_, QPalette::Window, kWhite);

    command6_ = makeButton(frame1_, "Command6", "Add Line >>", "Add one line to the selected Hosts - Entry from the list",
                           kWhite, {24, 168, 105, 33});
    command5_ = makeButton(frame1_, "Command5", "Delete", "Delete the selected Hosts - Entry from the list",
                           kLightOrange, {136, 168, 97, 33});
    command3_ = makeButton(frame1_, "Command3", " Create Desktop Shortcut..",
                           "Create a Desktop-Shortcut for the current selected Hosts - Entry from the list", kWhite,
                           {24, 40, 209, 41});
    command2_ = makeButton(frame1_, "Command2", " View & Edit  (Notepad)", "View Selected Host-File in the Notepad",
                           kWhite, {24, 112, 209, 41});
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

}  // namespace velmora::linux_platform
