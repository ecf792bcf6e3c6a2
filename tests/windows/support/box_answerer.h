#pragma once

#include <string>
#include <thread>

namespace velmora::windows_testing {

// What a dialog box showed, as read from its window before it was answered.
struct ShownBox {
    bool found = false;
    std::string title;
    std::string text;        // the message box's text, or an input box's prompt
    std::string field;       // an input box's edit field
    bool fieldSelected = false;  // the whole field was selected
};

// Waits in a thread of its own for a dialog box of this process (or of the given process) to appear, reads
// it, types `typed` (UTF-8) into its edit field if it has one, and presses the button with the given id. It
// answers one box and no more.
class BoxAnswerer {
public:
    BoxAnswerer(int buttonId, std::string typed = {}, unsigned long processId = 0);
    ~BoxAnswerer();
    // Waits for the answer to be given and returns what the box showed.
    ShownBox result();

private:
    std::thread thread_;
    ShownBox shown_;
};

// Reads and answers one box of a process within the timeout.
ShownBox AnswerBox(unsigned long processId, int buttonId, const std::string& typed, unsigned timeoutMilliseconds);

}  // namespace velmora::windows_testing
