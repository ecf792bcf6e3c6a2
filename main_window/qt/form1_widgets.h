#pragma once

#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <cstdint>
#include <functional>

#include "main_window/form1_layout.h"

namespace velmora::qt_view {

// A colour of the window's layout (0x00BBGGRR) as Qt's.
inline QColor QtColour(std::uint32_t bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// A label that reports a click of the left button: pressed and released over it. The second press of a
// double-click is no click of its own, so a double-click reports one click. It knows nothing of what the
// click does.
class ClickableLabel final : public QLabel {
public:
    ClickableLabel(QWidget* parent, std::function<void()> onClick);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void()> onClick_;
    bool pressed_ = false;
};

// A single-selection list box whose selection the user can move from entry to entry but never take away:
// a click in the blank area below the entries, Ctrl+click or Ctrl+Space on the selected entry leave it
// selected. What the program itself does to the selection (select, clear) works as in any list.
class SingleSelectionList final : public QListWidget {
public:
    explicit SingleSelectionList(QWidget* parent);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
};

// A push button in the graphical style: a flat face in its own colour (the palette's Button), whatever
// the desktop's style would make of it, with a thin border that shows hover, focus and a disabled state.
// It only draws; its caption holds no access key.
class GraphicalButton final : public QPushButton {
public:
    GraphicalButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
};

// A captioned frame as a plain line around the area, its caption on the line at the top left, in the
// palette's WindowText over the palette's Window; the same on every desktop. A caption too long for the
// frame ends in an ellipsis, as the list's entries do. It only draws.
class CaptionedFrame final : public QGroupBox {
public:
    CaptionedFrame(const QString& caption, QWidget* parent);

    // The caption as drawn: "&&" as one ampersand, elided at the right to the frame's width.
    QString shownCaption() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    static constexpr int kCaptionLeft = 6;
    static constexpr int kCaptionPadding = 2;
};

}  // namespace velmora::qt_view
