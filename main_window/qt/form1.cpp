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
#include "shell/home_page.h"
#include "shell/linux/qt/qt_text.h"

// Outside any namespace, as Qt's resource initialisation demands. The icon lives in a static library, so
// nothing would otherwise keep the linker from dropping it.
static void InitialiseVelmoraResources()
{
    Q_INIT_RESOURCE(velmora);
}

namespace velmora::qt_view {

using linux_platform::ToQString;

namespace {

constexpr char kWindowIcon[] = ":/velmora/velmora-32.png";
constexpr int kWindowIconSize = 32;
constexpr int kEscape = 27;

QFont QtFontOf(const form1_layout::Font& layout)
{
    QFont font{QString::fromLatin1(layout.face)};
    font.setPointSizeF(layout.points);
    font.setWeight(static_cast<QFont::Weight>(layout.weight));
    font.setUnderline(layout.underline);
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
    setWindowTitle(QString::fromLatin1(form1_layout::kInitialTitle));
    {
        QImageReader reader(QString::fromLatin1(kWindowIcon), "png");
        reader.setAutoDetectImageFormat(false);
        setWindowIcon(QIcon(QPixmap::fromImage(reader.read())));
    }
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(form1_layout::kClientSize.width, form1_layout::kClientSize.height);
    // The window draws no text of its own; its font is the one its controls without a font of their own
    // measure with, so that no further face has to be loaded for them.
    setFont(QtFontOf(form1_layout::kWindowFont));
    SetColour(this, QPalette::Window, QtColour(form1_layout::kWhite));
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

QWidget* Form1::createControl(const form1_layout::Control& control)
{
    using form1_layout::ControlKind;
    // The layout's captions write one ampersand as "&&" and hold no access key, as Qt reads them too.
    const QString caption = QString::fromLatin1(control.caption ? control.caption : "");
    QWidget* const parent = control.inFrame1 ? static_cast<QWidget*>(frame1_) : this;
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::List:
        widget = list1_ = new SingleSelectionList(parent);
        list1_->setSortingEnabled(false);
        list1_->setUniformItemSizes(true);
        break;
    case ControlKind::Button: {
        auto* button = new GraphicalButton(caption, parent);
        // The faces are fixed light colours, so the caption is fixed too: a dark desktop theme would
        // otherwise write light text on them.
        SetColour(button, QPalette::Button, QtColour(control.face));
        SetColour(button, QPalette::ButtonText, QtColour(control.text));
        button->setEnabled(!control.inFrame1);
        widget = button;
        break;
    }
    case ControlKind::Label: {
        QLabel* label = nullptr;
        if (control.id == form1_layout::kLabel1) {
            label = label1_ = new ClickableLabel(parent, [this] { Forward([&] { events_.onLabel1Click(); }); });
            label->setText(QString::fromStdString(HomePageHostName()));
            label->setCursor(Qt::PointingHandCursor);
        } else {
            label = activeHostLabel_ = new QLabel(caption, parent);
        }
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        SetColour(label, QPalette::WindowText, QtColour(control.text));
        widget = label;
        break;
    }
    case ControlKind::Picture:
        widget = picture1_ = new ClickableLabel(parent, [this] { Forward([&] { events_.onPicture1Click(); }); });
        picture1_->setAlignment(Qt::AlignCenter);
        SetColour(picture1_, QPalette::Window, QtColour(control.face));
        picture1_->setAutoFillBackground(true);
        break;
    case ControlKind::Frame:
        widget = frame1_ = new CaptionedFrame(caption, parent);
        SetColour(frame1_, QPalette::WindowText, QtColour(control.text));
        SetColour(frame1_, QPalette::Window, QtColour(control.face));
        break;
    }
    widget->setObjectName(QString::fromLatin1(control.name));
    widget->setGeometry(control.box.left, control.box.top, control.box.width(), control.box.height());
    if (control.tooltip)
        widget->setToolTip(QString::fromLatin1(control.tooltip));
    if (control.font != form1_layout::FontRole::None)
        widget->setFont(QtFontOf(form1_layout::FontOf(control.font)));
    return widget;
}

void Form1::createControls()
{
    for (const form1_layout::Control& control : form1_layout::kControls)
        controls_[control.id - form1_layout::kList1] = createControl(control);
}

void Form1::connectEvents()
{
    // Any change of the selection by the user is a click on the list, by mouse or by keyboard. A double-click
    // reaches the event filter; anywhere in the list's area it counts, as the handler reads the selection.
    connect(list1_, &QListWidget::itemSelectionChanged, this, [this] { Forward([&] { events_.onListClick(); }); });

    using namespace form1_layout;
    const std::pair<QPushButton*, void (Form1Events::*)()> clicks[] = {
        {button(kCommand1), &Form1Events::onCommand1Click}, {button(kCommand2), &Form1Events::onCommand2Click},
        {button(kCommand3), &Form1Events::onCommand3Click}, {button(kCommand4), &Form1Events::onCommand4Click},
        {button(kCommand5), &Form1Events::onCommand5Click}, {button(kCommand6), &Form1Events::onCommand6Click},
    };
    for (const auto& [button, handler] : clicks)
        connect(button, &QPushButton::clicked, this, [this, handler = handler] { Forward([&] { (events_.*handler)(); }); });
}

void Form1::setFocusOrder()
{
    // The layout's order; only the list and the buttons take the keyboard focus: the labels and the picture
    // are not stops, and Frame1 passes the focus on to its buttons.
    QWidget* previous = nullptr;
    for (const form1_layout::Control& control : form1_layout::kControls) {
        QWidget* widget = controls_[control.id - form1_layout::kList1];
        using form1_layout::ControlKind;
        if (control.kind != ControlKind::List && control.kind != ControlKind::Button) {
            widget->setFocusPolicy(Qt::NoFocus);
            continue;
        }
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
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

QPushButton* Form1::button(form1_layout::ControlId id) const
{
    return static_cast<QPushButton*>(controls_[id - form1_layout::kList1]);
}

QPushButton* Form1::variantButton(VariantButton button) const
{
    switch (button) {
    case VariantButton::Command3:
        return this->button(form1_layout::kCommand3);
    case VariantButton::Command2:
        return this->button(form1_layout::kCommand2);
    case VariantButton::Command5:
        return this->button(form1_layout::kCommand5);
    case VariantButton::Command6:
        return this->button(form1_layout::kCommand6);
    }
    return this->button(form1_layout::kCommand3);
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
    SetColour(label1_, QPalette::WindowText, QtColour(bgr));
}

void Form1::setLinkVisible(bool visible)
{
    label1_->setVisible(visible);
}

}  // namespace velmora::qt_view
