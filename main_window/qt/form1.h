#pragma once

#include <QWidget>
#include <array>

#include "main_window/form1_layout.h"
#include "main_window/program.h"

class QGroupBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QPushButton;

namespace velmora::qt_view {

// The program's one window in Qt Widgets: it creates the controls from the window's layout table with their
// fixed geometry, texts, fonts, colours and focus order, and reports their events to Form1Events. It decides nothing; every reaction
// lives behind Form1Events, and nothing it does throws into Qt's event loop.
//
// Key preview: while the window is active, every character key is offered to Form1Events::onKeyPress
// before the focused control sees it; a key the handler does not consume keeps its ordinary effect.
class Form1 final : public QWidget, public Form1Window {
    Q_OBJECT

public:
    explicit Form1(Form1Events& events);
    ~Form1() override;

    // Shows the window, centred on its screen the first time.
    void show() override;

    void setCaption(const std::string& caption) override;
    void showWindowIconInPicture() override;

    int listIndex() const override;
    std::string listEntry(int index) const override;
    int listCount() const override;
    void selectListEntry(int index) override;
    void clearList() override;
    void addListEntry(const std::string& entry) override;

    void setFrameCaption(const std::string& caption) override;
    void setVariantButtonEnabled(VariantButton button, bool enabled) override;
    bool isVariantButtonEnabled(VariantButton button) const override;

    void setActiveHostLabelCaption(const std::string& caption) override;
    void setActiveHostLabelVisible(bool visible) override;

    void setLinkColour(std::uint32_t bgr) override;
    void setLinkVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    QWidget* createControl(const form1_layout::Control& control);
    void connectEvents();
    void setFocusOrder();
    QPushButton* button(form1_layout::ControlId id) const;
    QPushButton* variantButton(VariantButton button) const;
    bool offerKeyPress(QObject* receiver, const QKeyEvent& event);

    Form1Events& events_;
    bool shownBefore_ = false;

    QLabel* picture1_ = nullptr;
    QLabel* activeHostLabel_ = nullptr;
    QListWidget* list1_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QLabel* label1_ = nullptr;
    std::array<QWidget*, form1_layout::kControlCount> controls_ {};  // by identifier, from kList1
};

}  // namespace velmora::qt_view
