#include "tests/support/fake_view.h"

namespace velmora::testing {

void FakeView::userSelects(int index)
{
    selected = index >= 0 && index < listCount() ? index : -1;
    if (events)
        events->onListClick();
}

void FakeView::userDoubleClicks()
{
    if (events)
        events->onListDoubleClick();
}

std::vector<bool> FakeView::variantButtons() const
{
    return {buttonEnabled.at(VariantButton::Command3), buttonEnabled.at(VariantButton::Command2),
            buttonEnabled.at(VariantButton::Command5), buttonEnabled.at(VariantButton::Command6)};
}

std::string FakeView::listEntry(int index) const
{
    return index >= 0 && index < listCount() ? entries[static_cast<std::size_t>(index)] : std::string();
}

void FakeView::clearList()
{
    entries.clear();
    selected = -1;
}

}  // namespace velmora::testing
