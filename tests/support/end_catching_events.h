#pragma once

#include "main_window/form1_view.h"
#include "tests/support/program_ended.h"

namespace velmora::testing {

// Passes every window event on to the program's handlers and stops a test platform's ProgramEnded there, as
// the end of a real program stops everything: the toolkit's event loop never sees it. It adds nothing else.
class EndCatchingEvents final : public Form1Events {
public:
    explicit EndCatchingEvents(Form1Events& inner) : inner_(inner) {}

    void onListClick() override { pass(&Form1Events::onListClick); }
    void onListDoubleClick() override { pass(&Form1Events::onListDoubleClick); }
    void onCommand1Click() override { pass(&Form1Events::onCommand1Click); }
    void onCommand2Click() override { pass(&Form1Events::onCommand2Click); }
    void onCommand3Click() override { pass(&Form1Events::onCommand3Click); }
    void onCommand4Click() override { pass(&Form1Events::onCommand4Click); }
    void onCommand5Click() override { pass(&Form1Events::onCommand5Click); }
    void onCommand6Click() override { pass(&Form1Events::onCommand6Click); }
    void onPicture1Click() override { pass(&Form1Events::onPicture1Click); }
    void onLabel1Click() override { pass(&Form1Events::onLabel1Click); }
    bool onKeyPress(int characterCode) override
    {
        bool consumed = true;
        RunUntilEnd([&] { consumed = inner_.onKeyPress(characterCode); });
        return consumed;
    }

private:
    void pass(void (Form1Events::*handler)())
    {
        RunUntilEnd([&] { (inner_.*handler)(); });
    }

    Form1Events& inner_;
};

}  // namespace velmora::testing
