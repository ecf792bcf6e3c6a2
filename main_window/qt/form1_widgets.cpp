#include "main_window/qt/form1_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <utility>

namespace velmora::qt_view {

namespace {
const QColor kButtonBorder(128, 128, 128);
const QColor kDisabledBorder(192, 192, 192);
const QColor kDisabledText(160, 160, 160);
const QColor kFrameLine(160, 160, 160);
}  // namespace

ClickableLabel::ClickableLabel(QWidget* parent, std::function<void()> onClick)
    : QLabel(parent)
    , onClick_(std::move(onClick))
{
}

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Qt reports a double-click's second press as this event, and would pass it on as a press; the
    // release that follows must not complete a second click.
    pressed_ = false;
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        onClick_();
}

SingleSelectionList::SingleSelectionList(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QItemSelectionModel::SelectionFlags SingleSelectionList::selectionCommand(const QModelIndex& index,
                                                                          const QEvent* event) const
{
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    // Only the user's input comes with an event; of it, a command that would leave no entry selected is
    // not carried out.
    const bool deselects =
        !index.isValid() || command.testAnyFlags(QItemSelectionModel::Deselect | QItemSelectionModel::Toggle);
    if (event && deselects)
        return QItemSelectionModel::NoUpdate;
    return command;
}

GraphicalButton::GraphicalButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{
    setAttribute(Qt::WA_Hover);
    setAutoDefault(false);
}

void GraphicalButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect outline = rect().adjusted(0, 0, -1, -1);
    const QColor face = palette().color(QPalette::Button);
    painter.fillRect(rect(), isDown() ? face.darker(112) : face);

    QColor border = kButtonBorder;
    if (!isEnabled())
        border = kDisabledBorder;
    else if (hasFocus())
        border = QtColour(form1_layout::kDarkTeal);
    else if (underMouse())
        border = QtColour(form1_layout::kTeal);
    painter.setPen(border);
    painter.drawRect(outline);
    if (hasFocus() && isEnabled())
        painter.drawRect(outline.adjusted(1, 1, -1, -1));

    painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : kDisabledText);
    const QRect textArea = isDown() ? rect().translated(1, 1) : rect();
    // The caption holds no access key: "&&" is drawn as one ampersand.
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

CaptionedFrame::CaptionedFrame(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent)
{
}

QString CaptionedFrame::shownCaption() const
{
    QString caption = title();
    caption.replace(QStringLiteral("&&"), QStringLiteral("&"));
    const int room = width() - 2 * kCaptionLeft - 2 * kCaptionPadding;
    return QFontMetrics(font()).elidedText(caption, Qt::ElideRight, room);
}

void CaptionedFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;
    painter.setPen(kFrameLine);
    painter.drawRect(QRect(0, lineY, width() - 1, height() - 1 - lineY));

    const QString caption = shownCaption();
    const int captionWidth = qMin(metrics.horizontalAdvance(caption) + 2 * kCaptionPadding, width() - 2 * kCaptionLeft);
    const QRect captionArea(kCaptionLeft, 0, captionWidth, metrics.height());
    painter.fillRect(captionArea, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(captionArea.adjusted(kCaptionPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, caption);
}

}  // namespace velmora::qt_view
